// The one main window of the game and everything hanging on it: start-up
// and settings, the frame loop with its machine of screens, the keys, the
// menu screens, the picture and sound catalogue, and music. Its work is
// split by job over several files of this folder; all of it runs on the one
// thread of the platform's loop.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/sprite.h"
#include "game/globals.h"
#include "game/level.h"
#include "game/services.h"
#include "media/image_list.h"
#include "platform/platform.h"
#include "replay/player.h"
#include "replay/recorder.h"
#include "replay/replay_file.h"

namespace actors {
class TGame;
}

namespace engine {
class TImageSprite;
}

namespace game {
class THighScoresCollection;
class TTimerManager;
}  // namespace game

namespace replay {
struct TGameResult;
struct TReplay;
struct TReplayStart;
enum class TGameEnd : uint8_t;
}  // namespace replay

namespace shell {
class TOnline;
class TDifficultyEstimator;
struct TEditorSession;
}  // namespace shell

namespace widgets {
class TButtonSprite;
class TInputLine;
class TMessageLine;
}  // namespace widgets

namespace testing_support {
class FormProbe;
}

namespace shell {

// The screens. A screen's number is also the number of its picture section
// "Scene<number>" in the settings file.
enum TScreenState : uint8_t {
    scNone = 0,
    scIntro = 1,
    scMainMenu = 2,
    scGame = 3,
    scHelp = 4,
    scHighScores = 6,
    scGameOver = 7,
    scGameComplete = 8,
    scNewHighScore = 9,
    scOptions = 10,
    scQuit = 12,
    scPassword = 13,
    scEditor = 14,
    scLevelSets = 15,
};

// Numbers up to this one name a screen.
constexpr size_t kScreenStates = scLevelSets + 1;

const char* ScreenName(TScreenState state);

// Where the settings file and the high-score file are read and written.
std::string SettingsDirectory();
// Where the high scores and recordings of the level set being played are
// kept: the settings directory for the shipped set, sets/<name>/ below it
// for another.
std::string LevelSetDataDirectory();
std::string HighScoresPath();
// Where the player's own level sets live.
std::string LevelSetsDirectory();

constexpr const char* kApplicationTitle = "Munchora";
constexpr const char* kSettingsFile = "Munchora.ini";
constexpr const char* kHighScoresFile = "Munchora.hsc";
constexpr const char* kIconFile = "munchora.png";
constexpr const char* kShotgunFont = "Data/Fonts/Shotgun BT.ttf";
constexpr const char* kBauhausFont = "Data/Fonts/Bauhaus Hv BT.ttf";

// Where the recordings live below the settings directory, and the demo the
// build makes below the program directory.
constexpr const char* kReplaysFolder = "replays/";
constexpr const char* kDemoReplay = "Data/Demo.mnr";

// The window installs itself as the services of the game below it while it
// exists. It watches the recordings it plays.
class TMainForm : public platform::AppEvents, public game::TServices, public replay::PlaybackListener {
public:
    // Creates the window and its components (FormCreate).
    explicit TMainForm(platform::Platform& media);
    ~TMainForm() override;

    // ---- start-up and shutdown -------------------------------------------
    void FormShow();
    void FormClose();
    // Closes the main window: the program ends once the handler in
    // progress has finished.
    void Close() override;
    bool Closing() const { return closing_; }
    // A modal message box with the application title as its caption; the
    // window loses activation to it while it is shown.
    void ShowMessage(const std::string& text) override;

    // ---- screens ---------------------------------------------------------
    void SetScreenState(TScreenState newState);
    TScreenState Screen() const { return State; }
    // The screen on show's own part of a frame (on the game screen what the
    // level's rules came to), without moving the sprites.
    void RunScreenFrame();

    // ---- the machine's events ----------------------------------------------
    void OnFrame() override { DXTimerTimer(); }
    void OnKeyDown(uint16_t key, platform::ShiftState shift) override { FormKeyDown(key, shift); }
    void OnActivate() override { DXTimerActivate(); }
    void OnDeactivate() override { DXTimerDeactivate(); }
    void OnMusicEnd() override { MediaPlayerNotify(); }
    // On the name entry the typed name is stored first, as Escape would.
    void OnCloseButton() override;
    // Replies of the online table; a recorded game hands its own again.
    void OnNetworkReply(const platform::NetworkReply& reply) override;
    void OnPointer(const platform::PointerEvent& event) override;
    // The 100 ms timer's tick, and its beat started afresh at the
    // platform's time.
    void MainTimerTimer();
    void RestartMainTimer();

    // ---- what the screens share, to look at ----------------------------------
    platform::Platform& Media() { return media_; }
    engine::TDXSpriteEngine& Sprites() { return DXSpriteEngine; }
    // The level being played; null off the game screen.
    const actors::TGame* Level() const { return Game.get(); }
    // The text of the message line; empty when it shows none.
    std::string MessageText() const;

    // ---- music and sound ---------------------------------------------
    void PlaySound(const std::string& soundName) override;
    uint8_t MidiVolume() const { return midiVolume_; }
    void SetMidiVolume(uint8_t attenuation);
    bool MusicMuted() const { return musicMuted_; }

    // ---- recordings (replays.cpp) ----------------------------------------
    // Where every game is recorded; none when empty (tests that want no
    // files). The programs set it.
    void RecordGamesInto(const std::string& directory);
    // Plays ranked games for the online table at `server` for this run,
    // whatever the settings say.
    void PlayOnline(const std::string& server, const std::string& playerName);
    // Where the editor's difficulty estimates come from; none: no estimates.
    void UseDifficultyEstimator(std::unique_ptr<TDifficultyEstimator> estimator);
    // Imports a shared set (or takes a folder) and plays it from the main
    // menu; the game's message when it cannot.
    void PlayLevelSetFile(const std::string& path);
    // Plays the set in `folder` from now on (empty: the shipped one).
    void PlayLevelSet(const std::string& folder, const std::string& name);
    // The online table to use when the settings name none.
    void OfferOnlineServer(const std::string& server);
    // Plays a recording in the window. false, with the message shown and the
    // window closing, when it cannot be played. closeAtEnd: the program ends
    // with the recording, otherwise it waits for Escape.
    bool WatchReplay(const std::string& path, bool closeAtEnd);
    // After a replay was watched: whether its game went as recorded, and a
    // line that says how it went.
    bool ReplayVerified() const { return replayVerified_; }
    const std::string& ReplayVerdict() const { return replayVerdict_; }
    const std::vector<bool>& RecordedMarks() const { return recordedEntries_; }
    // "watch", "demo", or empty when no recording plays.
    std::string ReplayMode() const;
    // Speed and pause of the recording being watched.
    replay::PlaybackClock& ReplayPace() { return player_.Pace(); }

private:
    // The tests' window on what the screens share, and the state dump.
    friend class testing_support::FormProbe;
    friend std::string DumpState(TMainForm& form, int frame);

    // ---- components ----------------------------------------------------
    engine::TDXSpriteEngine DXSpriteEngine;
    media::ImageList ImageList;
    media::WaveList DXWaveList;
    platform::FrameClock& DXTimer() { return media_.Clock(); }
    platform::InputStates& DXInput() { return media_.Input(); }
    platform::IntervalTimer& MainTimer;
    platform::IntervalTimer& TimerMessageLine;

    // ---- what the screens share ------------------------------------------
    std::array<widgets::TButtonSprite*, 9> Buttons{};  // positions 1 to 8
    int32_t SelectedButton = 1;
    int32_t ButtonCount = 0;
    int32_t MenuMemory = 1;
    std::unique_ptr<actors::TGame> Game;
    std::unique_ptr<game::THighScoresCollection> HighScores;
    std::unique_ptr<widgets::TInputLine> InputLine;
    std::unique_ptr<widgets::TMessageLine> MessageLine;
    TScreenState State = scNone;
    bool Paused = false;
    // The pause of the P key, without the exit prompt.
    bool PausedByKey = false;
    std::unique_ptr<game::TTimerManager> TimerManager;
    int32_t MainTickCount = 0;
    engine::TImageSprite* HelpPage = nullptr;
    std::string ReplayDirectory;

    // ---- start-up, settings, timers and the window ---------------------------
    void ReadSettings(const std::string& fileName);
    void WriteSettings(const std::string& fileName);
    void CountLevels();
    void DXTimerTimer();
    void TimerMessageLineTimer();
    void FormActivate();
    void FormDeactivate();
    void FormKeyDown(uint16_t key, platform::ShiftState shift);
    void LoadImages(int screen);
    void LoadSounds();

    // ---- the game's services and the watcher: called through their interfaces
    engine::TImageSprite* AddCenteredImage(const std::string& imageName, int z) override;
    const media::ImageEntry& Image(const std::string& name) override { return ImageList.Find(name); }
    const media::ImageEntry* ReplaceImage(const std::string& entry) override;
    void PlayLevelMusic(int levelNumber) override;
    engine::TSprite* SpriteRoot() override { return DXSpriteEngine.Root(); }
    void ShowOnMessageLine(const std::string& text, uint32_t milliseconds) override;
    uint32_t FrameInterval() override { return DXTimer().Interval(); }
    int32_t MainTick() override { return MainTickCount; }
    void ScheduleTask(game::TTimerTask* task) override;
    void OnWatcherKey(uint16_t key, platform::ShiftState shift) override;
    void OnPlaybackEnd(replay::PlaybackEnd end) override;

    // ---- used within the window only ----------------------------------
    // Writes the five settings keys; false when the file could not be written.
    bool SaveSettings(const std::string& fileName);
    void ToggleFullScreen();
    void DXTimerActivate();
    void DXTimerDeactivate();
    void ResetStateTime();
    void UpdateStateTime();
    void KillAllSprites();
    std::pair<int, int> GetCenteredPos(int width, int height) const;
    engine::TImageSprite* AddImageAt(const std::string& imageName, int x, int y, int z);
    void AddImageEntry(const std::string& entry);
    // The pictures that came after the screens' sections were fixed (the
    // online table's, the level sets' and the editor's): outside those
    // sections, so that they are no part of a recording's catalogue.
    void LoadMorePictures();
    void AddSoundEntry(const std::string& entry);
    void PlayMusic(const std::string& fileName);
    void MediaPlayerNotify();
    // M on the game screen: the music is silent until M again; the volume
    // setting stays as it is.
    void ToggleMusicMute();
    int32_t StateTime = 0;
    int32_t LastTickCount = 0;
    // The window mode the settings file asks for.
    bool FullScreenSetting = false;
    bool PlayStartJingle = true;
    engine::TImageSprite* ExitPromptSprite = nullptr;
    bool LevelIsDone() const;
    // P on the game screen: pauses or resumes play without the exit prompt.
    void TogglePause();
    // Whether entry i of the high-score table has a recording; the list
    // shows what it found on entering.
    std::vector<bool> RecordedEntries();
    // The Return button of a menu screen: Enter goes back to the main menu.
    widgets::TButtonSprite* AddReturnButton();

    void DXDrawInitialize();
    void DXDrawFinalize();
    void InitializeDisplay(bool fullScreen);
    void FinalizeDisplay();
    // The screens (screen.h), one for each TScreenState, made with the
    // window.
    class TScreen;
    class TMenuScreen;
    class TIntroScreen;
    class TMainMenuScreen;
    class THelpScreen;
    class THighScoresScreen;
    class TOptionsScreen;
    class TNewHighScoreScreen;
    class TPasswordScreen;
    class TGameScreen;
    class TEndPictureScreen;
    class TQuitScreen;
    class TEditorScreen;
    class TLevelSetsScreen;
    void MakeScreens();
    TScreen& CurrentScreen() { return *screens_[State]; }
    void HighlightButtons();
    void DrawDebugText();
    // The end of a key's handling, after screens and menus.
    void FinishKeyDown(uint16_t key, platform::ShiftState shift);
    // The sound level of the music: silent while muted or in the demo.
    void ApplyMusicLevel();

    // Recordings (replays.cpp).
    enum class TReplayMode : uint8_t { None, Watch, Demo };
    // What the demo changes and the intro gets back.
    struct TLiveValues {
        game::TGameState Game;
        int32_t MainTickCount;
        bool MusicMuted, Paused, PausedByKey;
        int32_t MenuMemory, SelectedButton, ButtonCount;
        std::string MessageText;
        int32_t MessageFrames;
        int32_t StateTime;
    };
    // Entering the game screen from another one, and leaving it.
    void GameStarting();
    void GameEnding(replay::TGameEnd end);
    replay::TReplayStart CaptureStart() const;
    replay::TGameResult CaptureResult(replay::TGameEnd end) const;
    void StartReplay(std::unique_ptr<replay::TReplay> replay, TReplayMode mode);
    void JudgeReplay(replay::PlaybackEnd end);
    void SaveRecording(const replay::TReplay& replay);
    // The high-score entry just made joins the recording of its game.
    void AttachEntry(const game::THighScoreRecord& record);
    // Keeps the last 20 recordings and those behind the high-score table.
    void PruneRecordings();
    void ShowWatchCaption();
    // Attract mode.
    void StartDemo();
    void EndDemo();
    // A recording from the online table, watched from the high-score screen
    // and back to it.
    void WatchFromTable(const std::string& path);
    // The demo or a watched entry ends: the screen comes back as it was.
    void EndLivePlayback(TScreenState back);
    // The ranked game that ended is sent, with the player's online name.
    void SubmitEndedGame();
    // A ranked game ended without a name the table can show.
    bool AskOnlineName() const;
    // The high-score screen's online table.
    void DrawOnlineTable();
    void OnlineTableKey(uint16_t key);
    std::unique_ptr<replay::TReplay> BestReplay() const;

    platform::Platform& media_;
    replay::TRecorder recorder_;
    replay::TPlayer player_;
    uint8_t midiVolume_ = 191;
    bool musicMuted_ = false;
    bool closing_ = false;
    bool closed_ = false;
    // The inputs held when the level-complete picture appeared were removed.
    bool levelEndInputCleared_ = false;
    // The key being handled, if any: a game it starts starts with it.
    uint16_t keyInProgress_ = 0;
    platform::ShiftState shiftInProgress_ = 0;
    // Recording the game being played.
    std::unique_ptr<replay::TReplayStart> recordingStart_;
    // The level editor (editor_screen.cpp): its level with the undo history,
    // and, during a test-play, what the test changed.
    std::unique_ptr<TEditorSession> editorSession_;
    std::string editorSetDir_, editorSetName_, testPlayReplays_;
    bool testPlayCleared_ = false;
    void OpenEditorLevel(int32_t number);
    void SaveEditorLevel();
    std::string EditorTestFolder() const;
    void StartTestPlay();
    void ExportEditorSet();
    void EstimateDifficulty();
    std::unique_ptr<TDifficultyEstimator> estimator_;
    void EndTestPlay(bool cleared);
    void ChangeHeaderField(int step);
    // The level sets to choose from, and the one chosen (level_sets_screen.cpp).
    std::vector<std::string> levelSetFolders_;
    // Each set's line on the screen, read once on entering it.
    std::vector<std::string> levelSetLabels_;
    size_t levelSetChoice_ = 0;
    // The online table (online_play.cpp): the recording of a ranked game
    // that ended and waits for its name, the name entry asking for the
    // player's online name, the text the message line shows off the game
    // screen, and which table the high-score screen shows.
    std::unique_ptr<TOnline> online_;
    std::string onlineRecording_;
    bool onlineNameEntry_ = false;
    std::string onlineMessage_;
    bool onlineTableShown_ = false;
    size_t onlineSelected_ = 0;
    bool watchingFromTable_ = false;
    std::string lastRecording_;  // the file of the game last ended
    bool recordingFailureShown_ = false;
    // Playing a recording.
    TReplayMode replayMode_ = TReplayMode::None;
    std::unique_ptr<replay::TReplay> replay_;
    std::unique_ptr<replay::TGameResult> replayResult_;  // when its game ended
    bool replayCloseAtEnd_ = false;
    bool replayOver_ = false;
    bool replayVerified_ = false;
    std::string replayVerdict_;
    bool silent_ = false;
    // Attract mode: since when nobody touched the intro, and the values the
    // demo changes.
    uint32_t introIdleSince_ = 0;
    std::unique_ptr<TLiveValues> liveValues_;
    std::vector<bool> recordedEntries_;
    std::array<std::unique_ptr<TScreen>, kScreenStates> screens_;
};

}  // namespace shell

// Start-up, settings and shutdown of the main window.
#include <algorithm>
#include <cstdio>

#include "actors/game.h"
#include "formats/files.h"
#include "formats/ini_file.h"
#include "game/globals.h"
#include "game/high_scores.h"
#include "game/tasks.h"
#include "replay/replay_file.h"
#include "shell/difficulty.h"
#include "shell/editor_session.h"
#include "shell/online.h"
#include "shell/screen.h"
#include "widgets/input_line.h"
#include "widgets/message_line.h"

namespace shell {

using namespace game;
using namespace replay;

namespace {
constexpr uint32_t kMainTimerInterval = 100;
constexpr const char* kGeneral = "General";
}  // namespace

std::string SettingsDirectory() {
    return game::Setup.SettingsDir.empty() ? game::Setup.ProgramDir : game::Setup.SettingsDir;
}

std::string LevelSetDataDirectory() {
    if (game::Setup.LevelSetName.empty()) return SettingsDirectory();
    return SettingsDirectory() + "sets/" + game::Setup.LevelSetName + "/";
}

std::string HighScoresPath() { return LevelSetDataDirectory() + kHighScoresFile; }

std::string LevelSetsDirectory() { return SettingsDirectory() + "levels/"; }

TMainForm::TMainForm(platform::Platform& media)
    : MainTimer(media.CreateTimer([this] { MainTimerTimer(); })),
      TimerMessageLine(media.CreateTimer([this] { TimerMessageLineTimer(); })),
      media_(media),
      recorder_(media),
      player_(media),
      online_(std::make_unique<TOnline>(media)) {
    MakeScreens();
    game::InstallServices(this);
    media_.SetApplicationTitle(kApplicationTitle);
    media_.SetCaption(kApplicationTitle);
    media_.SetErrorReporter([this](const std::string& text) { ShowMessage(text); });
    MainTimer.SetInterval(kMainTimerInterval, media_.TickCount());
    MainTimer.SetEnabled(true, media_.TickCount());
    DXTimer().SetInterval(15);

    TimerManager = std::make_unique<TTimerManager>();
    MainTickCount = 0;
    PlayStartJingle = true;
    MenuMemory = 1;
    ReadSettings(kSettingsFile);
    game::Setup.MusicFiles.clear();
    for (const std::string& name : formats::FindFiles(game::MusicFolder(), "*.mid")) {
        game::Setup.MusicFiles.push_back(game::MusicFolder() + name);
    }
    HighScores = std::make_unique<THighScoresCollection>();
    MessageLine = std::make_unique<widgets::TMessageLine>(media_, TimerMessageLine, 300, 565);
    State = scNone;
    // The FullScreen word or the remembered mode starts in full screen.
    InitializeDisplay(game::State.StartOptions.FullScreen || FullScreenSetting);
    media_.SetWindowIcon(game::Setup.ProgramDir + kIconFile);
}

TMainForm::~TMainForm() {
    FormClose();
    game::RemoveServices(this);
}

void TMainForm::ShowMessage(const std::string& text) {
    if (closing_) {
        // The window is already on its way out: one message box is enough.
        std::fprintf(stderr, "%s: %s\n", kApplicationTitle, platform::MessageLines(text).c_str());
        return;
    }
    FormDeactivate();
    media_.MessageBox(kApplicationTitle, text);
    FormActivate();
}

void TMainForm::Close() {
    closing_ = true;
    media_.Quit();
}

void TMainForm::OnCloseButton() {
    if (!closing_) CurrentScreen().WindowClosing();
    Close();
}

void TMainForm::FormShow() {
    if (State != scNone) return;
    media_.Text().AddFontResource(game::Setup.ProgramDir + kShotgunFont);
    media_.Text().AddFontResource(game::Setup.ProgramDir + kBauhausFont);
    LoadSounds();
    if (!closing_) SetScreenState(scIntro);
}

void TMainForm::FormClose() {
    if (closed_) return;
    closed_ = true;
    if (replayMode_ == TReplayMode::Watch && !replayOver_) {
        // The replayed game closed the window, or the recording stopped on its way.
        JudgeReplay(replay::PlaybackEnd::Closed);
    } else if (replayMode_ == TReplayMode::None) {
        GameEnding(TGameEnd::Closed);
    }
    DXSpriteEngine.Root()->FreeChildren();
    for (const char* font : {kShotgunFont, kBauhausFont}) {
        const std::string path = game::Setup.ProgramDir + font;
        if (!media_.Text().RemoveFontResource(path)) media_.MessageBox("Error", "Can't remove font " + path);
    }
}

void TMainForm::ReadSettings(const std::string& fileName) {
    const auto ini = formats::IniFile::Load(SettingsDirectory() + fileName);
    if (!ini) {
        ShowMessage("Error of reading " + fileName);
        Close();
        return;
    }
    game::Setup.WaveVolume = ini->ReadInteger(kGeneral, "WaveVolume", -5000);
    SetMidiVolume(uint8_t(ini->ReadInteger(kGeneral, "MidiVolume", 200) & 0xFF));
    DXTimer().SetInterval(uint32_t(std::max(0, ini->ReadInteger(kGeneral, "Timer", 10))));
    FullScreenSetting = ini->ReadInteger(kGeneral, "FullScreen", 0) != 0;
    online_->ReadSettings(*ini);
}

bool TMainForm::SaveSettings(const std::string& fileName) {
    const std::string path = SettingsDirectory() + fileName;
    auto ini = formats::IniFile::Load(path);
    if (!ini) return false;
    ini->WriteInteger(kGeneral, "WaveVolume", game::Setup.WaveVolume);
    ini->WriteInteger(kGeneral, "MidiVolume", MidiVolume());
    ini->WriteString(kGeneral, "GameType", game::State.GameType == gtFeatures ? "1" : "0");
    ini->WriteInteger(kGeneral, "Timer", int32_t(DXTimer().Interval()));
    ini->WriteInteger(kGeneral, "FullScreen", media_.FullScreen() ? 1 : 0);
    online_->WriteSettings(*ini);
    if (!ini->Save(path)) return false;
    media_.NoteEvent("settings-written");
    return true;
}

void TMainForm::WriteSettings(const std::string& fileName) {
    if (!SaveSettings(fileName)) {
        ShowMessage("Error of writing " + fileName);
        Close();
    }
}

void TMainForm::SetMidiVolume(uint8_t attenuation) {
    midiVolume_ = attenuation;
    ApplyMusicLevel();
}

void TMainForm::ToggleMusicMute() {
    musicMuted_ = !musicMuted_;
    ApplyMusicLevel();
}

void TMainForm::ApplyMusicLevel() { media_.SetMidiAttenuation(musicMuted_ || silent_ ? 255 : midiVolume_); }

void TMainForm::DXDrawInitialize() {
    DXSpriteEngine.Root()->SetSurface(&media_.Display());
    DXTimer().SetEnabled(true);
}

void TMainForm::DXDrawFinalize() {
    DXTimer().SetEnabled(false);
    DXSpriteEngine.Root()->SetSurface(nullptr);
}

void TMainForm::InitializeDisplay(bool fullScreen) {
    // Before the surface exists: the window's border and cursor for the mode.
    media_.SetCursor(fullScreen ? platform::Cursor::Hidden : platform::Cursor::Default);
    if (!media_.InitializeDisplay(fullScreen)) {
        ShowMessage("Can't initialize the display");
        Close();
        return;
    }
    DXDrawInitialize();
}

void TMainForm::FinalizeDisplay() {
    DXDrawFinalize();
    media_.FinalizeDisplay();
}

void TMainForm::ToggleFullScreen() {
    const bool toWindow = media_.FullScreen();
    FinalizeDisplay();
    if (toWindow) {
        InitializeDisplay(false);
        media_.RestoreWindowPlacement();
    } else {
        media_.StoreWindowPlacement();
        InitializeDisplay(true);
    }
}

void TMainForm::CountLevels() {
    game::State.LevelCount = int32_t(formats::FindFiles(game::LevelsFolder(), "*.map").size());
    if (game::State.LevelCount == 0) {
        ShowMessage("No levels were found");
        Close();
    }
}

}  // namespace shell

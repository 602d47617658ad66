// Every game recorded, played again in the window, checked, and shown as a
// demo on the intro. The platform writes down what it hands the game; the
// window says when a game starts and ends, notes how the game stood at its
// start and how it ended, has the library keep the files, and plays them
// again.
#include "formats/files.h"
#include "game/globals.h"
#include "game/high_scores.h"
#include "game/level.h"
#include "game/random.h"
#include "replay/library.h"
#include "replay/replay_file.h"
#include "shell/editor_session.h"
#include "shell/main_form.h"
#include "shell/online.h"
#include "widgets/message_line.h"

namespace shell {

using namespace game;
using namespace replay;

// ---- recording ------------------------------------------------------------------

void TMainForm::GameStarting() {
    if (replayMode_ != TReplayMode::None || ReplayDirectory.empty()) return;
    recordingStart_ = std::make_unique<TReplayStart>(CaptureStart());
    // A test-play of the editor is no game for the online table.
    if (!editorSession_ || !editorSession_->TestPlaying) online_->GameStarting();
    recorder_.Start();
    recordingStart_->StartTime = recorder_.StartTime();
}

TReplayStart TMainForm::CaptureStart() const {
    TReplayStart s;
    s.RecordedAt = media_.UtcSeconds();
    s.LevelsDigest = LevelsDigest(game::LevelsFolder(), game::MusicFolder());
    s.CatalogueDigest = CatalogueDigest(game::Setup.ProgramDir);
    s.FrameInterval = media_.Clock().Interval();
    s.Game = game::State;
    s.MainTickCount = MainTickCount;
    s.InputStates = media_.Input().States();
    s.InputSuppressed = media_.Input().Suppressed();
    s.MessageText = MessageLine->Text;
    s.MessageFrames = MessageLine->FrameCounter;
    s.StartKey = keyInProgress_;
    s.StartShift = shiftInProgress_;
    return s;
}

void TMainForm::GameEnding(TGameEnd end) {
    if (replayMode_ != TReplayMode::None) {
        // The replayed game has reached its end: nothing more is played.
        if (!replayResult_) replayResult_ = std::make_unique<TGameResult>(CaptureResult(end));
        player_.Finish();
        return;
    }
    if (!recordingStart_ || !recorder_.Recording()) return;
    TReplay replay;
    replay.Start = *recordingStart_;
    recordingStart_.reset();
    replay.Events = recorder_.Stop();
    replay.Result = CaptureResult(end);
    replay.Online = online_->GameEnded();
    lastRecording_.clear();
    SaveRecording(replay);
    if (!replay.Online.Present() || lastRecording_.empty()) return;
    onlineRecording_ = lastRecording_;
    // A game that ended by itself is sent after its name entry.
    if (end != TGameEnd::GameOver && end != TGameEnd::GameComplete) SubmitEndedGame();
}

TGameResult TMainForm::CaptureResult(TGameEnd end) const {
    TGameResult r;
    r.End = end;
    r.Score = game::State.Player.Score;
    r.Level = game::State.Player.Level;
    r.Lives = game::State.Lives;
    r.Monsters = game::State.Player.Monsters;
    r.Bonuses = game::State.Player.Bonuses;
    r.CurrentLevel = game::State.CurrentLevel;
    if (replay_) {
        // A replay is judged against the table its game met.
        r.TableScores = replay_->Result.TableScores;
    } else {
        THighScoresCollection table;
        table.Load(HighScoresPath());
        for (int32_t i = 0; i < table.Count; ++i) r.TableScores.push_back(table.Entries[size_t(i)].Score);
    }
    // Only a game that ended by itself goes to the table.
    if (end == TGameEnd::GameOver || end == TGameEnd::GameComplete) {
        r.HighScoreRank = HighScoreRank(r.TableScores, game::State.Player.Score);
    }
    return r;
}

void TMainForm::SaveRecording(const TReplay& replay) {
    const TLibrary library(ReplayDirectory);
    const std::string name = library.NextName();
    const std::string path = ReplayDirectory + name;
    if (!library.Write(name, replay)) {
        // Said once: the games go on unrecorded.
        if (!recordingFailureShown_) ShowMessage("Error of writing " + path);
        recordingFailureShown_ = true;
        return;
    }
    lastRecording_ = path;
    media_.NoteEvent("replay-written " + name);
    PruneRecordings();
}

void TMainForm::AttachEntry(const THighScoreRecord& record) {
    TReplay replay;
    if (lastRecording_.empty() || ReadReplayFile(lastRecording_, replay) != TReplayFault::None) return;
    if (replay.Result.Score != record.Score) return;
    replay.Entry.Present = true;
    replay.Entry.Name = record.Name.substr(0, THighScoresCollection::NameLength);
    replay.Entry.Score = record.Score;
    replay.Entry.Date = media_.UtcSeconds();
    if (!formats::WriteFileAtomically(lastRecording_, EncodeReplay(replay)) && !recordingFailureShown_) {
        ShowMessage("Error of writing " + lastRecording_);
        recordingFailureShown_ = true;
    }
    lastRecording_.clear();
    PruneRecordings();
}

void TMainForm::PruneRecordings() {
    THighScoresCollection table;
    table.Load(HighScoresPath());
    TLibrary(ReplayDirectory).Prune(table);
}

std::vector<bool> TMainForm::RecordedEntries() { return TLibrary(ReplayDirectory).Marks(*HighScores); }

// ---- playing ----------------------------------------------------------------------

std::string TMainForm::ReplayMode() const {
    switch (replayMode_) {
        case TReplayMode::Watch: return "watch";
        case TReplayMode::Demo: return "demo";
        case TReplayMode::None: break;
    }
    return "";
}

bool TMainForm::WatchReplay(const std::string& path, bool closeAtEnd) {
    auto replay = std::make_unique<TReplay>();
    const std::string problem = CheckReplay(path, *replay, CurrentDigests());
    if (!problem.empty()) {
        replayVerdict_ = problem;
        ShowMessage(problem);
        Close();
        return false;
    }
    replayCloseAtEnd_ = closeAtEnd;
    StartReplay(std::move(replay), TReplayMode::Watch);
    return true;
}

void TMainForm::StartReplay(std::unique_ptr<TReplay> replay, TReplayMode mode) {
    replay_ = std::move(replay);
    replayMode_ = mode;
    replayResult_.reset();
    replayOver_ = false;
    replayVerified_ = false;
    replayVerdict_.clear();
    const TReplayStart& s = replay_->Start;
    if (mode == TReplayMode::Demo || watchingFromTable_) {
        liveValues_ = std::make_unique<TLiveValues>(TLiveValues{
            game::State, MainTickCount, musicMuted_, Paused, PausedByKey, MenuMemory, SelectedButton,
            ButtonCount, MessageLine->Text, MessageLine->FrameCounter, StateTime});
    }
    player_.Start(replay_->Events, s.StartTime, s.FrameInterval, *this);

    // The game as it stood when it started.
    RestoreRecordedState(s.Game, game::State);
    MainTickCount = s.MainTickCount;
    DXTimer().SetInterval(s.FrameInterval);
    DXInput().Restore(s.InputStates, s.InputSuppressed);
    MessageLine->Text = s.MessageText;
    MessageLine->FrameCounter = s.MessageFrames;
    Paused = PausedByKey = false;
    silent_ = mode == TReplayMode::Demo;
    ApplyMusicLevel();
    if (mode == TReplayMode::Watch) ShowWatchCaption();

    // Then what the handler that started it did.
    try {
        SetScreenState(scGame);
        if (s.StartKey != 0) FinishKeyDown(s.StartKey, s.StartShift);
    } catch (const std::exception& error) {
        ShowMessage(error.what());
    }
}

void TMainForm::ShowWatchCaption() {
    const PlaybackClock& pace = player_.Pace();
    std::string caption = std::string(kApplicationTitle) + " Replay ";
    if (replayOver_) {
        caption += "finished: Escape ends";
    } else {
        caption += std::to_string(pace.Speed()) + "x";
        if (pace.Paused()) caption += " [Pause]";
    }
    media_.SetCaptionOverride(caption);
}

void TMainForm::OnWatcherKey(uint16_t key, platform::ShiftState) {
    namespace vk = platform::vk;
    if (replayMode_ == TReplayMode::Demo) {
        EndDemo();
        return;
    }
    if (replayMode_ != TReplayMode::Watch) return;
    PlaybackClock& pace = player_.Pace();
    if (key == vk::Escape && watchingFromTable_) {
        EndLivePlayback(scHighScores);
        return;
    }
    if (key == vk::Escape) {
        if (!replayOver_) replayVerdict_ = "The replay was stopped before its end";
        replayOver_ = true;
        Close();
        return;
    }
    if (key == vk::Space) pace.TogglePause();
    if (key == vk::Right) pace.Faster();
    if (key == vk::Left) pace.Slower();
    ShowWatchCaption();
}

void TMainForm::OnPlaybackEnd(PlaybackEnd end) {
    if (replayMode_ == TReplayMode::Demo) {
        EndDemo();
        return;
    }
    if (replayMode_ != TReplayMode::Watch) return;
    JudgeReplay(end);
    if (watchingFromTable_) media_.NoteEvent("table-replay " + replayVerdict_);
    if (replayCloseAtEnd_) {
        Close();
    } else {
        ShowWatchCaption();
    }
}

void TMainForm::JudgeReplay(PlaybackEnd end) {
    if (replayOver_) return;
    replayOver_ = true;
    // A game that ended with the window ends where its records end.
    const bool closed = end == PlaybackEnd::Closed ||
                        (end == PlaybackEnd::Finished && replay_->Result.End == TGameEnd::Closed);
    if (closed && !replayResult_)
        replayResult_ = std::make_unique<TGameResult>(CaptureResult(TGameEnd::Closed));
    const std::string differences = replayResult_ ? DescribeDifference(replay_->Result, *replayResult_) : "";
    replayVerified_ = end != PlaybackEnd::Failed && replayResult_ && differences.empty();
    if (replayVerified_) {
        replayVerdict_ = "The replay went as recorded: score " + std::to_string(game::State.Player.Score) +
                         ", level " + std::to_string(game::State.Player.Level) + ", lives " +
                         std::to_string(game::State.Lives);
    } else if (!differences.empty()) {
        replayVerdict_ = "The replay differs from its recording: " + differences;
    } else if (replayResult_) {
        replayVerdict_ = "The replay's game ended before its recording did";
    } else if (end == PlaybackEnd::Failed) {
        replayVerdict_ = "The replay went another way than its recording";
    } else {
        replayVerdict_ = "The recording ended before its game did";
    }
}

// ---- attract mode -------------------------------------------------------------------

std::unique_ptr<TReplay> TMainForm::BestReplay() const {
    const TDataDigests digests = CurrentDigests();
    if (auto best = TLibrary(ReplayDirectory).Best(digests)) return best;
    auto demo = std::make_unique<TReplay>();
    if (!CheckReplay(game::Setup.ProgramDir + kDemoReplay, *demo, digests).empty()) return nullptr;
    return demo;
}

void TMainForm::StartDemo() {
    introIdleSince_ = media_.TickCount();
    if (auto replay = BestReplay()) StartReplay(std::move(replay), TReplayMode::Demo);
}

void TMainForm::EndDemo() { EndLivePlayback(scIntro); }

void TMainForm::WatchFromTable(const std::string& path) {
    auto replay = std::make_unique<TReplay>();
    const std::string problem = CheckReplay(path, *replay, CurrentDigests());
    if (!problem.empty()) {
        ShowMessage(problem);
        return;
    }
    replayCloseAtEnd_ = false;
    watchingFromTable_ = true;
    StartReplay(std::move(replay), TReplayMode::Watch);
}

void TMainForm::EndLivePlayback(TScreenState back) {
    player_.Stop();
    if (watchingFromTable_) media_.SetCaptionOverride("");
    watchingFromTable_ = false;
    replayMode_ = TReplayMode::None;
    replay_.reset();
    replayResult_.reset();
    silent_ = false;
    try {
        SetScreenState(back);
    } catch (const std::exception& error) {
        ShowMessage(error.what());
    }
    const TLiveValues& v = *liveValues_;
    game::State = v.Game;
    MainTickCount = v.MainTickCount;
    musicMuted_ = v.MusicMuted;
    Paused = v.Paused;
    PausedByKey = v.PausedByKey;
    MenuMemory = v.MenuMemory;
    SelectedButton = v.SelectedButton;
    ButtonCount = v.ButtonCount;
    MessageLine->Text = v.MessageText;
    MessageLine->FrameCounter = v.MessageFrames;
    StateTime = v.StateTime;
    liveValues_.reset();
    ApplyMusicLevel();
    // The key that ended the playback acts on the screen only when pressed again.
    media_.UpdateInput();
    DXInput().RemoveAll();
    introIdleSince_ = media_.TickCount();
}

}  // namespace shell

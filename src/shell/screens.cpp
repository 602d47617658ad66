// The frame loop and the machine of screens. SetScreenState is the only way
// from one screen to another; each screen has an entry, a per-frame and a
// leave action, kept in a table by its number.
#include "actors/enemy.h"
#include "actors/game.h"
#include "engine/image_sprite.h"
#include "game/globals.h"
#include "game/high_scores.h"
#include "game/tasks.h"
#include "replay/replay_file.h"
#include "shell/editor_session.h"
#include "shell/screen.h"
#include "widgets/button.h"
#include "widgets/message_line.h"
#include "widgets/style.h"

namespace shell {

using namespace game;
using namespace replay;
using widgets::kBauhausFace;
using widgets::kWhite;

namespace {
constexpr int kIntroBlinkMs = 300;
// Nobody at the intro for this long: a recorded game is shown.
constexpr uint32_t kDemoAfterMs = 30000;

// How a game ends by the screen that follows it.
TGameEnd EndBefore(TScreenState next) {
    switch (next) {
        case scGameOver: return TGameEnd::GameOver;
        case scGameComplete: return TGameEnd::GameComplete;
        default: return TGameEnd::Quit;  // Escape, then Y
    }
}
}  // namespace

const char* ScreenName(TScreenState state) {
    switch (state) {
        case scNone: return "scNone";
        case scIntro: return "scIntro";
        case scMainMenu: return "scMainMenu";
        case scGame: return "scGame";
        case scHelp: return "scHelp";
        case scHighScores: return "scHighScores";
        case scGameOver: return "scGameOver";
        case scGameComplete: return "scGameComplete";
        case scNewHighScore: return "scNewHighScore";
        case scOptions: return "scOptions";
        case scQuit: return "scQuit";
        case scPassword: return "scPassword";
        case scEditor: return "scEditor";
        case scLevelSets: return "scLevelSets";
    }
    return "scUnknown";
}

void TMainForm::SetScreenState(TScreenState newState) {
    // A game is recorded from its first level to its end.
    if (newState == scGame && State != scGame) {
        GameStarting();
    } else if (State == scGame && newState != scGame) {
        GameEnding(EndBefore(newState));
        // A test-play goes back to the editor however its game ended.
        if (editorSession_ && editorSession_->TestPlaying && replayMode_ == TReplayMode::None) {
            testPlayCleared_ = newState == scGameComplete;
            newState = scEditor;
        }
    }
    KillAllSprites();
    CurrentScreen().Leave();
    DXInput().RemoveButtons();
    if (newState != State) ImageList.Clear();
    State = newState;
    ResetStateTime();
    LoadImages(State);
    CurrentScreen().Enter();
}

void TMainForm::KillAllSprites() {
    engine::ForEachChild(*DXSpriteEngine.Root(), [](engine::TSprite& sprite) { sprite.Kill(); });
    // Killed sprites are gone after the next sweep: forget them now.
    ExitPromptSprite = nullptr;
    HelpPage = nullptr;
    Buttons.fill(nullptr);
}

void TMainForm::ResetStateTime() {
    StateTime = 0;
    LastTickCount = int32_t(media_.TickCount());
}

void TMainForm::UpdateStateTime() {
    const int32_t now = int32_t(media_.TickCount());
    if (now != LastTickCount) {
        StateTime += now - LastTickCount;
        LastTickCount = now;
    }
}

std::pair<int, int> TMainForm::GetCenteredPos(int width, int height) const {
    return {(platform::kDisplayWidth - width) / 2, (platform::kDisplayHeight - height) / 2};
}

engine::TImageSprite* TMainForm::AddImageAt(const std::string& imageName, int x, int y, int z) {
    const media::ImageEntry& image = ImageList.Find(imageName);
    auto* sprite = new engine::TImageSprite(DXSpriteEngine.Root());
    sprite->Image = &image;
    sprite->Width = image.PatternWidth();
    sprite->Height = image.PatternHeight();
    sprite->X = x;
    sprite->Y = y;
    sprite->SetZ(z);
    return sprite;
}

engine::TImageSprite* TMainForm::AddCenteredImage(const std::string& imageName, int z) {
    const media::ImageEntry& image = ImageList.Find(imageName);
    const auto [x, y] = GetCenteredPos(image.PatternWidth(), image.PatternHeight());
    return AddImageAt(imageName, x, y, z);
}

void TMainForm::MakeScreens() {
    // Numbers that name no screen do nothing, and Escape goes to the main menu.
    for (auto& screen : screens_) screen = std::make_unique<TScreen>(*this);
    screens_[scIntro] = std::make_unique<TIntroScreen>(*this);
    screens_[scMainMenu] = std::make_unique<TMainMenuScreen>(*this);
    screens_[scGame] = std::make_unique<TGameScreen>(*this);
    screens_[scHelp] = std::make_unique<THelpScreen>(*this);
    screens_[scHighScores] = std::make_unique<THighScoresScreen>(*this);
    screens_[scNewHighScore] = std::make_unique<TNewHighScoreScreen>(*this);
    screens_[scOptions] = std::make_unique<TOptionsScreen>(*this);
    screens_[scPassword] = std::make_unique<TPasswordScreen>(*this);
    screens_[scGameOver] =
        std::make_unique<TEndPictureScreen>(*this, "GameOver", TEndPictureScreen::TOrder::PictureFirst);
    screens_[scGameComplete] =
        std::make_unique<TEndPictureScreen>(*this, "GameComplete", TEndPictureScreen::TOrder::SoundFirst);
    screens_[scQuit] = std::make_unique<TQuitScreen>(*this);
    screens_[scEditor] = std::make_unique<TEditorScreen>(*this);
    screens_[scLevelSets] = std::make_unique<TLevelSetsScreen>(*this);
}

void TMainForm::DXTimerTimer() {
    if (!media_.CanDraw()) return;
    media_.UpdateInput();
    media::Surface& surface = media_.Display();
    const bool drawing = media_.Drawing();
    if (drawing) surface.Fill(0);
    if (!Paused) DXSpriteEngine.Move(1);
    DXSpriteEngine.SweepDead();
    if (drawing) {
        surface.Fill(0);
        DXSpriteEngine.Draw();
    }
    RunScreenFrame();
    // What the online table said stays in sight on the menus too.
    if (drawing && State != scGame && !onlineMessage_.empty()) {
        if (MessageLine->Text == onlineMessage_) {
            MessageLine->Draw();
        } else {
            onlineMessage_.clear();
        }
    }
    HighlightButtons();
    DrawDebugText();
    media_.Present();
}

void TMainForm::RunScreenFrame() { CurrentScreen().Frame(); }

std::string TMainForm::MessageText() const { return MessageLine ? MessageLine->Text : std::string(); }

void TMainForm::RestartMainTimer() {
    MainTimer.SetEnabled(false, media_.TickCount());
    MainTimer.SetEnabled(true, media_.TickCount());
}

void TMainForm::HighlightButtons() {
    for (int i = 1; i <= ButtonCount && i < int(Buttons.size()); ++i) {
        if (Buttons[size_t(i)]) {
            Buttons[size_t(i)]->Highlight =
                i == SelectedButton ? widgets::TButtonSprite::kActive : widgets::TButtonSprite::kNormal;
        }
    }
}

void TMainForm::DrawDebugText() {
    if (!game::State.StartOptions.Debug) return;
    media_.DrawText(750, 580, "FPS: " + std::to_string(DXTimer().FramesPerSecond()), kBauhausFace, 8, kWhite);
}

void TMainForm::TIntroScreen::Enter() {
    form_.introIdleSince_ = form_.media_.TickCount();
    form_.CountLevels();
}

void TMainForm::TIntroScreen::Frame() {
    TMainForm& f = form_;
    if (f.PlayStartJingle) {
        f.PlayStartJingle = false;
        f.PlaySound("GameStart");
    }
    const media::ImageEntry& intro = f.ImageList.Find("Intro");
    const auto [x, y] = f.GetCenteredPos(intro.PatternWidth(), intro.PatternHeight());
    if (f.media_.Drawing()) intro.Draw(f.media_.Display(), x, y, 0);
    if ((f.StateTime / kIntroBlinkMs) % 2 == 0)
        f.media_.DrawText(330, 500, "Push <FIRE>", kBauhausFace, 20, kWhite);
    f.UpdateStateTime();
    if (f.DXInput().Has(platform::isButton1)) {
        f.SetScreenState(scMainMenu);
        return;
    }
    if (!f.DXInput().Empty()) f.introIdleSince_ = f.media_.TickCount();
    if (f.media_.TickCount() - f.introIdleSince_ >= kDemoAfterMs) f.StartDemo();
}

void TMainForm::TIntroScreen::AnyKey() { form_.introIdleSince_ = form_.media_.TickCount(); }

void TMainForm::TEndPictureScreen::Enter() {
    if (order_ == TOrder::SoundFirst) form_.PlaySound(name_);
    form_.AddCenteredImage(name_, 5);
    if (order_ == TOrder::PictureFirst) form_.PlaySound(name_);
}

void TMainForm::TEndPictureScreen::Frame() {
    form_.HighScores->Load(HighScoresPath());
    if (form_.DXInput().Empty()) return;
    if (form_.HighScores->Qualifies(game::State.Player.Score)) {
        form_.SetScreenState(scNewHighScore);
    } else if (form_.AskOnlineName()) {
        form_.onlineNameEntry_ = true;
        form_.SetScreenState(scNewHighScore);
    } else {
        form_.SubmitEndedGame();
        form_.SetScreenState(scMainMenu);
    }
}

void TMainForm::MainTimerTimer() {
    ++MainTickCount;
    if (State == scGame && !Paused) {
        TimerManager->Run();
        // Victim time runs on the same tick, after the scheduled tasks.
        if (Game) Game->Enemies->TickVictims();
    }
}

void TMainForm::ScheduleTask(game::TTimerTask* task) { TimerManager->Add(task); }

void TMainForm::ShowOnMessageLine(const std::string& text, uint32_t milliseconds) {
    MessageLine->Show(text, milliseconds);
}

void TMainForm::TimerMessageLineTimer() {
    MessageLine->Text.clear();
    TimerMessageLine.SetEnabled(false, media_.TickCount());
}

void TMainForm::DXTimerActivate() {
    media_.SetCaption(kApplicationTitle);
    // Back at the machine: the demo waits its full time again.
    introIdleSince_ = media_.TickCount();
}

void TMainForm::DXTimerDeactivate() { media_.SetCaption(std::string(kApplicationTitle) + " [Pause]"); }

void TMainForm::FormActivate() {
    if (State == scGame) Paused = PausedByKey;
}

// Only a game is paused by another window of the program (a message box):
// elsewhere a pause would freeze the menus and carry over into the next game.
void TMainForm::FormDeactivate() {
    if (State == scGame) Paused = true;
}

}  // namespace shell

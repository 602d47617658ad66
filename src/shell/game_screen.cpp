// The game screen: starting and ending a level, and each frame what the
// level's rules come to, the message line and the status panel.
#include <cmath>

#include "actors/bonus.h"
#include "actors/game.h"
#include "game/globals.h"
#include "game/maze_geometry.h"
#include "game/tasks.h"
#include "shell/screen.h"
#include "widgets/message_line.h"
#include "widgets/style.h"

namespace shell {

using namespace game;

namespace {

// The key strip lies below the life icons, which fill rows of five from
// y 250: room for four rows of them.
constexpr int kKeyHintsY = 400;

}  // namespace

void TMainForm::TGameScreen::Enter() {
    if (game::State.CurrentLevel == 0) game::State.Lives = 3;
    ++game::State.CurrentLevel;
    form_.levelEndInputCleared_ = false;
    form_.Game = std::make_unique<actors::TGame>(game::State.CurrentLevel);
    form_.AddImageAt("KeyHints", kStatusPanelX, kKeyHintsY, 0);
}

void TMainForm::TGameScreen::Leave() {
    // P's pause belongs to the level being left.
    if (form_.PausedByKey) form_.Paused = form_.PausedByKey = false;
    form_.Game.reset();
    form_.MenuMemory = 1;
    form_.SelectedButton = 1;
    form_.TimerManager->Clear();
    form_.media_.MidiClose();
}

void TMainForm::TGameScreen::Frame() {
    std::unique_ptr<actors::TGame>& level = form_.Game;
    // A level whose making failed has been reported; nothing to run.
    if (!level) return;
    // P's pause keeps the panel and says so; the exit prompt's shows nothing.
    if (form_.Paused) {
        if (form_.PausedByKey) DrawStatusPanel(level->EatenPercent(), true);
        return;
    }

    // A key held while the last dot was eaten must not skip the picture and
    // the password: only an input that was not held when it appeared counts.
    if (level->LevelDone && !form_.levelEndInputCleared_) {
        form_.DXInput().RemoveAll();
        form_.levelEndInputCleared_ = true;
    }
    switch (level->LevelEndOutcome(!form_.DXInput().Empty())) {
        case actors::TPlayOutcome::GameComplete: form_.SetScreenState(scGameComplete); return;
        case actors::TPlayOutcome::NextLevel:
            form_.SetScreenState(scGame);
            if (!level) return;
            break;
        default: break;
    }
    if (actors::ReplaceLostHero() == actors::TPlayOutcome::GameOver) {
        form_.SetScreenState(scGameOver);
        return;
    }
    const int32_t percent = level->EatenPercent();
    level->PlaceBonusesAndKey(percent);

    if (form_.replayMode_ == TReplayMode::Demo) {
        form_.MessageLine->DrawInstead("Demo");
    } else {
        form_.MessageLine->Draw();
    }
    DrawStatusPanel(percent, false);
}

void TMainForm::TGameScreen::DrawStatusPanel(int32_t percent, bool paused) {
    platform::Platform& media = form_.media_;
    if (!media.Drawing()) return;
    const std::string lines[] = {
        "Level: " + game::State.GameLevel.Name,
        "Score: " + std::to_string(game::State.Player.Score),
        "Monsters: " + std::to_string(game::State.Player.Monsters),
        "Bonuses: " + std::to_string(game::State.Player.Bonuses),
        "Eaten dots: " + std::to_string(percent) + "%",
        paused ? "Paused" : "",
    };
    int y = 20;
    for (const std::string& line : lines) {
        if (!line.empty())
            media.DrawText(kStatusPanelX, y, line, widgets::kShotgunFace, widgets::kStatusPanelPoints,
                           widgets::kGreen);
        y += 30;
    }
}

void TMainForm::TogglePause() {
    if (PausedByKey) {
        Paused = PausedByKey = false;
    } else if (!Paused && !LevelIsDone()) {
        Paused = PausedByKey = true;
    }
}

bool TMainForm::LevelIsDone() const { return Game && Game->LevelDone; }

void TMainForm::TGameScreen::Escape() {
    if (form_.PausedByKey) form_.TogglePause();
    if (!form_.Paused && !form_.LevelIsDone()) {
        form_.ExitPromptSprite = form_.AddCenteredImage("ExitPrompt", 5);
        form_.Paused = true;
    }
}

void TMainForm::TGameScreen::Key(uint16_t key) {
    // On the game screen only: on the text screens P and M are letters.
    if (key == 'P') form_.TogglePause();
    if (key == 'M') form_.ToggleMusicMute();
}

void TMainForm::TGameScreen::TestKey(uint16_t key, platform::ShiftState shift) {
    const std::unique_ptr<actors::TGame>& level = form_.Game;
    if (level && key >= platform::vk::F1 && key < platform::vk::F1 + actors::BonusKindCount)
        actors::SpawnBonus(key - platform::vk::F1 + actors::bkMoney);
    if ((shift & platform::kCtrl) && key >= '1' && key <= '9' && key - '0' <= game::State.LevelCount) {
        game::State.CurrentLevel = key - '0' - 1;
        form_.SetScreenState(scGame);
    }
    if (key == platform::vk::Enter && (shift & platform::kShift) && level) {
        level->DotsEaten = static_cast<int32_t>(std::nearbyint(level->DotTotal * 0.9));
    }
    if (key == platform::vk::Enter && (shift & platform::kCtrl)) game::State.Lives = 1;
}

}  // namespace shell

// The game screen: starting and ending a level, and each frame what the
// level's rules come to, the message line and the status panel.
#include <cmath>

#include "actors/bonus.h"
#include "actors/game.h"
#include "game/globals.h"
#include "game/maze_geometry.h"
#include "game/tasks.h"
#include "shell/main_form.h"
#include "widgets/message_line.h"
#include "widgets/style.h"

namespace shell {

using namespace game;

namespace {

// The key strip lies below the life icons, which fill rows of five from
// y 250: room for four rows of them.
constexpr int kKeyHintsY = 400;

}  // namespace

void TMainForm::StartLevel() {
    if (game::State.CurrentLevel == 0) game::State.Lives = 3;
    ++game::State.CurrentLevel;
    levelEndInputCleared_ = false;
    Game = std::make_unique<actors::TGame>(game::State.CurrentLevel);
    AddImageAt("KeyHints", kStatusPanelX, kKeyHintsY, 0);
}

void TMainForm::EndLevel() {
    // P's pause belongs to the level being left.
    if (PausedByKey) Paused = PausedByKey = false;
    Game.reset();
    MenuMemory = 1;
    SelectedButton = 1;
    TimerManager->Clear();
    media_.MidiClose();
}

void TMainForm::GameFrame() {
    // A level whose making failed has been reported; nothing to run.
    if (!Game) return;
    // P's pause keeps the panel and says so; the exit prompt's shows nothing.
    if (Paused) {
        if (PausedByKey) DrawStatusPanel(Game->EatenPercent(), true);
        return;
    }

    // A key held while the last dot was eaten must not skip the picture and
    // the password: only an input that was not held when it appeared counts.
    if (Game->LevelDone && !levelEndInputCleared_) {
        DXInput().RemoveAll();
        levelEndInputCleared_ = true;
    }
    switch (Game->LevelEndOutcome(!DXInput().Empty())) {
        case actors::TPlayOutcome::GameComplete: SetScreenState(scGameComplete); return;
        case actors::TPlayOutcome::NextLevel:
            SetScreenState(scGame);
            if (!Game) return;
            break;
        default: break;
    }
    if (actors::ReplaceLostHero() == actors::TPlayOutcome::GameOver) {
        SetScreenState(scGameOver);
        return;
    }
    const int32_t percent = Game->EatenPercent();
    Game->PlaceBonusesAndKey(percent);

    if (replayMode_ == TReplayMode::Demo) {
        MessageLine->DrawInstead("Demo");
    } else {
        MessageLine->Draw();
    }
    DrawStatusPanel(percent, false);
}

void TMainForm::DrawStatusPanel(int32_t percent, bool paused) {
    if (!media_.Drawing()) return;
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
            media_.DrawText(kStatusPanelX, y, line, widgets::kShotgunFace, widgets::kStatusPanelPoints,
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

void TMainForm::DebugKey(uint16_t key, platform::ShiftState shift) {
    if (Game && key >= platform::vk::F1 && key < platform::vk::F1 + actors::BonusKindCount)
        actors::SpawnBonus(key - platform::vk::F1 + actors::bkMoney);
    if ((shift & platform::kCtrl) && key >= '1' && key <= '9' && key - '0' <= game::State.LevelCount) {
        game::State.CurrentLevel = key - '0' - 1;
        SetScreenState(scGame);
    }
    if (key == platform::vk::Enter && (shift & platform::kShift) && Game) {
        Game->DotsEaten = static_cast<int32_t>(std::nearbyint(Game->DotTotal * 0.9));
    }
    if (key == platform::vk::Enter && (shift & platform::kCtrl)) game::State.Lives = 1;
}

}  // namespace shell

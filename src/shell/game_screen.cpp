// The game screen: starting and ending a level and the rules of each frame.
#include <cmath>

#include "actors/bonus.h"
#include "actors/game.h"
#include "actors/player.h"
#include "game/globals.h"
#include "game/maze_geometry.h"
#include "game/random.h"
#include "game/tasks.h"
#include "shell/main_form.h"
#include "widgets/message_line.h"
#include "widgets/style.h"

namespace shell {

using namespace game;

namespace {

// The key lies in the maze from about half of the dots on.
constexpr int32_t kKeyFromPercent = 49;
constexpr int32_t kKeyToPercent = 51;
// The key strip lies below the life icons, which fill rows of five from
// y 250: room for four rows of them.
constexpr int kKeyHintsY = 400;

// The share of eaten dots in whole percent, halves to even. A level without
// dots cannot be played (its file is refused); it shows 0.
int32_t EatenPercent(const actors::TGame& level) {
    if (level.DotTotal <= 0) return 0;
    return static_cast<int32_t>(std::nearbyint(level.DotsEaten * 100.0 / level.DotTotal));
}

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
        if (PausedByKey) DrawStatusPanel(EatenPercent(*Game), true);
        return;
    }

    // A key held while the last dot was eaten must not skip the picture and
    // the password: only an input that was not held when it appeared counts.
    if (Game->LevelDone && !levelEndInputCleared_) {
        DXInput().RemoveAll();
        levelEndInputCleared_ = true;
    }
    if (Game->LevelDone && !DXInput().Empty()) {
        if (game::State.CurrentLevel == game::State.LevelCount) {
            SetScreenState(scGameComplete);
            return;
        }
        SetScreenState(scGame);
        if (!Game) return;
    }

    if (game::State.PlayersAlive == 0) {
        if (game::State.Lives <= 0) {
            SetScreenState(scGameOver);
            return;
        }
        new actors::TPlayerSprite(DXSpriteEngine.Root(), game::State.GameLevel.PlayerPoint.X,
                                  game::State.GameLevel.PlayerPoint.Y);
    }

    const int32_t percent = EatenPercent(*Game);

    for (actors::TBonusThreshold& threshold : Game->BonusThresholds) {
        if (percent != threshold.Percent || threshold.Fired) continue;
        threshold.Fired = true;
        // The classic game knows only the first two kinds.
        if (game::State.GameType == gtClassic) game::State.GameLevel.BonusLevel = 2;
        // A negative count draws from nearly 2^32 kinds: almost never a real one.
        SpawnBonus(int(Random(uint32_t(game::State.GameLevel.BonusLevel)) + 1));
    }

    if (game::State.GameLevel.KeyExist != 0 && percent >= kKeyFromPercent && percent <= kKeyToPercent &&
        !Game->KeyPlaced) {
        actors::CreateKeyBonus(game::State.GameLevel.KeyPoint.X, game::State.GameLevel.KeyPoint.Y);
        Game->KeyPlaced = true;
    }

    if (replayMode_ == TReplayMode::Demo) {
        MessageLine->DrawInstead("Demo");
    } else {
        MessageLine->Draw();
    }
    DrawStatusPanel(percent, false);
}

void TMainForm::DrawStatusPanel(int32_t percent, bool paused) {
    if (!media_.CanDraw()) return;
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
        SpawnBonus(key - platform::vk::F1 + actors::bkMoney);
    if ((shift & platform::kCtrl) && key >= '1' && key <= '9' && key - '0' <= game::State.LevelCount) {
        game::State.CurrentLevel = key - '0' - 1;
        SetScreenState(scGame);
    }
    if (key == platform::vk::Enter && (shift & platform::kShift) && Game) {
        Game->DotsEaten = static_cast<int32_t>(std::nearbyint(Game->DotTotal * 0.9));
    }
    if (key == platform::vk::Enter && (shift & platform::kCtrl)) game::State.Lives = 1;
}

void TMainForm::SpawnBonus(int kind) { actors::SpawnBonus(kind); }

}  // namespace shell

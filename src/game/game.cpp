#include "game/game.h"

#include "actors/enemy.h"
#include "shell/main_form.h"

namespace game {

TSetDotsSprite* DotsLayer = nullptr;

TGame::TGame(int32_t levelNumber) : LevelNumber(levelNumber) {}

TGame::~TGame() = default;

TGame* CurrentGame() { return shell::MainForm ? shell::MainForm->Game.get() : nullptr; }

}  // namespace game

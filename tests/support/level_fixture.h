// The game screen on small hand-made levels. The settings file lists every
// picture the game screen needs (tiny bitmaps on disk), so entering the screen
// loads them the way the game does, and every sound is in the catalogue.
#pragma once

#include <string>
#include <vector>

#include "actors/game.h"
#include "actors/player.h"
#include "support/bmp.h"
#include "support/game_fixture.h"

namespace testing_support {

class LevelFixture : public GameFixture {
protected:
    void SetUp() override;

    // The game screen is entered: the level after CurrentLevel starts.
    void EnterGame();
    actors::TGame& Game() { return *Probe().Game(); }
    // The first player sprite.
    actors::TPlayerSprite& Player();
    // The sprite tree moves one step and the killed sprites go.
    void Step(int steps = 1);
    // The top-level sprites that show the named picture.
    std::vector<engine::TSprite*> SpritesWithImage(const std::string& name);
};

}  // namespace testing_support

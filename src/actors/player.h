// The hero: walks the corridors 8 pixels a frame, turns only where it fills
// one cell exactly, wraps through open edges, eats the dot under its mouth,
// and is caught by monsters or eats them while they are frightened.
#pragma once

#include <cstdint>

#include "actors/actor.h"
#include "platform/input.h"

namespace actors {

class TPlayerSprite : public TXSprite {
public:
    // Creates the player on a maze cell and says "Ready!".
    TPlayerSprite(engine::TSprite* parent, int32_t cellX, int32_t cellY);

    void HandleCollision(engine::TSprite* other, bool& done) override;
    void Step(int moveCount) override;

    // May the player stand with its top-left corner at (x, y)?
    bool CanMoveTo(double x, double y);
    void SwapKeys();
    void RemovePlayer();
    void OnLevelComplete();

    uint8_t Direction = DirNone;
    uint16_t KeyRight = platform::vk::Right;
    uint16_t KeyLeft = platform::vk::Left;
    uint16_t KeyDown = platform::vk::Down;
    uint16_t KeyUp = platform::vk::Up;
    int32_t DeathCountdown = -1;  // frames until a caught player leaves; -1 not caught
    int32_t Speed = 8;
    bool BlockedByPlayer = false;

private:
    // Eats the dot under the mouth point; the last one ends the level.
    void Eat();
};

}  // namespace actors

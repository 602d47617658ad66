// The three monster kinds: the ordinary monster runs straight and turns at
// walls, toward the player or, while a victim, away from it; the boss
// decides at every cell centre and follows a short route when the player is
// near; the ghost drifts through walls at half speed toward the player.
#pragma once

#include "actors/enemy.h"

namespace actors {

class TBasicEnemy : public TEnemySprite {
public:
    TBasicEnemy(engine::TSprite* root, int32_t x, int32_t y);
    void Step(int moveCount) override;
    uint8_t ChooseDirection() const;
    // Only an active monster changes; false starts 100 ticks of victim time.
    void SetHunting(bool value);

    bool Hunting = true;
    int32_t VictimTicks = 0;
};

class TBossSprite : public TEnemySprite {
public:
    TBossSprite(engine::TSprite* root, int32_t x, int32_t y);
    void Step(int moveCount) override;
    bool BlockedAhead(uint8_t direction) const;
    uint8_t NearestDirection() const;
};

class TGhostSprite : public TEnemySprite {
public:
    TGhostSprite(engine::TSprite* root, int32_t x, int32_t y);
    void Step(int moveCount) override;
    void Activate() override;
    uint8_t NearestDirection() const;
};

}  // namespace actors

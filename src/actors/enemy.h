// The monsters: what the three kinds share, and the per-level bookkeeping of
// how many of each kind are alive.
#pragma once

#include <cstdint>
#include <string>

#include "actors/actor.h"
#include "game/level.h"

namespace actors {

// Image-name suffixes by direction.
inline constexpr const char* DirectionNames[4] = {"Up", "Right", "Down", "Left"};

class TEnemySprite : public TXSprite {
public:
    // On cell (x, y), appearing: not active, not moving, harmless.
    TEnemySprite(engine::TSprite* root, int32_t x, int32_t y);

    void HandleCollision(engine::TSprite* other, bool& done) override;

    virtual void Activate();
    bool AtCellCentre() const;
    bool CanMoveTo(double x, double y) const;
    // Moves the point by Speed in the direction; direction 4 gives the
    // monster's own position.
    void OffsetByDirection(double& x, double& y, uint8_t direction) const;
    // First step of a shortest route to the player within 5 steps, else 4.
    uint8_t RouteDirection() const;

    bool Slow = false;
    int32_t Speed = 0;
    game::TMonsterKind Kind = game::mkOrdinary;
    int32_t ScoreValue = 0;
    bool Active = false;
    int32_t SlowCounter = 0;
    uint8_t Direction = DirNone;
    int32_t AppearCountdown = 32;

protected:
    // The parts every kind's step shares. Each returns true when the step
    // ends there.
    bool SlowPhase();
    bool AppearancePhase();
    // Right and bottom edges lead to 20; the left and top ones to the
    // opposite edge less `leftTopInset`.
    void WrapAround(double leftTopInsetX, double leftTopInsetY);
    // What every kind's constructor sets: kind, appearance and death
    // pictures, score, and a random first direction.
    // Does the current game mark the gate of cell (x, y) as shut?
    static bool GateShutAt(int32_t x, int32_t y);
    void SetUpKind(game::TMonsterKind kind, const std::string& appearImage, const std::string& deathImage,
                   int32_t scoreValue);
};

class TEnemyCollection {
public:
    explicit TEnemyCollection(engine::TSprite* root);

    // Any other kind adds nothing.
    void AddMonster(int32_t kind, int32_t x, int32_t y);
    void RemoveAll();
    void KillAllActive();
    void KillMonster(TEnemySprite* monster);
    void MakeVictims();
    void TickVictims();

    uint8_t AliveCount[game::MonsterKindCount] = {0, 0, 0};
    engine::TSprite* SpriteRoot;
};

}  // namespace actors

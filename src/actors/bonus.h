// Bonuses, the key, gates and red balls: the things lying in the maze.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "actors/actor.h"

namespace actors {

// The random bonuses, numbered as the game draws them (1 to BonusLevel) and
// as the F1 to F7 test keys place them.
enum TBonusKind : int {
    bkMoney = 1,
    bkLife,
    bkSlow,
    bkDouble,
    bkKillAll,
    bkKillOne,
    bkOppositeKeys,
};
constexpr int BonusKindCount = 7;

class TBonusSprite : public TXSprite {
public:
    TBonusSprite(engine::TSprite* root, const std::string& imageName, const std::string& takenImageName,
                 const std::string& soundName, const std::string& message, int32_t x, int32_t y,
                 std::function<void()> effect);

    void Step(int moveCount) override;
    void HandleCollision(engine::TSprite* other, bool& done) override;

    bool Permanent = false;  // true only for the key
    std::function<void()> Effect;
    std::string Message;
    std::string SoundName;
};

// Places a random bonus of that kind on a free cell, after removing the
// lying random bonus; numbers that are no kind remove it and place nothing.
void SpawnBonus(int kind);
// The key at a cell; it stays until taken.
TBonusSprite* CreateKeyBonus(int32_t x, int32_t y);

class TGateSprite : public engine::TImageSprite {
public:
    // code 8: horizontal pictures, 9: vertical ones.
    TGateSprite(engine::TSprite* root, int32_t x, int32_t y, int32_t code);
    void Step(int moveCount) override;

    bool IsOpen = false;
    bool WasNear = false;
    const media::ImageEntry* OpenImage = nullptr;
    const media::ImageEntry* ShutImage = nullptr;
};

class TRedBallSprite : public engine::TImageSprite {
public:
    TRedBallSprite(engine::TSprite* root, int32_t x, int32_t y);
    void Step(int moveCount) override;
    void HandleCollision(engine::TSprite* other, bool& done) override;
};

}  // namespace actors

// The level being played: its bookkeeping, the row of life icons, the dots
// layer, the monster spawn and the search for a free cell for a bonus.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/background_sprite.h"
#include "game/level.h"
#include "game/tasks.h"

namespace actors {

class TEnemyCollection;
class TPlayerSprite;

// The life icons: ordinary image sprites in the tree; the counter finds an
// icon again by its position.
class TLifeCounter {
public:
    TLifeCounter(int32_t originX, int32_t originY, int32_t perRow, int32_t count);
    void AddLife();
    void RemoveLife();

    const media::ImageEntry* IconImage = nullptr;
    int32_t OriginX;
    int32_t OriginY;
    int32_t PerRow;
};

// The dots of the level: a 25 x 20 tile map drawn with the image "Dot".
class TSetDotsSprite : public engine::TBackgroundSprite {
public:
    explicit TSetDotsSprite(engine::TSprite* parent);
};

struct TBonusThreshold {
    int32_t Percent = 0;
    bool Fired = false;
};

// What a frame of play comes to for the screen that shows it.
enum class TPlayOutcome : uint8_t { Playing, NextLevel, GameComplete, GameOver };

class TGame {
public:
    explicit TGame(int32_t levelNumber);
    ~TGame();
    TGame(const TGame&) = delete;
    TGame& operator=(const TGame&) = delete;

    // The level done and an input given: the next level, or the game
    // complete after the last one.
    TPlayOutcome LevelEndOutcome(bool inputGiven) const;
    // The share of eaten dots in whole percent, halves to even. A level
    // without dots cannot be played (its file is refused); it shows 0.
    int32_t EatenPercent() const;
    // The random bonuses at their shares of the dots, and the key at about
    // half of them.
    void PlaceBonusesAndKey(int32_t percent);

    // 1 where a gate is shut right now, indexed like the level map.
    int32_t GateMarks[game::MapRows][game::MapColumns] = {};
    std::unique_ptr<TEnemyCollection> Enemies;
    std::unique_ptr<TLifeCounter> LifeCounter;
    bool LevelDone = false;
    bool AllDotsEaten = false;
    int32_t DotTotal = 0;
    int32_t DotsEaten = 0;
    TBonusThreshold BonusThresholds[4];
    int32_t LevelNumber = 0;
    bool DoorsOpen = false;
    bool KeyPlaced = false;
    std::unique_ptr<game::TTimerTask> SpawnTask;
    // The end tasks of the slow-monster bonuses taken in this level. The
    // task list only refers to them; it is emptied when the level ends.
    std::vector<std::unique_ptr<game::TTimerTask>> SlowTasks;

private:
    // The tree of the level's sprites. Kept here because a window being
    // destroyed has already removed its services when it frees the level.
    engine::TSprite* spriteRoot_;
};

// The level being played, or null outside the game screen: the last TGame
// that was made in full and is not destroyed yet.
TGame* CurrentGame();

// The dots layer of the level on show. Not a member of TGame: the level sets
// it while being made, before it is the current one.
extern TSetDotsSprite* DotsLayer;

// Keeps the number of monsters of each kind up to the level's counts: at
// most one of each kind per run.
void SpawnMonsters();

// A random empty cell away from every actor, the monster start cells and
// the player's start, for a bonus.
bool FindFreeCell(const game::TLevel& level, int32_t& x, int32_t& y);

// No hero left: game over without lives, otherwise a new hero at the
// level's start cell.
TPlayOutcome ReplaceLostHero();

// The first player sprite among the top-level sprites, or null.
TPlayerSprite* FindPlayer();

}  // namespace actors

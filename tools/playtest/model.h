// What the bot has learnt of the game by watching it: how the hero answers
// the keys, and how each kind of monster picks its way. The bot runs these
// rules forward on what it saw to guess where everybody will be a moment
// later. Positions are pixels from the maze's top-left corner; cells are 32
// pixels; the hero and the monsters are 32 x 32.
#pragma once

#include <cstdint>
#include <vector>

#include "game_driver.h"

namespace playtest {

enum Dir : uint8_t { kUp = 0, kRight = 1, kDown = 2, kLeft = 3, kNone = 4 };
constexpr int kDx[5] = {0, 1, 0, -1, 0};
constexpr int kDy[5] = {-1, 0, 1, 0, 0};
inline Dir Reverse(Dir d) { return d == kNone ? kNone : Dir((d + 2) % 4); }

struct Cell {
    int x = 0;
    int y = 0;
    bool operator==(const Cell&) const = default;
};

// The maze as it is drawn: walls, dots, gates and which gates are shut.
class Maze {
public:
    Maze() = default;
    explicit Maze(const Screen& screen);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    // The cell code with the open ring around the maze and walls beyond.
    int Code(int x, int y) const;
    bool GateShut(int x, int y) const { return Inside(x, y) && shut_[size_t(y * width_ + x)]; }
    void SetGateShut(int x, int y, bool shut);
    // The hero eats the dot of the cell it is in.
    void EatAt(int px, int py);
    int WrapMaxX() const { return (width_ - 1) * kCell; }
    int WrapMaxY() const { return (height_ - 1) * kCell; }

    // Can the hero stand here; keyTaken lets it through gates.
    bool HeroFits(int px, int py, bool keyTaken) const;
    // Can a walking monster stand here (shut gates stop it, open ones not).
    bool MonsterFits(int px, int py) const;
    // The hero's neighbour cell in a direction, through the tunnels at the
    // edges; false when the way is shut.
    bool HeroStep(Cell from, Dir d, bool keyTaken, Cell& to) const;

private:
    bool HeroBlocks(int code, bool keyTaken) const;
    int width_ = 0;
    int height_ = 0;
    std::vector<int> cells_;
    std::vector<uint8_t> shut_;
};

inline bool AtCellCentre(int px, int py) {
    return (px + 1) / kCell == (px + kCell - 1) / kCell && (py + 1) / kCell == (py + kCell - 1) / kCell;
}
inline Cell CellOf(int px, int py) { return {(px + kCell / 2) / kCell, (py + kCell / 2) / kCell}; }

struct Hero {
    int x = 0;
    int y = 0;
    Dir dir = kNone;
    Dir wish = kNone;  // the direction of the last key pressed
};

// One frame of the hero: through the tunnel, the turn at a cell centre, the move.
void StepHero(const Maze& maze, Hero& hero, bool keyTaken);

struct Monster {
    MonsterKind kind = MonsterKind::Ordinary;
    int x = 0;
    int y = 0;
    Dir dir = kNone;        // unknown while it appears
    int appearSteps = 0;    // steps before it starts to move
    bool edible = false;    // a frightened monster the hero may touch
    bool slow = false;      // moves only on every other step
    bool skipNext = false;  // a slow one that moved last step stands on the next
    int slowSteps = 0;      // steps before it is fast again
};

// One frame of a monster chasing the hero. Without `bossRoutes` a boss is
// expected to run on like an ordinary monster, as a player who has not
// learnt the bosses' way expects.
void StepMonster(const Maze& maze, Monster& monster, const Hero& hero, bool bossRoutes = true);

// Do the hero and a dangerous monster overlap, with `margin` pixels to spare?
bool Touches(const Hero& hero, const Monster& monster, int margin);

}  // namespace playtest

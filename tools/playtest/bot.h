// The bot: a fair player. It sees only the screen (the maze, its dots and
// the pictures on it), and its hand follows its eyes after a reaction delay:
// what it decides on the frame it sees is pressed `delay` later. It goes for
// the nearest dot it can reach, turns aside for a red ball or a bonus close
// by and for the key, and keeps clear of the monsters by running their rules
// a few cells ahead on what it saw.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <optional>

#include "game_driver.h"
#include "model.h"

namespace playtest {

struct BotOptions {
    int delayMs = 250;
    int jitterMs = 0;            // each press lands up to this much earlier than planned
    int lookahead = 6;           // decisions (cell centres) the bot thinks ahead after the delay
    int wrongBranchPercent = 0;  // crossings where it takes another way than the one it chose
    bool knowsBosses = true;     // expects a boss to come for a hero within five cells
    int margin = 0;              // pixels of room it wants between itself and a monster
    int nearCells = 5;           // how far it turns aside for a red ball or a bonus
    uint32_t seed = 1;
};

class Bot {
public:
    Bot(const BotOptions& options, int intervalMs);

    // Called before every frame with what the screen shows; returns the key
    // to press now, or 0.
    uint16_t Play(const Screen& screen);

private:
    struct Seen {
        bool heroAlive = false;
        Hero hero;
        std::vector<Hero> others;  // a second hero obeys the same keys
        std::vector<Monster> monsters;
        std::vector<Cell> redBalls;
        std::vector<Cell> bonuses;
        std::optional<Cell> key;
    };
    struct Press {
        int64_t frame;    // when the hand presses it
        int64_t planned;  // when the bot meant it to land: what it plans with
        Dir dir;
    };

    Seen Perceive(const Screen& screen);
    // Follows the monsters from frame to frame to tell the slowed ones.
    void Track(std::vector<Monster>& monsters);
    // What to press when the hero stands at a cell centre in `delay` frames.
    std::optional<Dir> Decide(const Seen& seen);
    // Frames the hero outlives the monsters when it takes `first` and then
    // the best of its ways for `depth` more cell centres.
    int Survive(const Hero& hero, std::vector<Hero> others, std::vector<Monster> monsters, Dir first,
                int depth) const;
    // Can the hero still reach a few cells ahead of every monster, or is it
    // cornered?
    bool CanEscape(const Hero& hero, const std::vector<Monster>& monsters) const;
    std::vector<int> TargetDistances(const Seen& seen, Cell heroCell) const;
    uint16_t KeyFor(Dir d) const;
    uint32_t Random(uint32_t n);

    BotOptions options_;
    int delayFrames_;
    int jitterFrames_;
    int framesPerSecond_;
    int64_t frame_ = 0;
    Maze maze_;
    std::deque<Press> pending_;
    // Another open way than `chosen` at a crossing, or none when it is no crossing.
    std::optional<Dir> WrongBranch(Cell here, Dir heading, Dir chosen);

    Dir wish_ = kNone;                   // the last direction pressed, as the hero takes it
    std::optional<Cell> lastDecidedAt_;  // a crossing is misread at most once a visit
    bool keyTaken_ = false;
    bool keysSwapped_ = false;
    bool heroWasAlive_ = false;
    int64_t frightenedUntil_ = -1;
    int redBallsSeen_ = -1;
    int keyboardChangesSeen_ = 0;
    int slowPicturesSeen_ = 0;
    int64_t slowUntil_ = -1;
    int dotsSeen_ = -1;
    int64_t lastProgress_ = 0;  // the last frame a dot went
    // Where a monster was first seen appearing, and when.
    std::map<std::pair<int, int>, int64_t> appearing_;
    // The monsters of the last frame, and which of them stood still in
    // each of the last frames (bit 0: the last one).
    struct Tracked {
        Monster monster;
        unsigned stood = 0;
        int frames = 0;
    };
    std::vector<Tracked> tracked_;
    uint32_t random_;
};

}  // namespace playtest

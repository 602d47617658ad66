// Checks a level file for what would make it unplayable or awkward: read
// with the game's own reader, then walked the way the player walks (four
// neighbours, through open edges to the opposite edge, gates shut until the
// key is taken). Used by tools/levelcheck and by the tests of the shipped
// levels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/level.h"

namespace game {

struct LevelFinding {
    bool Error = false;  // false: a warning
    bool HasCell = false;
    TPoint Cell;
    std::string Text;
};

struct LevelReport {
    int32_t Dots = 0;           // CellDot cells of the maze
    int32_t DotsBeforeKey = 0;  // dots reachable before the gates open
    std::vector<LevelFinding> Findings;

    bool HasErrors() const;
};

// The visible playfield: a larger maze runs under the status panel and the
// message line.
constexpr int32_t VisibleMapSide = 17;
constexpr int32_t FewDots = 60;

// Dots of the maze as the game counts them when a level starts.
int32_t CountDots(const TMazeMap& map);

// The findings for a level already read.
LevelReport CheckLevel(const TLevel& level);

// Reads the file with LoadLevel and checks it; a file the reader refuses
// gives one error saying why.
LevelReport CheckLevelFile(const std::string& path);

// "FILE (X, Y): error: TEXT", or without the cell when the finding has none.
std::string FormatFinding(const std::string& file, const LevelFinding& finding);

}  // namespace game

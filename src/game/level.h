// The level file, the maze grid and the two grid operations every
// maze-moving sprite uses.
//
// A level file is 8-bit text read twice: once as an INI file for the
// [General] keys, once line by line for the map that follows a "[Map]" line.
// Each map character is a cell code (byte value - 65, so "A" is a dot).
// The grid keeps one ring of CellEmpty around the maze, so an open edge cell
// leads into the ring and the sprites wrap from there; beyond the ring every
// cell reads as a wall.
#pragma once

#include <cstdint>
#include <string>

namespace game {

constexpr int32_t CellDot = 0;
constexpr int32_t CellWall = 1;
constexpr int32_t CellEmpty = 2;
constexpr int32_t CellRedBall = 3;
constexpr int32_t CellGateHoriz = 8;
constexpr int32_t CellGateVert = 9;

constexpr int32_t MaxMapWidth = 25;
constexpr int32_t MaxMapHeight = 20;
constexpr int32_t MapRows = MaxMapHeight + 2;  // the maze plus its ring
constexpr int32_t MapColumns = MaxMapWidth + 2;

// The monster kinds. They also index a level's start cells and counts per
// kind, in this order.
enum TMonsterKind : uint8_t { mkOrdinary = 0, mkBoss = 1, mkGhost = 2 };
constexpr int32_t MonsterKindCount = 3;

struct TPoint {
    int32_t X = 0;
    int32_t Y = 0;
};

// The map with its size: one value, copied whole when a scratch copy is
// needed. Cell (X, Y) is stored at Map[Y + 1][X + 1], so X = -1 and Y = -1
// (the ring) are stored too.
struct TMazeMap {
    int32_t Map[MapRows][MapColumns] = {};
    int32_t MapWidth = 0;   // 1 to 25 in a loaded level
    int32_t MapHeight = 0;  // 1 to 20 in a loaded level
};

// The level being played. The map comes first, so a TLevel can be passed
// wherever a TMazeMap is read.
struct TLevel : TMazeMap {
    std::string Name;
    int32_t BonusLevel = 0;  // random bonus kinds 1 to BonusLevel may appear
    TPoint PlayerPoint;
    TPoint KeyPoint;
    uint8_t KeyExist = 0;  // non-zero: the level has a key
    // Indexed by monster kind.
    TPoint MonsterPoint[MonsterKindCount];
    int32_t MonsterCount[MonsterKindCount] = {};
};

enum class LevelLoadResult {
    Ok,
    CantOpen,  // keys read as defaults, Map left as it was
    BadFile,   // the level is left exactly as it was
};

// The level number as the file names write it: "01" .. "09", then plain
// decimal.
std::string LevelDigits(int32_t n);

// Fills `level` from the level file at `path`. The caller reports failures:
// CantOpen as "Can't open file " + path, BadFile as "Error file " + path.
LevelLoadResult LoadLevel(const std::string& path, TLevel& level);
// The same for a level file's contents already read: Ok or BadFile.
LevelLoadResult ReadLevelText(const std::string& text, TLevel& level);

// The code of cell (x, y): the stored entry for the maze and its ring,
// CellWall beyond the ring.
int32_t GetCell(const TMazeMap& map, int32_t x, int32_t y);

// A random maze cell holding `code`. False, with x and y unchanged, when the
// maze holds none. Reseeds the random generator from the clock first, then
// draws the row and the column until the cell matches.
bool FindCellWithCode(const TMazeMap& map, int32_t code, int32_t& x, int32_t& y);

}  // namespace game

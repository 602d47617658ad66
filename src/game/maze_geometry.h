// Where the maze lies on the display and how positions map to cells.
//
// Cell (x, y) has its top-left pixel at (20 + 32 x, 20 + 32 y). Sprite
// positions are doubles but move in whole pixels. To find a cell, the
// position's offset from the maze origin is rounded to the nearest integer
// (halves to the even neighbour) and then divided with C++ integer
// division, which truncates toward zero. Near the left and top edges that
// matters: an offset of -1 lies in cell 0, not -1, so a sprite that has
// wrapped a pixel past the edge still reads the first row or column, and a
// monster at offset 0 finds its "right" column at (0 - 1) / 32 + 1 = 1, not
// 0, and tests it too.
#pragma once

#include <cmath>
#include <cstdint>

namespace game {

constexpr int32_t kMazeOrigin = 20;
constexpr int32_t kCellSize = 32;
// The status panel's left edge, right of the 16 columns a player sees.
constexpr int32_t kStatusPanelX = 590;

// Rounded to the nearest integer, halves to the even neighbour.
inline int32_t Nearest(double v) { return static_cast<int32_t>(std::nearbyint(v)); }

// The top-left pixel of a cell, in either axis.
constexpr double CellToPixel(int32_t cell) { return double(kCellSize) * cell + kMazeOrigin; }

// The rounded offset of a position from the maze origin.
inline int32_t MazeOffset(double pixel) { return Nearest(pixel - kMazeOrigin); }

// The cell of a position, in either axis.
inline int32_t PixelToCell(double pixel) { return MazeOffset(pixel) / kCellSize; }

}  // namespace game

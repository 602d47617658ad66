#include "editor/maze_picture.h"

#include <algorithm>
#include <array>

#include "formats/file_writers.h"
#include "game/maze_geometry.h"

namespace editor {

using namespace game;

namespace {

struct Rgb {
    int r, g, b;
};

struct Theme {
    const char* name;
    Rgb wall, edge, floor;
};

constexpr std::array<Theme, 6> kThemes = {{
    {"Ocean", {18, 40, 120}, {90, 170, 255}, {8, 10, 28}},
    {"Candy", {90, 16, 70}, {255, 110, 200}, {18, 6, 22}},
    {"Meadow", {40, 90, 20}, {170, 240, 90}, {10, 20, 6}},
    {"Amber", {100, 70, 10}, {255, 210, 90}, {20, 14, 4}},
    {"Violet", {60, 20, 110}, {190, 130, 255}, {12, 6, 24}},
    {"Steel", {50, 60, 75}, {180, 200, 225}, {10, 12, 16}},
}};

const Theme& FindTheme(const std::string& name) {
    for (const Theme& theme : kThemes) {
        if (name == theme.name) return theme;
    }
    return kThemes[0];
}

Rgb Scaled(Rgb c, int percent) {
    return {std::min(255, c.r * percent / 100), std::min(255, c.g * percent / 100),
            std::min(255, c.b * percent / 100)};
}

}  // namespace

const std::vector<std::string>& ThemeNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> all;
        for (const Theme& theme : kThemes) all.emplace_back(theme.name);
        return all;
    }();
    return names;
}

std::vector<uint8_t> MazePictureBmp(const TLevel& level, const std::string& themeName) {
    const Theme& theme = FindTheme(themeName);
    const int width = level.MapWidth * kCellSize, height = level.MapHeight * kCellSize;
    std::vector<uint8_t> rgb(size_t(width) * size_t(height) * 3);
    // A wall cell is drawn as a block inset where it meets the floor, so
    // joined walls read as one shape with an outline round it.
    constexpr int kInset = 4, kEdge = 2;
    const auto wall = [&level](int x, int y) { return GetCell(level, x, y) == CellWall; };
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int cx = x / kCellSize, cy = y / kCellSize, px = x % kCellSize, py = y % kCellSize;
            Rgb colour = Scaled(theme.floor, (cx + cy) % 2 ? 115 : 90);
            if (wall(cx, cy)) {
                // How far this pixel lies inside the wall shape.
                int depth = kCellSize;
                if (!wall(cx - 1, cy)) depth = std::min(depth, px - kInset);
                if (!wall(cx + 1, cy)) depth = std::min(depth, kCellSize - 1 - px - kInset);
                if (!wall(cx, cy - 1)) depth = std::min(depth, py - kInset);
                if (!wall(cx, cy + 1)) depth = std::min(depth, kCellSize - 1 - py - kInset);
                if (depth >= kEdge) {
                    colour = Scaled(theme.wall, 130 - std::min(depth, 12) * 4);
                } else if (depth >= 0) {
                    colour = theme.edge;
                }
            }
            uint8_t* pixel = &rgb[(size_t(y) * size_t(width) + size_t(x)) * 3];
            pixel[0] = uint8_t(colour.r);
            pixel[1] = uint8_t(colour.g);
            pixel[2] = uint8_t(colour.b);
        }
    }
    return formats::EncodeBmp(width, height, rgb);
}

}  // namespace editor

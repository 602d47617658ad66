#include "game/level.h"

#include <vector>

#include "formats/files.h"
#include "formats/ini_file.h"
#include "game/random.h"

namespace game {

namespace {

constexpr const char* kGeneral = "General";

// The keys in their fixed order, each with its default.
void ReadKeys(const formats::IniFile& ini, TLevel& level) {
    level.Name = ini.ReadString(kGeneral, "Name", "Noname");
    level.MapWidth = ini.ReadInteger(kGeneral, "MapWidth", 17);
    level.MapHeight = ini.ReadInteger(kGeneral, "MapHeight", 17);
    level.PlayerPoint.X = ini.ReadInteger(kGeneral, "PlayerPointX", 1);
    level.PlayerPoint.Y = ini.ReadInteger(kGeneral, "PlayerPointY", 1);
    level.KeyExist = uint8_t(ini.ReadInteger(kGeneral, "KeyExist", 0));  // low 8 bits
    level.KeyPoint.X = ini.ReadInteger(kGeneral, "KeyPointX", 1);
    level.KeyPoint.Y = ini.ReadInteger(kGeneral, "KeyPointY", 1);
    level.MonsterPoint[mkOrdinary].X = ini.ReadInteger(kGeneral, "EnemyPointX", 15);
    level.MonsterPoint[mkOrdinary].Y = ini.ReadInteger(kGeneral, "EnemyPointY", 15);
    level.MonsterPoint[mkBoss].X = ini.ReadInteger(kGeneral, "BossPointX", 15);
    level.MonsterPoint[mkBoss].Y = ini.ReadInteger(kGeneral, "BossPointY", 15);
    level.MonsterPoint[mkGhost].X = ini.ReadInteger(kGeneral, "GhostPointX", 15);
    level.MonsterPoint[mkGhost].Y = ini.ReadInteger(kGeneral, "GhostPointY", 15);
    level.MonsterCount[mkOrdinary] = ini.ReadInteger(kGeneral, "EnemyCount", 4);
    level.MonsterCount[mkBoss] = ini.ReadInteger(kGeneral, "BossCount", 1);
    level.MonsterCount[mkGhost] = ini.ReadInteger(kGeneral, "GhostCount", 1);
    level.BonusLevel = ini.ReadInteger(kGeneral, "BonusLevel", 10);
}

}  // namespace

std::string LevelDigits(int32_t n) { return (n >= 0 && n < 10 ? "0" : "") + std::to_string(n); }

LevelLoadResult LoadLevel(const std::string& path, TLevel& level) {
    // Read once: the INI pass and the map pass see the same contents.
    const auto bytes = formats::ReadFileBytes(path);
    if (!bytes) {
        ReadKeys(formats::IniFile::FromText(""), level);
        return LevelLoadResult::CantOpen;
    }
    return ReadLevelText(std::string(bytes->begin(), bytes->end()), level);
}

LevelLoadResult ReadLevelText(const std::string& text, TLevel& level) {
    // Work on a copy: a refused file must not leave a half-read level (say, a
    // size the grid cannot hold) for the grid readers.
    TLevel next = level;
    ReadKeys(formats::IniFile::FromText(text), next);

    // The grid holds at most 25 x 20 maze cells; a larger (or empty) maze
    // cannot be stored.
    if (next.MapWidth < 1 || next.MapWidth > MaxMapWidth || next.MapHeight < 1 ||
        next.MapHeight > MaxMapHeight) {
        return LevelLoadResult::BadFile;
    }

    // The ring, and every cell a larger earlier level left behind.
    for (auto& row : next.Map) {
        for (int32_t& cell : row) cell = CellEmpty;
    }

    const std::vector<std::string> lines = formats::SplitLines(text);
    size_t mapLine = 0;
    while (mapLine < lines.size() && lines[mapLine].compare(0, 5, "[Map]") != 0) ++mapLine;
    // Without the "[Map]" line or with rows missing the maze is undefined.
    if (mapLine == lines.size() || lines.size() - mapLine - 1 < size_t(next.MapHeight)) {
        return LevelLoadResult::BadFile;
    }

    for (int32_t r = 0; r < next.MapHeight; ++r) {
        const std::string& row = lines[mapLine + 1 + size_t(r)];
        for (int32_t c = 0; c < next.MapWidth; ++c) {
            // A short row is closed off with walls rather than left open.
            next.Map[r + 1][c + 1] =
                size_t(c) < row.size() ? int32_t(static_cast<unsigned char>(row[size_t(c)])) - 65 : CellWall;
        }
    }

    // The eaten share of dots divides by the dot total, so a level needs one.
    bool hasDot = false;
    for (int32_t y = 0; y < next.MapHeight && !hasDot; ++y) {
        for (int32_t x = 0; x < next.MapWidth && !hasDot; ++x) hasDot = GetCell(next, x, y) == CellDot;
    }
    if (!hasDot) return LevelLoadResult::BadFile;

    level = next;
    return LevelLoadResult::Ok;
}

int32_t GetCell(const TMazeMap& map, int32_t x, int32_t y) {
    if (x < -1 || y < -1 || x > map.MapWidth || y > map.MapHeight) return CellWall;
    // A size the grid cannot hold must still not lead outside it.
    if (x + 1 >= MapColumns || y + 1 >= MapRows) return CellWall;
    return map.Map[y + 1][x + 1];
}

bool FindCellWithCode(const TMazeMap& map, int32_t code, int32_t& x, int32_t& y) {
    bool present = false;
    for (int32_t cx = 0; cx < map.MapWidth && !present; ++cx) {
        for (int32_t cy = 0; cy < map.MapHeight && !present; ++cy) present = GetCell(map, cx, cy) == code;
    }
    if (!present) return false;

    ReseedFromClock();
    int32_t cx, cy;
    do {
        cy = int32_t(Random(uint32_t(map.MapHeight)));
        cx = int32_t(Random(uint32_t(map.MapWidth)));
    } while (GetCell(map, cx, cy) != code);
    x = cx;
    y = cy;
    return true;
}

}  // namespace game

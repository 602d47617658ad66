#include "editor/draft.h"

#include <algorithm>

#include "formats/ini_file.h"

namespace editor {

using namespace game;

TDraft BlankDraft(int32_t width, int32_t height) {
    TDraft draft;
    TLevel& level = draft.Level;
    level.Name = "My Maze";
    draft.Theme = "Ocean";
    level.MapWidth = std::clamp(width, 3, MaxMapWidth);
    level.MapHeight = std::clamp(height, 3, MaxMapHeight);
    for (auto& row : level.Map) {
        for (int32_t& cell : row) cell = CellEmpty;
    }
    for (int32_t y = 0; y < level.MapHeight; ++y) {
        for (int32_t x = 0; x < level.MapWidth; ++x) {
            const bool edge = x == 0 || y == 0 || x == level.MapWidth - 1 || y == level.MapHeight - 1;
            level.Map[y + 1][x + 1] = edge ? CellWall : CellDot;
        }
    }
    level.PlayerPoint = {level.MapWidth / 2, level.MapHeight - 2};
    level.KeyPoint = {level.MapWidth / 2, level.MapHeight / 2};
    for (TPoint& start : level.MonsterPoint) start = {level.MapWidth / 2, 1};
    level.MonsterCount[mkOrdinary] = 2;
    level.MonsterCount[mkBoss] = 0;
    level.MonsterCount[mkGhost] = 0;
    level.BonusLevel = 1;
    return draft;
}

std::string LevelFileText(const TDraft& draft) {
    const TLevel& level = draft.Level;
    std::string text = "[General]\n";
    const auto key = [&text](const char* name, const std::string& value) {
        text += std::string(name) + "=" + value + "\n";
    };
    const auto number = [&key](const char* name, int32_t value) { key(name, std::to_string(value)); };
    key("Name", level.Name);
    if (!draft.Theme.empty()) key("Theme", draft.Theme);
    number("MapWidth", level.MapWidth);
    number("MapHeight", level.MapHeight);
    number("PlayerPointX", level.PlayerPoint.X);
    number("PlayerPointY", level.PlayerPoint.Y);
    number("KeyExist", level.KeyExist);
    number("KeyPointX", level.KeyPoint.X);
    number("KeyPointY", level.KeyPoint.Y);
    number("EnemyPointX", level.MonsterPoint[mkOrdinary].X);
    number("EnemyPointY", level.MonsterPoint[mkOrdinary].Y);
    number("BossPointX", level.MonsterPoint[mkBoss].X);
    number("BossPointY", level.MonsterPoint[mkBoss].Y);
    number("GhostPointX", level.MonsterPoint[mkGhost].X);
    number("GhostPointY", level.MonsterPoint[mkGhost].Y);
    number("EnemyCount", level.MonsterCount[mkOrdinary]);
    number("BossCount", level.MonsterCount[mkBoss]);
    number("GhostCount", level.MonsterCount[mkGhost]);
    number("BonusLevel", level.BonusLevel);
    text += "[Map]\n";
    for (int32_t y = 0; y < level.MapHeight; ++y) {
        for (int32_t x = 0; x < level.MapWidth; ++x) text += char(GetCell(level, x, y) + 65);
        text += "\n";
    }
    return text;
}

std::optional<TDraft> ReadDraft(const std::string& text) {
    TDraft draft;
    if (ReadLevelText(text, draft.Level) != LevelLoadResult::Ok) return std::nullopt;
    draft.Theme = formats::IniFile::FromText(text).ReadString("General", "Theme", "");
    return draft;
}

}  // namespace editor

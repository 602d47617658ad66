#include "editor/level_editor.h"

#include <algorithm>

namespace editor {

using namespace game;

namespace {

// Highest values a header field takes.
constexpr int32_t kMaxMonsters = 20;
constexpr int32_t kMaxBonusLevel = 10;
constexpr size_t kMaxNameLength = 40;

TBrush CellBrush(int32_t code) { return {TBrush::TKind::Cell, code, mkOrdinary}; }
TBrush MonsterBrush(TMonsterKind kind) { return {TBrush::TKind::Monster, CellEmpty, kind}; }

}  // namespace

const std::vector<TPaletteEntry>& Palette() {
    static const std::vector<TPaletteEntry> palette = {
        {CellBrush(CellWall), "Wall"},
        {CellBrush(CellDot), "Dot"},
        {CellBrush(CellEmpty), "Floor"},
        {CellBrush(CellRedBall), "Red ball"},
        {CellBrush(CellGateHoriz), "Gate -"},
        {CellBrush(CellGateVert), "Gate |"},
        {{TBrush::TKind::Hero, CellEmpty, mkOrdinary}, "Hero"},
        {MonsterBrush(mkOrdinary), "Monsters"},
        {MonsterBrush(mkBoss), "Bosses"},
        {MonsterBrush(mkGhost), "Ghosts"},
        {{TBrush::TKind::Key, CellEmpty, mkOrdinary}, "Key"},
    };
    return palette;
}

bool TLevelEditor::Inside(int32_t x, int32_t y) const {
    return x >= 0 && y >= 0 && x < draft_.Level.MapWidth && y < draft_.Level.MapHeight;
}

const game::LevelReport& TLevelEditor::Check() const {
    if (!report_) report_ = game::CheckLevel(draft_.Level);
    return *report_;
}

void TLevelEditor::Step() {
    report_.reset();
    if (inStroke_) {
        if (strokeChanged_) return;
        strokeChanged_ = true;
    }
    undo_.push_back(draft_);
    if (undo_.size() > kMaxUndo) undo_.pop_front();
    redo_.clear();
}

void TLevelEditor::BeginStroke() {
    inStroke_ = true;
    strokeChanged_ = false;
}

void TLevelEditor::EndStroke() { inStroke_ = false; }

void TLevelEditor::Paint(int32_t x, int32_t y, const TBrush& brush) {
    if (!Inside(x, y)) return;
    TLevel& level = draft_.Level;
    const TPoint cell{x, y};
    const auto same = [](const TPoint& a, const TPoint& b) { return a.X == b.X && a.Y == b.Y; };
    switch (brush.Kind) {
        case TBrush::TKind::Cell:
            if (GetCell(level, x, y) == brush.Code) return;
            Step();
            SetCell(x, y, brush.Code);
            return;
        case TBrush::TKind::Hero:
            if (same(level.PlayerPoint, cell)) return;
            Step();
            level.PlayerPoint = cell;
            return;
        case TBrush::TKind::Monster:
            if (same(level.MonsterPoint[brush.Monster], cell)) return;
            Step();
            level.MonsterPoint[brush.Monster] = cell;
            // A start cell with nobody on it would be forgotten.
            if (level.MonsterCount[brush.Monster] == 0) level.MonsterCount[brush.Monster] = 1;
            return;
        case TBrush::TKind::Key:
            if (same(level.KeyPoint, cell) && level.KeyExist) return;
            Step();
            level.KeyPoint = cell;
            level.KeyExist = 1;
            return;
    }
}

void TLevelEditor::Fill(int32_t x0, int32_t y0, int32_t x1, int32_t y1, const TBrush& brush) {
    if (brush.Kind != TBrush::TKind::Cell) return;
    const TLevel& level = draft_.Level;
    x0 = std::clamp(x0, 0, level.MapWidth - 1);
    x1 = std::clamp(x1, 0, level.MapWidth - 1);
    y0 = std::clamp(y0, 0, level.MapHeight - 1);
    y1 = std::clamp(y1, 0, level.MapHeight - 1);
    BeginStroke();
    for (int32_t y = std::min(y0, y1); y <= std::max(y0, y1); ++y) {
        for (int32_t x = std::min(x0, x1); x <= std::max(x0, x1); ++x) Paint(x, y, brush);
    }
    EndStroke();
}

void TLevelEditor::MirrorLeftRight() {
    const int32_t width = draft_.Level.MapWidth;
    BeginStroke();
    for (int32_t y = 0; y < draft_.Level.MapHeight; ++y) {
        for (int32_t x = 0; x < width / 2; ++x)
            Paint(width - 1 - x, y, CellBrush(GetCell(draft_.Level, x, y)));
    }
    EndStroke();
}

void TLevelEditor::SetName(const std::string& name) {
    const std::string fitted = name.substr(0, kMaxNameLength);
    if (fitted == draft_.Level.Name) return;
    Step();
    draft_.Level.Name = fitted;
}

void TLevelEditor::SetTheme(const std::string& theme) {
    if (theme == draft_.Theme) return;
    Step();
    draft_.Theme = theme;
}

void TLevelEditor::Resize(int32_t width, int32_t height) {
    width = std::clamp(width, 3, MaxMapWidth);
    height = std::clamp(height, 3, MaxMapHeight);
    TLevel& level = draft_.Level;
    if (width == level.MapWidth && height == level.MapHeight) return;
    Step();
    // The old right column and bottom row stay the edges, so a closed maze
    // stays closed; the other cells that come into the maze are walls.
    const TMazeMap old = level;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            if (x >= old.MapWidth - 1 || y >= old.MapHeight - 1) SetCell(x, y, CellWall);
        }
    }
    for (int32_t y = 0; y < height; ++y)
        SetCell(width - 1, y, GetCell(old, old.MapWidth - 1, std::min(y, old.MapHeight - 1)));
    for (int32_t x = 0; x < width; ++x)
        SetCell(x, height - 1, GetCell(old, std::min(x, old.MapWidth - 1), old.MapHeight - 1));
    for (int32_t y = -1; y <= MaxMapHeight; ++y) {
        for (int32_t x = -1; x <= MaxMapWidth; ++x) {
            const bool ring = x == -1 || y == -1 || x == width || y == height;
            const bool beyond = x > width || y > height;
            if ((ring || beyond) && x + 1 < MapColumns && y + 1 < MapRows)
                level.Map[y + 1][x + 1] = CellEmpty;
        }
    }
    level.MapWidth = width;
    level.MapHeight = height;
    const auto keepInside = [&](TPoint& point) {
        point.X = std::min(point.X, width - 1);
        point.Y = std::min(point.Y, height - 1);
    };
    keepInside(level.PlayerPoint);
    keepInside(level.KeyPoint);
    for (TPoint& start : level.MonsterPoint) keepInside(start);
}

void TLevelEditor::SetMonsterCount(TMonsterKind kind, int32_t count) {
    count = std::clamp(count, 0, kMaxMonsters);
    if (count == draft_.Level.MonsterCount[kind]) return;
    Step();
    draft_.Level.MonsterCount[kind] = count;
}

void TLevelEditor::SetBonusLevel(int32_t bonusLevel) {
    bonusLevel = std::clamp(bonusLevel, 0, kMaxBonusLevel);
    if (bonusLevel == draft_.Level.BonusLevel) return;
    Step();
    draft_.Level.BonusLevel = bonusLevel;
}

void TLevelEditor::SetKeyExists(bool exists) {
    if (exists == (draft_.Level.KeyExist != 0)) return;
    Step();
    draft_.Level.KeyExist = exists ? 1 : 0;
}

bool TLevelEditor::Undo() {
    if (undo_.empty()) return false;
    report_.reset();
    redo_.push_back(std::move(draft_));
    draft_ = std::move(undo_.back());
    undo_.pop_back();
    return true;
}

bool TLevelEditor::Redo() {
    if (redo_.empty()) return false;
    report_.reset();
    undo_.push_back(std::move(draft_));
    draft_ = std::move(redo_.back());
    redo_.pop_back();
    return true;
}

}  // namespace editor

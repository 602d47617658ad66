// The editor's model: one level being changed by painting, filling,
// mirroring and header edits, each an undoable step. The screen draws it and
// turns clicks and keys into these calls; nothing here knows pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "editor/draft.h"
#include "game/level_check.h"

namespace editor {

// What a click puts on a cell: a cell code, or a start cell.
struct TBrush {
    enum class TKind : uint8_t { Cell, Hero, Monster, Key };
    TKind Kind = TKind::Cell;
    int32_t Code = game::CellWall;                  // for Cell
    game::TMonsterKind Monster = game::mkOrdinary;  // for Monster

    bool operator==(const TBrush&) const = default;
};

// Every brush, in the palette's order, with its name.
struct TPaletteEntry {
    TBrush Brush;
    const char* Name;
};
const std::vector<TPaletteEntry>& Palette();

class TLevelEditor {
public:
    // Steps kept for undo; the oldest go beyond this.
    static constexpr size_t kMaxUndo = 5000;

    explicit TLevelEditor(TDraft draft) : draft_(std::move(draft)) {}

    const TDraft& Draft() const { return draft_; }
    const game::TLevel& Level() const { return draft_.Level; }
    bool Inside(int32_t x, int32_t y) const;

    // A stroke (a click, or a drag until the button is let go) is one step.
    void BeginStroke();
    void Paint(int32_t x, int32_t y, const TBrush& brush);
    void EndStroke();
    // The rectangle between two corners, with a cell brush, as one step.
    void Fill(int32_t x0, int32_t y0, int32_t x1, int32_t y1, const TBrush& brush);
    // The left half copied, mirrored, onto the right half.
    void MirrorLeftRight();

    // Header values, each one step; out-of-range values are clamped.
    void SetName(const std::string& name);
    void SetTheme(const std::string& theme);
    void Resize(int32_t width, int32_t height);
    void SetMonsterCount(game::TMonsterKind kind, int32_t count);
    void SetBonusLevel(int32_t bonusLevel);
    void SetKeyExists(bool exists);

    bool Undo();
    bool Redo();
    size_t UndoSteps() const { return undo_.size(); }
    size_t RedoSteps() const { return redo_.size(); }

    // What the level checker finds in the level as it stands; checked once
    // after each change, however often the screen asks.
    const game::LevelReport& Check() const;

private:
    // Keeps the level as it is for undo, unless a stroke already did.
    void Step();
    void SetCell(int32_t x, int32_t y, int32_t code) { draft_.Level.Map[y + 1][x + 1] = code; }

    TDraft draft_;
    std::deque<TDraft> undo_, redo_;
    mutable std::optional<game::LevelReport> report_;
    bool inStroke_ = false;
    bool strokeChanged_ = false;
};

}  // namespace editor

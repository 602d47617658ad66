// What the editor screen keeps between its visits and across a test-play:
// the level being made with its undo history, where it belongs, and where
// the cursor, the brush and the side panel stand.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "editor/level_editor.h"
#include "game/level.h"

namespace shell {

// The side panel's header values, in the panel's order.
enum class THeaderField : uint8_t { Name, Width, Height, Monsters, Bosses, Ghosts, Bonus, Theme, Count };

struct TEditorSession {
    // The set the level belongs to (a folder of the player's sets, with its
    // trailing separator) and the level's number there.
    std::string SetFolder;
    int32_t LevelNumber = 1;
    std::unique_ptr<editor::TLevelEditor> Editor;
    game::TPoint Cursor{1, 1};
    size_t Brush = 0;  // in the palette
    std::optional<game::TPoint> FillMark;
    THeaderField Field = THeaderField::Name;
    bool EditingName = false;
    bool Painting = false;  // the pointer is held down on the maze
    std::string Status;     // the last thing done, for the status line
    std::string Estimate;   // how hard the bot found the level, when asked
    bool Estimating = false;
    // A test-play is under way: the editor comes back when its game ends.
    bool TestPlaying = false;
};

}  // namespace shell

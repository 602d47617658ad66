// A level as the editor holds it: the game's own level and the one key the
// game does not read (the theme its background picture is drawn in), with
// the level file's text both ways.
#pragma once

#include <optional>
#include <string>

#include "game/level.h"

namespace editor {

struct TDraft {
    game::TLevel Level;
    std::string Theme;
};

// A new level of the given size: walls round the edge, dots inside, the
// hero at the bottom and one monster of each ordinary kind at the top.
TDraft BlankDraft(int32_t width, int32_t height);

// The level file for a draft, its keys in the order the shipped levels use:
// a shipped level read and written again gives the same bytes.
std::string LevelFileText(const TDraft& draft);

// The draft a level file's text holds; nullopt when the game would refuse it.
std::optional<TDraft> ReadDraft(const std::string& text);

}  // namespace editor

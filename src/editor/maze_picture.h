// A background picture for a level that came without one (a level made in
// the editor or a shared set): the maze's walls drawn in the colours of the
// level's theme, as a BMP file the game loads like the shipped pictures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/level.h"

namespace editor {

// The themes the editor offers; another name is drawn in the first.
const std::vector<std::string>& ThemeNames();

std::vector<uint8_t> MazePictureBmp(const game::TLevel& level, const std::string& theme);

}  // namespace editor

// A level set's files on disk and in a pack: the shipped set keeps its
// levels in Levels/ and its tunes in Music/, a set of the player's keeps
// all of them in one folder (levels/<name>/ of the user's data).
#pragma once

#include <string>
#include <vector>

#include "formats/level_pack.h"

namespace game {

// Every file of the set a pack carries, read from its folders.
std::vector<formats::TPackEntry> ReadSetFiles(const std::string& levelsFolder,
                                              const std::string& musicFolder);

// A pack's levels as the game would read them: the first problem in the
// game's words, or empty. A set needs Level01.map and no gap in the numbers.
std::string CheckSetLevels(const std::vector<formats::TPackEntry>& entries);

// Writes a pack's files as the set in `folder`, replacing a set there as a
// whole; false when it could not be written (the old set is then kept).
bool WriteSetFolder(const std::vector<formats::TPackEntry>& entries, const std::string& folder);

}  // namespace game

// A level set made ready to play: a folder as it is, or a shared pack
// written into the player's sets, checked with the game's own level reader
// first, and each level given a background picture when it has none.
#pragma once

#include <cstdint>
#include <string>

namespace editor {

struct TOpenedSet {
    std::string Folder;  // with its trailing separator; empty on failure
    std::string Name;
    std::string Problem;    // the game's words for what is wrong
    bool Imported = false;  // written from a pack just now
    int32_t Levels = 0;
};

// `dirOrPack`: a folder of LevelNN.map files, or a .mnl pack, which is
// written into `setsFolder` + its own name.
TOpenedSet OpenLevelSet(const std::string& dirOrPack, const std::string& setsFolder);

// Draws the picture of every level of the folder that has none; false when
// one could not be written.
bool MakeMissingPictures(const std::string& folder);

}  // namespace editor

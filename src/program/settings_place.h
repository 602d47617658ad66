// An installed game's directory is read-only: its settings and high scores
// then live in the user's data directory, the settings starting as a copy
// of the shipped ones. A portable build directory keeps them beside the
// executable.
#pragma once

#include <string>

namespace program {

// Whether a file can be created in the directory (ending with a separator).
bool CanWriteInto(const std::string& directory);

// Both directories end with a separator; the result does too.
std::string ChooseSettingsDirectory(const std::string& programDir, const std::string& userDir,
                                    bool programDirWritable);

}  // namespace program

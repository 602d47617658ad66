// An installed game's directory is read-only: its settings and high scores
// then live in the user's data directory, the settings starting as a copy
// of the shipped ones. A portable build directory keeps them beside the
// executable.
#pragma once

#include <string>

namespace program {

// The program directory: the executable's own when it holds the settings
// file (a build directory or a portable copy), else the installed data
// directory, `installedData` relative to the executable's, when that holds
// it. Without either the executable's directory stays, and reading the
// settings reports what is missing.
std::string FindProgramDirectory(const std::string& executableDir, const std::string& installedData);

// Whether a file can be created in the directory (ending with a separator).
bool CanWriteInto(const std::string& directory);

// Both directories end with a separator; the result does too.
std::string ChooseSettingsDirectory(const std::string& programDir, const std::string& userDir,
                                    bool programDirWritable);

}  // namespace program

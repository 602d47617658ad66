// Files as the game names them: paths may use backslashes, as the game's
// data was written for a desktop that uses them; they become slashes here.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace formats {

// Turns backslashes into slashes and folds doubled separators.
std::string NativePath(const std::string& path);

bool FileExists(const std::string& path);

// Lines without their endings; a file written with CR LF reads the same.
std::vector<std::string> SplitLines(const std::string& text);

// Names of the entries of a directory (files and directories) that match a
// wildcard such as "*.mid", compared without regard to case, sorted by name.
// A missing directory gives none.
std::vector<std::string> FindFiles(const std::string& directory, const std::string& pattern);

std::optional<std::vector<uint8_t>> ReadFileBytes(const std::string& path);

// Writes a temporary file beside the target and renames it over the target,
// so a failed write leaves the old file as it was. A target without write
// permission is left alone and counts as a failed write.
bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes);

// The folder as a whole path from the root, with its trailing separator.
std::string AbsoluteFolder(const std::string& folder);

// Makes the directory and those above it; true when it exists afterwards.
bool MakeDirectories(const std::string& path);
// Removes a file; false when it could not be removed.
bool RemoveFile(const std::string& path);

// Runs after each file written or removed: where the file system lives in memory (the
// browser), this is when the file is copied to lasting storage.
void SetWriteObserver(std::function<void()> observer);

// The directory of the running executable, with a trailing slash.
std::string ExecutableDirectory();

}  // namespace formats

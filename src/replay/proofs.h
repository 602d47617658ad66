// Which levels of a set can be cleared: each level's proof (the recording of
// a clear, made by the editor's test-play on the level alone) played again
// by the headless runner on that level alone. The result is kept in the
// set's folder for the Levels screen, and never shared with the set.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace replay {

constexpr const char* kProvenFile = "proven.txt";

// The numbers of the proven levels, checked now with `runner`; they are
// written to the set's kProvenFile too.
std::vector<int32_t> CheckProofs(const std::string& setFolder, const std::string& programDir,
                                 const std::string& runner);

// "levels 1, 3 of 4 are proven", or that none is.
std::string DescribeProofs(const std::vector<int32_t>& proven, int32_t levels);

}  // namespace replay

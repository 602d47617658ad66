// One file for a whole level set, to share it: the set's files (levels,
// their pictures and proofs, tunes) one after another with a checksum at
// the end (docs/level-set-format.md). A pack comes from strangers: every
// size is capped and only names a level set holds are accepted, so nothing
// read from one can be written outside the set's folder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace formats {

constexpr size_t kMaxPackEntries = 256;
constexpr size_t kMaxPackEntryBytes = 4u << 20;
constexpr size_t kMaxPackBytes = 32u << 20;

struct TPackEntry {
    std::string Name;
    std::vector<uint8_t> Bytes;

    bool operator==(const TPackEntry&) const = default;
};

// LevelNN.map, LevelNN.bmp, LevelNN.mnr (NN 01 to 999), a tune NAME.mid of
// letters, digits, '-' and '_', and set.ini: nothing with a path in it.
bool IsLevelSetFileName(const std::string& name);

// The entries in the order of their names; each name must be a set's.
std::vector<uint8_t> EncodeLevelPack(std::vector<TPackEntry> entries);

enum class TPackFault : uint8_t { None, NotAPack, UnknownVersion, Damaged, TooLarge, BadName };

// Fills `entries` only when the whole pack is sound.
TPackFault DecodeLevelPack(const std::vector<uint8_t>& bytes, std::vector<TPackEntry>& entries);

// The game's words for a fault.
std::string DescribePackFault(TPackFault fault);

}  // namespace formats

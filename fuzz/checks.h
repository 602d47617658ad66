// The work of each fuzzer on one input, shared with the regression tests so
// a saved crashing input goes through exactly the same calls there.
// Each returns nullptr when every check held, or the check that failed.
#pragma once

#include <cstddef>
#include <cstdint>

namespace fuzz {

// The INI reader on the input as text, then a write and the text round trip.
const char* CheckIni(const uint8_t* data, size_t size);
// The level reader on the input as a level file, then the grid readers.
const char* CheckLevel(const uint8_t* data, size_t size);
// The high-score loader on the input as a file, then Insert, Save and Load.
const char* CheckHighScores(const uint8_t* data, size_t size);
// The replay reader on the input as a file, with and without its checksum,
// then writing what it read and reading that again; and the input as a
// stream of event records, written anew and read again.
const char* CheckReplay(const uint8_t* data, size_t size);
// The level-set pack reader on the input; what it accepts is written again
// to the same bytes, holds only a set's names, and its levels are checked.
const char* CheckLevelPack(const uint8_t* data, size_t size);

}  // namespace fuzz

// The table of the seven best results and its file "Munchora.hsc".
//
// File format: the entries in use, best first, one 40-byte record after
// another, no header. A record: name length (1 byte, 0 to 20), the name
// padded with zeros to 20 bytes, 3 zero bytes, then Score, Monsters, Bonuses
// and Level as signed 32-bit little-endian numbers.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "game/globals.h"

namespace game {

class THighScoresCollection {
public:
    static constexpr int32_t MaxEntries = 7;
    static constexpr size_t NameLength = 20;
    static constexpr size_t RecordSize = 40;

    // Entries[0] to Entries[Count - 1] are in use, highest score first after
    // every Insert; names hold at most 20 characters.
    std::array<THighScoreRecord, MaxEntries> Entries;
    int32_t Count = 0;

    // Replaces the table with the file's records. A file that cannot be read
    // leaves the table as it was and gives false. A damaged file is read
    // safely: whole records only, at most seven, name lengths above 20 taken
    // as 20.
    bool Load(const std::string& path);
    // Replaces the file as a whole; false (old file untouched) when it cannot
    // be written.
    bool Save(const std::string& path) const;

    // Whether a result with `score` would enter the table.
    bool Qualifies(int32_t score) const;
    // Stores a copy of the record (its name cut to 20 characters) and
    // re-sorts the table. A full table drops its last entry for a record
    // with a higher score, or keeps the record out.
    void Insert(const THighScoreRecord& record);
};

}  // namespace game

#include "game/high_scores.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "formats/files.h"

namespace game {

namespace {

constexpr size_t kScoreOffset = 24;

int32_t ReadInt32(const uint8_t* p) {
    return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}

void WriteInt32(uint8_t* p, int32_t value) {
    const uint32_t v = uint32_t(value);
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

std::string CutName(const std::string& name) {
    return name.substr(0, std::min(name.size(), THighScoresCollection::NameLength));
}

}  // namespace

bool THighScoresCollection::Load(const std::string& path) {
    const auto bytes = formats::ReadFileBytes(path);
    if (!bytes) return false;
    // A trailing partial record and records beyond the seventh are ignored.
    Count = int32_t(std::min(bytes->size() / RecordSize, size_t(MaxEntries)));
    for (int32_t i = 0; i < Count; ++i) {
        const uint8_t* record = bytes->data() + size_t(i) * RecordSize;
        const size_t length = std::min(size_t(record[0]), NameLength);
        THighScoreRecord& entry = Entries[size_t(i)];
        entry.Name.assign(reinterpret_cast<const char*>(record + 1), length);
        entry.Score = ReadInt32(record + kScoreOffset);
        entry.Monsters = ReadInt32(record + kScoreOffset + 4);
        entry.Bonuses = ReadInt32(record + kScoreOffset + 8);
        entry.Level = ReadInt32(record + kScoreOffset + 12);
    }
    return true;
}

bool THighScoresCollection::Save(const std::string& path) const {
    // Padding and reserved bytes are written as zeros.
    std::vector<uint8_t> bytes(size_t(Count) * RecordSize, 0);
    for (int32_t i = 0; i < Count; ++i) {
        uint8_t* record = bytes.data() + size_t(i) * RecordSize;
        const THighScoreRecord& entry = Entries[size_t(i)];
        const std::string name = CutName(entry.Name);
        record[0] = uint8_t(name.size());
        std::copy(name.begin(), name.end(), record + 1);
        WriteInt32(record + kScoreOffset, entry.Score);
        WriteInt32(record + kScoreOffset + 4, entry.Monsters);
        WriteInt32(record + kScoreOffset + 8, entry.Bonuses);
        WriteInt32(record + kScoreOffset + 12, entry.Level);
    }
    return formats::WriteFileAtomically(path, bytes);
}

bool THighScoresCollection::Qualifies(int32_t score) const {
    if (Count < MaxEntries) return true;
    return std::any_of(Entries.begin(), Entries.begin() + Count,
                       [score](const THighScoreRecord& e) { return e.Score < score; });
}

void THighScoresCollection::Insert(const THighScoreRecord& record) {
    THighScoreRecord copy = record;
    copy.Name = CutName(copy.Name);
    if (Count < MaxEntries) {
        Entries[size_t(Count++)] = std::move(copy);
    } else {
        // The first strictly lower score: a record ties in after its equals.
        int32_t i = 0;
        while (i < Count && Entries[size_t(i)].Score >= copy.Score) ++i;
        if (i < Count) {
            for (int32_t k = Count - 1; k > i; --k) Entries[size_t(k)] = std::move(Entries[size_t(k - 1)]);
            Entries[size_t(i)] = std::move(copy);
        }
    }
    // This exact exchange sort decides the order of equal scores.
    for (int32_t i = 0; i < Count - 1; ++i) {
        for (int32_t j = i + 1; j < Count; ++j) {
            if (Entries[size_t(i)].Score < Entries[size_t(j)].Score)
                std::swap(Entries[size_t(i)], Entries[size_t(j)]);
        }
    }
}

}  // namespace game

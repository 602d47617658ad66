#include "formats/level_pack.h"

#include <algorithm>
#include <cstring>

#include "formats/checksum.h"

namespace formats {

namespace {

constexpr char kMagic[4] = {'M', 'N', 'L', 'S'};
constexpr uint16_t kVersion = 1;
constexpr size_t kMaxNameLength = 44;

void PutLittle(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(value >> (8 * i)));
}

uint32_t Little(const uint8_t* at, int bytes) {
    uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) value |= uint32_t(at[i]) << (8 * i);
    return value;
}

bool AllOf(const std::string& text, size_t from, size_t to, bool (*allowed)(char)) {
    for (size_t i = from; i < to; ++i) {
        if (!allowed(text[i])) return false;
    }
    return true;
}

bool Digit(char c) { return c >= '0' && c <= '9'; }
bool TuneLetter(char c) {
    return Digit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-' || c == '_';
}

}  // namespace

bool IsLevelSetFileName(const std::string& name) {
    if (name.empty() || name.size() > kMaxNameLength) return false;
    if (name == "set.ini") return true;
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos) return false;
    const std::string stem = name.substr(0, dot), kind = name.substr(dot);
    if (kind == ".mid") return AllOf(stem, 0, stem.size(), TuneLetter) && !stem.empty();
    if (kind != ".map" && kind != ".bmp" && kind != ".mnr") return false;
    // Level01 .. Level999, as the game numbers its level files.
    if (stem.size() < 7 || stem.size() > 8 || stem.compare(0, 5, "Level") != 0) return false;
    if (!AllOf(stem, 5, stem.size(), Digit)) return false;
    return stem.size() == 7 || stem[5] != '0';
}

std::vector<uint8_t> EncodeLevelPack(std::vector<TPackEntry> entries) {
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.Name < b.Name; });
    std::vector<uint8_t> out(kMagic, kMagic + sizeof kMagic);
    PutLittle(out, kVersion, 2);
    PutLittle(out, uint32_t(entries.size()), 4);
    for (const TPackEntry& entry : entries) {
        PutLittle(out, uint32_t(entry.Name.size()), 2);
        out.insert(out.end(), entry.Name.begin(), entry.Name.end());
        PutLittle(out, uint32_t(entry.Bytes.size()), 4);
        out.insert(out.end(), entry.Bytes.begin(), entry.Bytes.end());
    }
    PutLittle(out, Crc32(out.data(), out.size()), 4);
    return out;
}

TPackFault DecodeLevelPack(const std::vector<uint8_t>& bytes, std::vector<TPackEntry>& entries) {
    constexpr size_t kHead = sizeof kMagic + 2 + 4;
    if (bytes.size() < kHead + 4 || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0)
        return TPackFault::NotAPack;
    if (Little(bytes.data() + 4, 2) != kVersion) return TPackFault::UnknownVersion;
    if (bytes.size() > kMaxPackBytes) return TPackFault::TooLarge;
    const size_t body = bytes.size() - 4;
    if (Crc32(bytes.data(), body) != Little(bytes.data() + body, 4)) return TPackFault::Damaged;
    const uint32_t count = Little(bytes.data() + 6, 4);
    if (count > kMaxPackEntries) return TPackFault::TooLarge;
    std::vector<TPackEntry> read;
    size_t at = kHead;
    for (uint32_t i = 0; i < count; ++i) {
        if (body - at < 2) return TPackFault::Damaged;
        const size_t nameLength = Little(bytes.data() + at, 2);
        at += 2;
        if (body - at < nameLength + 4) return TPackFault::Damaged;
        TPackEntry entry;
        entry.Name.assign(reinterpret_cast<const char*>(bytes.data() + at), nameLength);
        at += nameLength;
        const size_t size = Little(bytes.data() + at, 4);
        at += 4;
        if (!IsLevelSetFileName(entry.Name)) return TPackFault::BadName;
        if (size > kMaxPackEntryBytes) return TPackFault::TooLarge;
        if (body - at < size) return TPackFault::Damaged;
        // Each name once, in order: the writer's order, and no file twice.
        if (!read.empty() && !(read.back().Name < entry.Name)) return TPackFault::Damaged;
        entry.Bytes.assign(bytes.begin() + ptrdiff_t(at), bytes.begin() + ptrdiff_t(at + size));
        at += size;
        read.push_back(std::move(entry));
    }
    if (at != body) return TPackFault::Damaged;
    entries = std::move(read);
    return TPackFault::None;
}

std::string DescribePackFault(TPackFault fault) {
    switch (fault) {
        case TPackFault::None: return "";
        case TPackFault::NotAPack: return "This file is not a Munchora level set";
        case TPackFault::UnknownVersion: return "This level set was made by another version of Munchora";
        case TPackFault::Damaged: return "This level set file is damaged";
        case TPackFault::TooLarge: return "This level set is too large";
        case TPackFault::BadName: return "This level set holds a file no level set may hold";
    }
    return "";
}

}  // namespace formats

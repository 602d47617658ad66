#include "replay/replay_file.h"

#include <array>
#include <cstring>

#include "formats/checksum.h"
#include "formats/files.h"
#include "formats/ini_file.h"
#include "game/high_scores.h"
#include "replay/event_record.h"

namespace replay {

using game::TGameState;
using game::THighScoreRecord;
using game::THighScoresCollection;

namespace {

constexpr char kMagic[8] = {'M', 'N', 'C', 'H', 'R', 'P', 'L', 'Y'};
constexpr size_t kChecksumSize = 4;
// Far beyond any game: a day of play takes a few megabytes.
constexpr size_t kMaxFileSize = 64u << 20;
constexpr uint32_t kMaxFrameInterval = 1000000;
constexpr size_t kMaxMessage = 255;
// The run token, the player's name (at most a high-score name) and id.
constexpr size_t kMaxToken = 200;
constexpr size_t kMaxPlayerId = 64;

bool KnownVersion(uint64_t version) { return version == kReplayVersion || version == kOnlineReplayVersion; }
constexpr uint8_t kWordDebug = 1, kWordNoMidi = 2, kWordNoSound = 4;

// 64-bit FNV-1a.
class Digest {
public:
    void Add(const uint8_t* data, size_t size) {
        for (size_t i = 0; i < size; ++i) value_ = (value_ ^ data[i]) * 0x100000001B3ull;
    }
    // A string with its end, so that "ab" + "c" differs from "a" + "bc".
    void Add(const std::string& text) {
        Add(reinterpret_cast<const uint8_t*>(text.data()), text.size());
        const uint8_t end = 0;
        Add(&end, 1);
    }
    uint64_t Value() const { return value_; }

private:
    uint64_t value_ = 0xCBF29CE484222325ull;
};

// ---- writing ---------------------------------------------------------------

class Writer {
public:
    void Bytes(const void* data, size_t size) {
        const auto* p = static_cast<const uint8_t*>(data);
        out.insert(out.end(), p, p + size);
    }
    void U8(uint8_t value) { out.push_back(value); }
    void Fixed(uint64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(value >> (8 * i)));
    }
    void Unsigned(uint64_t value) {
        while (value >= 0x80) {
            out.push_back(uint8_t(value | 0x80));
            value >>= 7;
        }
        out.push_back(uint8_t(value));
    }
    void Signed(int32_t value) { Unsigned((uint32_t(value) << 1) ^ uint32_t(value >> 31)); }
    void Text(const std::string& text) {
        Unsigned(text.size());
        Bytes(text.data(), text.size());
    }

    std::vector<uint8_t> out;
};

// ---- reading ---------------------------------------------------------------

// Reads fields in order; the first that does not fit stops it for good.
class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool Ok() const { return ok_; }
    bool AtEnd() const { return pos_ == size_; }

    uint8_t U8() {
        if (!ok_ || pos_ >= size_) return Fail();
        return data_[pos_++];
    }
    uint64_t Fixed(int bytes) {
        uint64_t value = 0;
        for (int i = 0; i < bytes; ++i) value |= uint64_t(U8()) << (8 * i);
        return value;
    }
    uint64_t Unsigned(int maxBits) {
        uint64_t value = 0;
        for (int shift = 0; ok_ && shift < maxBits; shift += 7) {
            const uint8_t byte = U8();
            value |= uint64_t(byte & 0x7F) << shift;
            if (!(byte & 0x80)) return maxBits < 64 && value >> maxBits ? Fail() : value;
        }
        return Fail();
    }
    int32_t Signed() {
        const uint32_t raw = uint32_t(Unsigned(32));
        return int32_t(raw >> 1) ^ -int32_t(raw & 1);
    }
    std::string Text(size_t maxLength) {
        const uint64_t length = Unsigned(32);
        if (!ok_ || length > maxLength || length > size_ - pos_) return Fail(), std::string();
        std::string text(reinterpret_cast<const char*>(data_ + pos_), size_t(length));
        pos_ += size_t(length);
        return text;
    }
    std::vector<uint8_t> Block() {
        const uint64_t length = Unsigned(32);
        if (!ok_ || length > size_ - pos_) return Fail(), std::vector<uint8_t>();
        std::vector<uint8_t> block(data_ + pos_, data_ + pos_ + size_t(length));
        pos_ += size_t(length);
        return block;
    }
    // A value that must lie in [low, high].
    template <typename T>
    T Within(uint64_t value, uint64_t low, uint64_t high) {
        if (value < low || value > high) Fail();
        return T(value);
    }
    uint8_t Fail() {
        ok_ = false;
        return 0;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    bool ok_ = true;
};

}  // namespace

void RestoreRecordedState(const TGameState& recorded, TGameState& state) {
    state.RandSeed = recorded.RandSeed;
    state.CurrentLevel = recorded.CurrentLevel;
    state.Lives = recorded.Lives;
    state.Player.Score = recorded.Player.Score;
    state.Player.Monsters = recorded.Player.Monsters;
    state.Player.Bonuses = recorded.Player.Bonuses;
    state.Player.Level = recorded.Player.Level;
    state.LastKey = recorded.LastKey;
    state.GameType = recorded.GameType;
    state.StartOptions.Debug = recorded.StartOptions.Debug;
    state.StartOptions.NoMidi = recorded.StartOptions.NoMidi;
    state.StartOptions.NoSound = recorded.StartOptions.NoSound;
}

std::vector<uint8_t> EncodeReplay(const TReplay& replay) {
    Writer w;
    const TReplayStart& s = replay.Start;
    w.Bytes(kMagic, sizeof kMagic);
    w.Fixed(replay.Online.Present() ? kOnlineReplayVersion : kReplayVersion, 2);
    w.Unsigned(uint64_t(s.RecordedAt));
    w.Fixed(s.LevelsDigest, 8);
    w.Fixed(s.CatalogueDigest, 8);
    const TGameState& state = s.Game;
    const game::TStartOptions& words = state.StartOptions;
    w.U8(uint8_t(state.GameType));
    w.Unsigned(s.FrameInterval);
    w.U8(uint8_t((words.Debug ? kWordDebug : 0) | (words.NoMidi ? kWordNoMidi : 0) |
                 (words.NoSound ? kWordNoSound : 0)));
    w.Fixed(state.RandSeed, 4);
    const THighScoreRecord& p = state.Player;
    for (const int32_t value : {state.CurrentLevel, state.Lives, p.Score, p.Monsters, p.Bonuses, p.Level})
        w.Signed(value);
    w.Unsigned(state.LastKey);
    w.Signed(s.MainTickCount);
    w.Unsigned(s.InputStates);
    w.Unsigned(s.InputSuppressed);
    w.Text(s.MessageText.substr(0, kMaxMessage));
    w.Signed(s.MessageFrames);
    w.Unsigned(s.StartKey);
    w.U8(s.StartShift);
    w.Fixed(s.StartTime, 4);

    w.Unsigned(replay.Events.size());
    w.Bytes(replay.Events.data(), replay.Events.size());

    const TGameResult& r = replay.Result;
    w.U8(uint8_t(r.End));
    for (const int32_t value : {r.Score, r.Level, r.Lives, r.Monsters, r.Bonuses, r.CurrentLevel})
        w.Signed(value);
    w.U8(uint8_t(r.HighScoreRank));
    w.U8(uint8_t(r.TableScores.size()));
    for (const int32_t score : r.TableScores) w.Signed(score);

    w.U8(replay.Entry.Present ? 1 : 0);
    if (replay.Entry.Present) {
        w.Text(replay.Entry.Name.substr(0, THighScoresCollection::NameLength));
        w.Signed(replay.Entry.Score);
        w.Unsigned(uint64_t(replay.Entry.Date));
    }
    if (replay.Online.Present()) {
        w.Text(replay.Online.Token.substr(0, kMaxToken));
        w.Text(replay.Online.PlayerName.substr(0, THighScoresCollection::NameLength));
        w.Text(replay.Online.PlayerId.substr(0, kMaxPlayerId));
    }
    w.Fixed(formats::Crc32(w.out.data(), w.out.size()), 4);
    return std::move(w.out);
}

TReplayFault DecodeReplayFields(const uint8_t* data, size_t size, TReplay& replay) {
    if (size < sizeof kMagic || std::memcmp(data, kMagic, sizeof kMagic) != 0)
        return TReplayFault::NotAReplay;
    Reader r(data + sizeof kMagic, size - sizeof kMagic);
    const uint64_t version = r.Fixed(2);
    if (!r.Ok()) return TReplayFault::Damaged;
    if (!KnownVersion(version)) return TReplayFault::UnknownVersion;

    TReplay out;
    TReplayStart& s = out.Start;
    s.RecordedAt = int64_t(r.Unsigned(63));
    s.LevelsDigest = r.Fixed(8);
    s.CatalogueDigest = r.Fixed(8);
    TGameState& state = s.Game;
    state.GameType = r.Within<game::TGameType>(r.U8(), game::gtClassic, game::gtFeatures);
    s.FrameInterval = r.Within<uint32_t>(r.Unsigned(32), 0, kMaxFrameInterval);
    const uint8_t words = r.Within<uint8_t>(r.U8(), 0, kWordDebug | kWordNoMidi | kWordNoSound);
    state.StartOptions.Debug = words & kWordDebug;
    state.StartOptions.NoMidi = words & kWordNoMidi;
    state.StartOptions.NoSound = words & kWordNoSound;
    state.RandSeed = uint32_t(r.Fixed(4));
    THighScoreRecord& p = state.Player;
    for (int32_t* value : {&state.CurrentLevel, &state.Lives, &p.Score, &p.Monsters, &p.Bonuses, &p.Level}) {
        *value = r.Signed();
    }
    state.LastKey = r.Within<uint16_t>(r.Unsigned(32), 0, 0xFFFF);
    s.MainTickCount = r.Signed();
    s.InputStates = uint32_t(r.Unsigned(32));
    s.InputSuppressed = uint32_t(r.Unsigned(32));
    s.MessageText = r.Text(kMaxMessage);
    s.MessageFrames = r.Signed();
    s.StartKey = r.Within<uint16_t>(r.Unsigned(32), 0, 0xFFFF);
    s.StartShift = r.Within<uint8_t>(r.U8(), 0, 7);
    s.StartTime = uint32_t(r.Fixed(4));

    out.Events = r.Block();

    TGameResult& result = out.Result;
    result.End = r.Within<TGameEnd>(r.U8(), uint8_t(TGameEnd::GameOver), uint8_t(TGameEnd::Closed));
    for (int32_t* value : {&result.Score, &result.Level, &result.Lives, &result.Monsters, &result.Bonuses,
                           &result.CurrentLevel}) {
        *value = r.Signed();
    }
    result.HighScoreRank = r.Within<int32_t>(r.U8(), 0, THighScoresCollection::MaxEntries);
    const uint8_t scores = r.Within<uint8_t>(r.U8(), 0, THighScoresCollection::MaxEntries);
    for (uint8_t i = 0; i < scores && r.Ok(); ++i) result.TableScores.push_back(r.Signed());

    const uint8_t entry = r.Within<uint8_t>(r.U8(), 0, 1);
    if (entry) {
        out.Entry.Present = true;
        out.Entry.Name = r.Text(THighScoresCollection::NameLength);
        out.Entry.Score = r.Signed();
        out.Entry.Date = int64_t(r.Unsigned(63));
    }
    if (version == kOnlineReplayVersion) {
        out.Online.Token = r.Text(kMaxToken);
        out.Online.PlayerName = r.Text(THighScoresCollection::NameLength);
        out.Online.PlayerId = r.Text(kMaxPlayerId);
        if (!out.Online.Present()) return TReplayFault::Damaged;
    }
    if (!r.Ok() || !r.AtEnd()) return TReplayFault::Damaged;
    if (!EventsAreWhole(out.Events, s.StartTime, s.FrameInterval)) return TReplayFault::Damaged;
    replay = std::move(out);
    return TReplayFault::None;
}

TReplayFault DecodeReplay(const std::vector<uint8_t>& bytes, TReplay& replay) {
    if (bytes.size() < sizeof kMagic || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) {
        return TReplayFault::NotAReplay;
    }
    if (bytes.size() < sizeof kMagic + 2 + kChecksumSize) return TReplayFault::Damaged;
    const size_t body = bytes.size() - kChecksumSize;
    const uint32_t stored = uint32_t(bytes[body]) | uint32_t(bytes[body + 1]) << 8 |
                            uint32_t(bytes[body + 2]) << 16 | uint32_t(bytes[body + 3]) << 24;
    // A file of another version may lay out its fields otherwise, but its
    // version stands where ours does.
    const uint16_t version = uint16_t(bytes[sizeof kMagic] | bytes[sizeof kMagic + 1] << 8);
    if (!KnownVersion(version)) return TReplayFault::UnknownVersion;
    if (formats::Crc32(bytes.data(), body) != stored) return TReplayFault::Damaged;
    return DecodeReplayFields(bytes.data(), body, replay);
}

TReplayFault ReadReplayFile(const std::string& path, TReplay& replay) {
    const auto bytes = formats::ReadFileBytes(path);
    if (!bytes) return TReplayFault::CantOpen;
    if (bytes->size() > kMaxFileSize) return TReplayFault::Damaged;
    return DecodeReplay(*bytes, replay);
}

uint64_t LevelsDigest(const std::string& programDir) {
    return LevelsDigest(programDir + "Levels/", programDir + "Music/");
}

uint64_t LevelsDigest(const std::string& levels, const std::string& music) {
    Digest digest;
    for (const std::string& name : formats::FindFiles(levels, "*.map")) {
        digest.Add(name);
        const auto bytes = formats::ReadFileBytes(levels + name);
        if (bytes) digest.Add(bytes->data(), bytes->size());
        digest.Add(bytes ? "read" : "unreadable");
    }
    digest.Add("music");
    for (const std::string& name : formats::FindFiles(music, "*.mid")) digest.Add(name);
    return digest.Value();
}

uint64_t CatalogueDigest(const std::string& programDir) {
    Digest digest;
    const auto ini = formats::IniFile::Load(programDir + "Munchora.ini");
    if (!ini) return digest.Value();
    for (const std::string& section : ini->SectionNames()) {
        std::string lower;
        for (char c : section) lower += char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        if (lower.rfind("scene", 0) != 0 && lower != "sounds") continue;
        digest.Add(lower);
        for (const std::string& key : ini->ReadSectionKeys(section)) {
            digest.Add(key);
            digest.Add(ini->ReadString(section, key, ""));
        }
    }
    return digest.Value();
}

int32_t HighScoreRank(const std::vector<int32_t>& tableScores, int32_t score) {
    THighScoresCollection table;
    for (const int32_t entry : tableScores) {
        if (table.Count == THighScoresCollection::MaxEntries) break;
        table.Entries[size_t(table.Count++)].Score = entry;
    }
    if (!table.Qualifies(score)) return 0;
    THighScoreRecord result;
    result.Name = "\x01";  // no loaded entry has a name
    result.Score = score;
    table.Insert(result);
    for (int32_t i = 0; i < table.Count; ++i) {
        if (table.Entries[size_t(i)].Name == result.Name) return i + 1;
    }
    return 0;
}

std::string DescribeDifference(const TGameResult& recorded, const TGameResult& replayed) {
    static const char* const kEnds[] = {"", "game over", "game complete", "quit", "window closed"};
    std::string text;
    const auto differ = [&text](const std::string& what, const std::string& now, const std::string& then) {
        if (now == then) return;
        if (!text.empty()) text += ", ";
        text += what + " " + now + " (recorded " + then + ")";
    };
    differ("end", kEnds[int(replayed.End)], kEnds[int(recorded.End)]);
    differ("score", std::to_string(replayed.Score), std::to_string(recorded.Score));
    differ("level", std::to_string(replayed.Level), std::to_string(recorded.Level));
    differ("lives", std::to_string(replayed.Lives), std::to_string(recorded.Lives));
    differ("monsters", std::to_string(replayed.Monsters), std::to_string(recorded.Monsters));
    differ("bonuses", std::to_string(replayed.Bonuses), std::to_string(recorded.Bonuses));
    differ("level number", std::to_string(replayed.CurrentLevel), std::to_string(recorded.CurrentLevel));
    differ("high-score place", std::to_string(replayed.HighScoreRank),
           std::to_string(recorded.HighScoreRank));
    if (text.empty() && replayed.TableScores != recorded.TableScores) text = "high-score table differs";
    return text;
}

}  // namespace replay

#include "checks.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "formats/ini_file.h"
#include "formats/level_pack.h"
#include "game/high_scores.h"
#include "game/level.h"
#include "game/level_sets.h"
#include "game/random.h"
#include "replay/event_record.h"
#include "replay/replay_file.h"

namespace fuzz {

namespace {

// Files per process, so parallel fuzzing jobs do not share them.
std::string TempPath(const std::string& what) {
    return "/tmp/munchora-fuzz-" + std::to_string(getpid()) + "-" + what;
}

bool WriteInput(const std::string& path, const uint8_t* data, size_t size) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

// Section names from the header lines of the input, at most a few.
std::vector<std::string> SectionsOf(const std::string& text) {
    std::vector<std::string> sections;
    size_t start = 0;
    while (start < text.size() && sections.size() < 4) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const size_t open = text.find('[', start);
        if (open < end) {
            const size_t close = text.find(']', open);
            if (close < end) sections.push_back(text.substr(open + 1, close - open - 1));
        }
        start = end + 1;
    }
    sections.push_back("General");
    return sections;
}

bool Sorted(const game::THighScoresCollection& table) {
    for (int32_t i = 1; i < table.Count; ++i) {
        if (table.Entries[size_t(i - 1)].Score < table.Entries[size_t(i)].Score) return false;
    }
    return true;
}

bool SameEvent(const replay::RecordedEvent& a, const replay::RecordedEvent& b) {
    return a.kind == b.kind && a.time == b.time && a.inputFolded == b.inputFolded &&
           a.maskChanged == b.maskChanged && (!a.maskChanged || a.mask == b.mask) && a.timer == b.timer &&
           a.key == b.key && a.shift == b.shift && a.clock == b.clock;
}

std::vector<replay::RecordedEvent> ReadEvents(const std::vector<uint8_t>& bytes, uint32_t start,
                                              uint32_t step, bool& whole) {
    std::vector<replay::RecordedEvent> events;
    replay::EventReader reader(bytes.data(), bytes.size(), start, step);
    while (const replay::RecordedEvent* event = reader.Peek()) {
        events.push_back(*event);
        reader.Pop();
    }
    whole = !reader.Failed();
    return events;
}

// The records written anew read back as the same records.
const char* CheckEventStream(const std::vector<uint8_t>& bytes, uint32_t start, uint32_t step) {
    bool whole = false;
    const std::vector<replay::RecordedEvent> events = ReadEvents(bytes, start, step, whole);
    if (!whole) return nullptr;
    replay::EventWriter writer(start, step);
    for (const replay::RecordedEvent& e : events) {
        using replay::EventKind;
        switch (e.kind) {
            case EventKind::Frame:
                writer.Frame(e.time, e.inputFolded ? std::optional<uint32_t>(e.mask) : std::nullopt,
                             e.maskChanged);
                break;
            case EventKind::Timer: writer.Timer(e.time, e.timer); break;
            case EventKind::Key: writer.Key(e.time, e.key, e.shift); break;
            case EventKind::Input: writer.Input(e.mask, e.maskChanged); break;
            case EventKind::Clock: writer.Clock(e.clock); break;
            default: writer.Plain(e.kind, e.time); break;
        }
    }
    const std::vector<replay::RecordedEvent> again = ReadEvents(writer.Bytes(), start, step, whole);
    if (!whole) return "written records read back whole";
    if (again.size() != events.size()) return "written records keep their number";
    for (size_t i = 0; i < events.size(); ++i) {
        if (!SameEvent(events[i], again[i])) return "written records read back the same";
    }
    return nullptr;
}

bool SameRecord(const game::THighScoreRecord& a, const game::THighScoreRecord& b) {
    return a.Name == b.Name && a.Score == b.Score && a.Monsters == b.Monsters && a.Bonuses == b.Bonuses &&
           a.Level == b.Level;
}

}  // namespace

const char* CheckIni(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    formats::IniFile ini = formats::IniFile::FromText(text);

    for (const std::string& section : SectionsOf(text)) {
        // A small buffer too, so the cutting of names is exercised.
        ini.ReadSectionKeys(section, size % 64);
        const std::vector<std::string> keys = ini.ReadSectionKeys(section);
        for (size_t i = 0; i < keys.size() && i < 8; ++i) {
            formats::ParseIniInteger(ini.ReadString(section, keys[i], ""));
            ini.ReadInteger(section, keys[i], -7);
        }
        if (keys.empty() || section.empty()) continue;

        // A key the reader listed must be found again after writing it, both
        // in memory and once the text is parsed anew.
        const std::string& key = keys[size % keys.size()];
        if (key.size() >= 8190) continue;  // the listing may have cut it
        ini.WriteInteger(section, key, int32_t(size));
        if (ini.ReadInteger(section, key, -1) != int32_t(size)) return "written key reads back";
        const formats::IniFile again = formats::IniFile::FromText(ini.ToText());
        if (again.ReadInteger(section, key, -1) != int32_t(size)) return "written key survives the text";
        if (again.ReadSectionKeys(section) != ini.ReadSectionKeys(section)) return "keys survive the text";
    }

    ini.WriteString("FuzzSection", "FuzzKey", "value");
    const formats::IniFile again = formats::IniFile::FromText(ini.ToText());
    if (again.ReadString("FuzzSection", "FuzzKey", "") != "value") return "new section survives the text";
    return nullptr;
}

const char* CheckLevel(const uint8_t* data, size_t size) {
    // A fixed clock keeps the draws of FindCellWithCode repeatable.
    game::SetRandomClock([] { return int64_t(12345678); });
    static const std::string path = TempPath("level.map");
    if (!WriteInput(path, data, size)) return nullptr;

    game::TLevel level;
    const game::LevelLoadResult result = game::LoadLevel(path, level);
    if (result == game::LevelLoadResult::CantOpen) return "a written file opens";

    for (int32_t y = -3; y <= level.MapHeight + 3; ++y) {
        for (int32_t x = -3; x <= level.MapWidth + 3; ++x) {
            const int32_t cell = game::GetCell(level, x, y);
            const bool beyondRing = x < -1 || y < -1 || x > level.MapWidth || y > level.MapHeight;
            if (beyondRing && cell != game::CellWall) return "beyond the ring is wall";
        }
    }
    if (result != game::LevelLoadResult::Ok) return nullptr;

    if (level.MapWidth < 1 || level.MapWidth > game::MaxMapWidth || level.MapHeight < 1 ||
        level.MapHeight > game::MaxMapHeight) {
        return "a loaded level fits the grid";
    }
    int32_t x = -5, y = -5;
    if (!game::FindCellWithCode(level, game::CellDot, x, y)) return "a loaded level has a dot";
    if (game::GetCell(level, x, y) != game::CellDot) return "the found cell is a dot";
    const int32_t code = game::GetCell(level, int32_t(size % 25), int32_t(size % 20));
    if (game::FindCellWithCode(level, code, x, y) && game::GetCell(level, x, y) != code) {
        return "the found cell has the code";
    }
    return nullptr;
}

const char* CheckHighScores(const uint8_t* data, size_t size) {
    static const std::string input = TempPath("in.hsc");
    static const std::string output = TempPath("out.hsc");
    if (!WriteInput(input, data, size)) return nullptr;

    game::THighScoresCollection table;
    if (!table.Load(input)) return "a written file loads";
    const int32_t loaded = table.Count;
    if (loaded != int32_t(std::min<size_t>(size / 40, 7))) return "whole records only, at most seven";
    for (int32_t i = 0; i < table.Count; ++i) {
        if (table.Entries[size_t(i)].Name.size() > 20) return "loaded names are at most 20";
    }

    // The inserted result's score comes from the input's last bytes.
    game::THighScoreRecord record;
    record.Name = "Fuzzer with a name longer than twenty";
    if (size >= 4) std::memcpy(&record.Score, data + size - 4, 4);
    const bool qualifies = table.Qualifies(record.Score);
    table.Insert(record);
    if (table.Count != std::min(loaded + 1, 7)) return "Insert count";
    // Insert sorts the whole table, even the records of an unsorted file.
    if (!Sorted(table)) return "Insert order";
    bool present = false;
    for (int32_t i = 0; i < table.Count; ++i) {
        const game::THighScoreRecord& e = table.Entries[size_t(i)];
        if (e.Name.size() > 20) return "inserted names are at most 20";
        present = present || (e.Name == "Fuzzer with a name l" && e.Score == record.Score);
    }
    if (qualifies && !present) return "a qualifying result is stored";

    if (!table.Save(output)) return nullptr;
    game::THighScoresCollection again;
    if (!again.Load(output)) return "a saved file loads";
    if (again.Count != table.Count) return "Save and Load keep the count";
    for (int32_t i = 0; i < again.Count; ++i) {
        if (!SameRecord(again.Entries[size_t(i)], table.Entries[size_t(i)]))
            return "Save and Load keep records";
    }
    return nullptr;
}

const char* CheckReplay(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    replay::TReplay replay;
    replay::DecodeReplay(bytes, replay);
    if (replay::DecodeReplayFields(data, size, replay) == replay::TReplayFault::None) {
        replay::TReplay again;
        if (replay::DecodeReplay(replay::EncodeReplay(replay), again) != replay::TReplayFault::None) {
            return "a written replay reads back";
        }
        if (again.Events != replay.Events || !(again.Result == replay.Result) ||
            again.Start.Game.RandSeed != replay.Start.Game.RandSeed ||
            again.Start.MessageText != replay.Start.MessageText || again.Entry.Name != replay.Entry.Name) {
            return "a written replay keeps its fields";
        }
        if (const char* failed =
                CheckEventStream(replay.Events, replay.Start.StartTime, replay.Start.FrameInterval))
            return failed;
    }
    return CheckEventStream(bytes, uint32_t(size * 7919), uint32_t(size % 23));
}

const char* CheckLevelPack(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    std::vector<formats::TPackEntry> entries;
    if (formats::DecodeLevelPack(bytes, entries) != formats::TPackFault::None) {
        if (!entries.empty()) return "a refused pack gave entries";
        return nullptr;
    }
    for (const formats::TPackEntry& entry : entries) {
        if (!formats::IsLevelSetFileName(entry.Name)) return "a pack gave a name no set may hold";
        if (entry.Bytes.size() > formats::kMaxPackEntryBytes) return "a pack gave a file over the cap";
    }
    if (formats::EncodeLevelPack(entries) != bytes) return "a pack read and written again changed";
    game::CheckSetLevels(entries);
    return nullptr;
}

}  // namespace fuzz

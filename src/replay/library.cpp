#include "replay/library.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "formats/files.h"
#include "game/globals.h"

namespace replay {

namespace {

// The newest games are kept, and the game behind each high-score entry.
constexpr size_t kKeptGames = 20;
constexpr const char* kPrefix = "game-";
constexpr const char* kExtension = ".mnr";

// "game-000012.mnr" is recording 12; other names are no recordings of ours.
long RecordingNumber(const std::string& name) {
    const size_t prefix = std::string(kPrefix).size(), extension = std::string(kExtension).size();
    if (name.size() <= prefix + extension || name.compare(0, prefix, kPrefix) != 0 ||
        name.compare(name.size() - extension, extension, kExtension) != 0) {
        return -1;
    }
    long number = 0;
    for (size_t i = prefix; i < name.size() - extension; ++i) {
        if (name[i] < '0' || name[i] > '9' || number > 99999999) return -1;
        number = number * 10 + (name[i] - '0');
    }
    return number;
}

// The recordings of a directory, newest first.
std::vector<std::pair<long, std::string>> Recordings(const std::string& directory) {
    std::vector<std::pair<long, std::string>> found;
    for (const std::string& name : formats::FindFiles(directory, std::string("*") + kExtension)) {
        if (const long number = RecordingNumber(name); number >= 0) found.emplace_back(number, name);
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    return found;
}

}  // namespace

TDataDigests CurrentDigests() {
    return {LevelsDigest(game::LevelsFolder(), game::MusicFolder()), CatalogueDigest(game::Setup.ProgramDir)};
}

std::string CheckReplay(const std::string& path, TReplay& replay, const TDataDigests& digests) {
    switch (ReadReplayFile(path, replay)) {
        case TReplayFault::None: break;
        case TReplayFault::CantOpen: return "Can't open file " + path;
        case TReplayFault::NotAReplay: return "This file is not a Munchora replay: " + path;
        case TReplayFault::UnknownVersion: return "This replay was recorded by another version of Munchora";
        case TReplayFault::Damaged: return "This replay file is damaged: " + path;
    }
    if (replay.Start.LevelsDigest != digests.levels) return "This replay was recorded with other levels";
    if (replay.Start.CatalogueDigest != digests.catalogue)
        return "This replay was recorded with another catalogue";
    return "";
}

bool IsBehindEntry(const TReplay& replay, const game::THighScoreRecord& entry) {
    return replay.Entry.Present && replay.Entry.Name == entry.Name && replay.Entry.Score == entry.Score &&
           replay.Result.Monsters == entry.Monsters && replay.Result.Bonuses == entry.Bonuses &&
           replay.Result.Level == entry.Level;
}

std::string TLibrary::NextName() const {
    long next = 1;
    for (const auto& [number, name] : Recordings(directory_)) next = std::max(next, number + 1);
    char name[32];
    std::snprintf(name, sizeof name, "%s%06ld%s", kPrefix, next, kExtension);
    return name;
}

bool TLibrary::Write(const std::string& name, const TReplay& replay) const {
    return formats::MakeDirectories(directory_) &&
           formats::WriteFileAtomically(directory_ + name, EncodeReplay(replay));
}

void TLibrary::Prune(const game::THighScoresCollection& table) const {
    const auto recordings = Recordings(directory_);
    if (recordings.size() <= kKeptGames) return;
    for (size_t i = kKeptGames; i < recordings.size(); ++i) {
        const std::string path = directory_ + recordings[i].second;
        TReplay replay;
        bool behindEntry = false;
        if (ReadReplayFile(path, replay) == TReplayFault::None) {
            for (int32_t k = 0; k < table.Count; ++k) {
                behindEntry = behindEntry || IsBehindEntry(replay, table.Entries[size_t(k)]);
            }
        }
        if (!behindEntry) formats::RemoveFile(path);
    }
}

std::vector<bool> TLibrary::Marks(const game::THighScoresCollection& table) const {
    std::vector<bool> marks(size_t(table.Count), false);
    if (directory_.empty()) return marks;
    for (const auto& [number, name] : Recordings(directory_)) {
        TReplay replay;
        if (ReadReplayFile(directory_ + name, replay) != TReplayFault::None) continue;
        for (size_t i = 0; i < marks.size(); ++i) {
            marks[i] = marks[i] || IsBehindEntry(replay, table.Entries[i]);
        }
    }
    return marks;
}

std::unique_ptr<TReplay> TLibrary::Best(const TDataDigests& digests) const {
    std::unique_ptr<TReplay> best;
    if (directory_.empty()) return best;
    for (const auto& [number, name] : Recordings(directory_)) {
        auto replay = std::make_unique<TReplay>();
        if (!CheckReplay(directory_ + name, *replay, digests).empty()) continue;
        if (!best || replay->Result.Score > best->Result.Score) best = std::move(replay);
    }
    return best;
}

}  // namespace replay

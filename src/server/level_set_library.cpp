#include "server/level_set_library.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "editor/level_set_folder.h"
#include "formats/files.h"
#include "formats/level_pack.h"
#include "game/level_sets.h"
#include "replay/proofs.h"
#include "replay/replay_file.h"

namespace server {

namespace {

namespace fs = std::filesystem;

constexpr const char* kNameFile = "name.txt";
constexpr size_t kMaxName = 40;

std::string PlainName(const std::string& name) {
    std::string plain;
    for (char c : name) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                            c == ' ' || c == '-' || c == '_';
        if (letter && plain.size() < kMaxName) plain += c;
    }
    return plain.empty() ? "Shared" : plain;
}

bool IsDigest(const std::string& text) {
    return text.size() == 16 && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

int LevelCount(const std::string& folder) { return int(formats::FindFiles(folder, "Level*.map").size()); }

TStoredSet Describe(const std::string& folder, const std::string& digest) {
    const auto name = formats::ReadFileBytes(folder + kNameFile);
    return {digest, name ? std::string(name->begin(), name->end()) : "Shared", LevelCount(folder)};
}

}  // namespace

LevelSetLibrary::LevelSetLibrary(std::string folder, std::string programDir, std::string runner)
    : folder_(std::move(folder)), programDir_(std::move(programDir)), runner_(std::move(runner)) {}

TAddedSet LevelSetLibrary::Add(const std::vector<uint8_t>& pack, const std::string& name) {
    TAddedSet added;
    std::vector<formats::TPackEntry> entries;
    const formats::TPackFault fault = formats::DecodeLevelPack(pack, entries);
    if (fault != formats::TPackFault::None) {
        added.refusal = formats::DescribePackFault(fault);
        return added;
    }
    // Pictures are the game's to draw: a set travels without them.
    std::erase_if(entries, [](const formats::TPackEntry& entry) {
        return entry.Name.size() > 4 && entry.Name.compare(entry.Name.size() - 4, 4, ".bmp") == 0;
    });
    added.refusal = game::CheckSetLevels(entries);
    if (!added.refusal.empty()) return added;

    std::lock_guard lock(mutex_);
    const std::string incoming = folder_ + "incoming";
    if (!formats::MakeDirectories(folder_) || !game::WriteSetFolder(entries, incoming)) {
        added.refusal = "the level set cannot be stored here";
        return added;
    }
    const std::string set = incoming + "/";
    const int levels = LevelCount(set);
    const std::vector<int32_t> proven = replay::CheckProofs(set, programDir_, runner_);
    std::error_code error;
    if (int(proven.size()) < levels) {
        fs::remove_all(incoming, error);
        added.refusal = "not every level is proven: " + replay::DescribeProofs(proven, levels);
        return added;
    }
    char digest[17];
    std::snprintf(digest, sizeof digest, "%016llx",
                  static_cast<unsigned long long>(replay::LevelsDigest(set, set)));
    const std::string target = folder_ + digest;
    added.known = fs::exists(target, error);
    if (added.known) {
        fs::remove_all(incoming, error);
    } else {
        const std::string plain = PlainName(name);
        formats::WriteFileAtomically(set + kNameFile, std::vector<uint8_t>(plain.begin(), plain.end()));
        // The games played on it are verified here, and they show pictures.
        editor::MakeMissingPictures(set);
        fs::rename(incoming, target, error);
        if (error) {
            fs::remove_all(incoming, error);
            added.refusal = "the level set cannot be stored here";
            return added;
        }
    }
    added.stored = Describe(target + "/", digest);
    return added;
}

std::vector<TStoredSet> LevelSetLibrary::List() const {
    std::lock_guard lock(mutex_);
    std::vector<TStoredSet> sets;
    for (const std::string& name : formats::FindFiles(folder_, "*")) {
        if (IsDigest(name)) sets.push_back(Describe(folder_ + name + "/", name));
    }
    return sets;
}

std::optional<std::string> LevelSetLibrary::Folder(const std::string& digest) const {
    if (!IsDigest(digest)) return std::nullopt;
    const std::string folder = folder_ + digest + "/";
    if (!formats::FileExists(folder + "Level01.map")) return std::nullopt;
    return folder;
}

std::optional<std::vector<uint8_t>> LevelSetLibrary::Pack(const std::string& digest) const {
    if (!IsDigest(digest)) return std::nullopt;
    std::lock_guard lock(mutex_);
    const std::string folder = folder_ + digest + "/";
    if (!formats::FileExists(folder + "Level01.map")) return std::nullopt;
    return formats::EncodeLevelPack(game::ReadSetFiles(folder, folder));
}

}  // namespace server

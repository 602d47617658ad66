#include "game/level_sets.h"

#include <filesystem>
#include <map>
#include <system_error>

#include "formats/files.h"
#include "game/level.h"

namespace game {

namespace fs = std::filesystem;

std::vector<formats::TPackEntry> ReadSetFiles(const std::string& levelsFolder,
                                              const std::string& musicFolder) {
    std::map<std::string, std::string> found;  // name -> folder, one of each name
    const auto look = [&found](const std::string& folder, const std::vector<const char*>& patterns) {
        for (const char* pattern : patterns) {
            for (const std::string& name : formats::FindFiles(folder, pattern)) {
                if (formats::IsLevelSetFileName(name)) found.emplace(name, folder);
            }
        }
    };
    look(levelsFolder, {"*.map", "*.bmp", "*.mnr", "set.ini"});
    look(musicFolder, {"*.mid"});
    std::vector<formats::TPackEntry> entries;
    for (const auto& [name, folder] : found) {
        const std::string separator = folder.empty() || folder.back() == '/' ? "" : "/";
        if (auto bytes = formats::ReadFileBytes(folder + separator + name))
            entries.push_back({name, std::move(*bytes)});
    }
    return entries;
}

std::string CheckSetLevels(const std::vector<formats::TPackEntry>& entries) {
    std::map<int, const formats::TPackEntry*> levels;
    for (const formats::TPackEntry& entry : entries) {
        if (entry.Name.size() > 4 && entry.Name.compare(entry.Name.size() - 4, 4, ".map") == 0)
            levels[std::stoi(entry.Name.substr(5))] = &entry;
    }
    if (levels.empty() || levels.begin()->first != 1) return "The level set has no first level";
    int expected = 1;
    for (const auto& [number, entry] : levels) {
        if (number != expected++) return "The level set misses level " + std::to_string(expected - 1);
        TLevel level;
        if (ReadLevelText(std::string(entry->Bytes.begin(), entry->Bytes.end()), level) !=
            LevelLoadResult::Ok)
            return "Error file " + entry->Name;
    }
    return "";
}

bool WriteSetFolder(const std::vector<formats::TPackEntry>& entries, const std::string& folder) {
    // Written beside the target first, so a failure leaves the old set.
    const fs::path target = formats::NativePath(folder);
    const fs::path fresh = target.string() + ".new";
    std::error_code error;
    fs::remove_all(fresh, error);
    if (!formats::MakeDirectories(fresh.string())) return false;
    for (const formats::TPackEntry& entry : entries) {
        if (!formats::IsLevelSetFileName(entry.Name) ||
            !formats::WriteFileAtomically((fresh / entry.Name).string(), entry.Bytes)) {
            fs::remove_all(fresh, error);
            return false;
        }
    }
    fs::remove_all(target, error);
    fs::rename(fresh, target, error);
    return !error;
}

}  // namespace game

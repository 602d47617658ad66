#include "editor/level_set_folder.h"

#include <algorithm>
#include <filesystem>

#include "editor/draft.h"
#include "editor/maze_picture.h"
#include "formats/files.h"
#include "formats/level_pack.h"
#include "game/level_sets.h"

namespace editor {

namespace {

constexpr size_t kMaxSetName = 40;

// A set's name from its file's name: letters, digits, '-' and '_' only, so
// that it names a folder of its own and nothing else.
std::string SetName(const std::string& path) {
    std::string name;
    for (char c : std::filesystem::path(path).stem().string()) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           c == '-' || c == '_';
        if (plain && name.size() < kMaxSetName) name += c;
    }
    return name.empty() ? "Shared" : name;
}

int32_t LevelCount(const std::vector<formats::TPackEntry>& entries) {
    return int32_t(std::count_if(entries.begin(), entries.end(), [](const formats::TPackEntry& entry) {
        return entry.Name.size() > 4 && entry.Name.compare(entry.Name.size() - 4, 4, ".map") == 0;
    }));
}

std::string WithSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

}  // namespace

bool MakeMissingPictures(const std::string& folder) {
    for (const std::string& name : formats::FindFiles(folder, "Level*.map")) {
        if (!formats::IsLevelSetFileName(name)) continue;
        const std::string picture = folder + name.substr(0, name.size() - 4) + ".bmp";
        if (formats::FileExists(picture)) continue;
        const auto bytes = formats::ReadFileBytes(folder + name);
        const auto draft = bytes ? ReadDraft(std::string(bytes->begin(), bytes->end())) : std::nullopt;
        if (!draft) continue;  // the level reader says so when it is played
        if (!formats::WriteFileAtomically(picture, MazePictureBmp(draft->Level, draft->Theme))) return false;
    }
    return true;
}

TOpenedSet OpenLevelSet(const std::string& dirOrPack, const std::string& setsFolder) {
    TOpenedSet opened;
    std::error_code error;
    if (std::filesystem::is_directory(formats::NativePath(dirOrPack), error)) {
        const std::string folder = WithSlash(dirOrPack);
        opened.Problem = game::CheckSetLevels(game::ReadSetFiles(folder, folder));
        if (opened.Problem.empty() && !MakeMissingPictures(folder))
            opened.Problem = "Error of writing " + folder;
        if (opened.Problem.empty()) {
            opened.Levels = LevelCount(game::ReadSetFiles(folder, folder));
            opened.Folder = folder;
            opened.Name = SetName(folder.substr(0, folder.size() - 1));
        }
        return opened;
    }
    const auto bytes = formats::ReadFileBytes(dirOrPack);
    if (!bytes) {
        opened.Problem = "Can't open file " + dirOrPack;
        return opened;
    }
    if (bytes->size() > formats::kMaxPackBytes) {
        opened.Problem = formats::DescribePackFault(formats::TPackFault::TooLarge);
        return opened;
    }
    std::vector<formats::TPackEntry> entries;
    const formats::TPackFault fault = formats::DecodeLevelPack(*bytes, entries);
    opened.Problem = fault == formats::TPackFault::None ? game::CheckSetLevels(entries)
                                                        : formats::DescribePackFault(fault);
    if (!opened.Problem.empty()) return opened;
    const std::string name = SetName(dirOrPack);
    const std::string folder = WithSlash(setsFolder) + name + "/";
    if (!formats::MakeDirectories(setsFolder) ||
        !game::WriteSetFolder(entries, folder.substr(0, folder.size() - 1)) || !MakeMissingPictures(folder)) {
        opened.Problem = "Error of writing " + folder;
        return opened;
    }
    opened.Folder = folder;
    opened.Name = name;
    opened.Imported = true;
    opened.Levels = LevelCount(entries);
    return opened;
}

}  // namespace editor

#include "editor/set_files.h"

#include "editor/level_set_folder.h"
#include "formats/files.h"
#include "formats/level_pack.h"
#include "game/level_sets.h"

namespace editor {

namespace {

constexpr int32_t kNewLevelSide = 17;

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

std::optional<TDraft> ReadFile(const std::string& path) {
    const auto bytes = formats::ReadFileBytes(path);
    return bytes ? ReadDraft(std::string(bytes->begin(), bytes->end())) : std::nullopt;
}

}  // namespace

std::string LevelFilePath(const std::string& setFolder, int32_t number) {
    return setFolder + "Level" + game::LevelDigits(number) + ".map";
}

std::string DraftFilePath(const std::string& setFolder, int32_t number) {
    return setFolder + "Level" + game::LevelDigits(number) + ".draft";
}

std::string ProofFilePath(const std::string& setFolder, int32_t number) {
    return setFolder + "Level" + game::LevelDigits(number) + ".mnr";
}

TDraft OpenLevel(const std::string& setFolder, int32_t number) {
    if (auto draft = ReadFile(DraftFilePath(setFolder, number))) return *draft;
    if (auto finished = ReadFile(LevelFilePath(setFolder, number))) return *finished;
    return BlankDraft(kNewLevelSide, kNewLevelSide);
}

int32_t LevelsInSet(const std::string& setFolder) {
    int32_t count = 0;
    while (formats::FileExists(LevelFilePath(setFolder, count + 1)) ||
           formats::FileExists(DraftFilePath(setFolder, count + 1)))
        ++count;
    return count;
}

bool SaveFinished(const std::string& setFolder, int32_t number, const TDraft& draft) {
    const std::string picture = setFolder + "Level" + game::LevelDigits(number) + ".bmp";
    if (!formats::MakeDirectories(setFolder) ||
        !formats::WriteFileAtomically(LevelFilePath(setFolder, number), Bytes(LevelFileText(draft))))
        return false;
    formats::RemoveFile(DraftFilePath(setFolder, number));
    // The picture shows the maze as it is now.
    formats::RemoveFile(picture);
    return MakeMissingPictures(setFolder);
}

bool ExportSet(const std::string& setFolder, const std::string& packPath) {
    const size_t slash = packPath.find_last_of('/');
    if (slash != std::string::npos && !formats::MakeDirectories(packPath.substr(0, slash))) return false;
    return formats::WriteFileAtomically(packPath,
                                        formats::EncodeLevelPack(game::ReadSetFiles(setFolder, setFolder)));
}

bool SaveDraft(const std::string& setFolder, int32_t number, const TDraft& draft) {
    return formats::MakeDirectories(setFolder) &&
           formats::WriteFileAtomically(DraftFilePath(setFolder, number), Bytes(LevelFileText(draft)));
}

}  // namespace editor

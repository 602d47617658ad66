#include "replay/proofs.h"

#include <cstdlib>
#include <filesystem>

#include "formats/files.h"
#include "formats/level_pack.h"
#include "game/level.h"
#include "platform/process.h"

namespace replay {

namespace {

namespace fs = std::filesystem;

// Plays the proof on the level alone; true when it went as recorded.
bool ProofHolds(const std::string& level, const std::string& proof, const std::string& programDir,
                const std::string& runner) {
    std::string folder = (fs::temp_directory_path() / "munchora-proof-XXXXXX").string();
    if (!mkdtemp(folder.data())) return false;
    std::error_code error;
    const bool holds = fs::copy_file(level, fs::path(folder) / "Level01.map", error) &&
                       platform::EndedWell(platform::StartQuietly({runner, "--data", programDir, "--levels",
                                                                   folder, "--replay", proof, "--verify",
                                                                   "--out", folder + "/out", "--no-draw"}));
    fs::remove_all(folder, error);
    return holds;
}

}  // namespace

std::vector<int32_t> CheckProofs(const std::string& setFolder, const std::string& programDir,
                                 const std::string& runner) {
    std::vector<int32_t> proven;
    for (const std::string& name : formats::FindFiles(setFolder, "Level*.mnr")) {
        if (!formats::IsLevelSetFileName(name)) continue;
        const std::string stem = name.substr(0, name.size() - 4);
        if (ProofHolds(setFolder + stem + ".map", setFolder + name, programDir, runner))
            proven.push_back(std::atoi(stem.c_str() + 5));
    }
    std::string text;
    for (const int32_t level : proven) text += std::to_string(level) + "\n";
    formats::WriteFileAtomically(setFolder + kProvenFile, std::vector<uint8_t>(text.begin(), text.end()));
    return proven;
}

std::string DescribeProofs(const std::vector<int32_t>& proven, int32_t levels) {
    if (proven.empty()) return "no level of " + std::to_string(levels) + " is proven";
    std::string list;
    for (const int32_t level : proven) list += (list.empty() ? "" : ", ") + std::to_string(level);
    return (proven.size() == 1 ? "level " : "levels ") + list + " of " + std::to_string(levels) +
           (proven.size() == 1 ? " is proven" : " are proven");
}

}  // namespace replay

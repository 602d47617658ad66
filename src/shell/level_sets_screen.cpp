// The "Levels" choice of the main menu: the shipped levels or one of the
// player's sets (made in the editor or shared), played from then on, each
// with its own high scores and recordings.
#include <algorithm>

#include "editor/level_set_folder.h"
#include "formats/files.h"
#include "game/globals.h"
#include "shell/screen.h"
#include "widgets/style.h"

namespace shell {

namespace vk = platform::vk;

namespace {

constexpr int kListX = 200, kListY = 150, kRow = 34, kPoints = 20;
constexpr size_t kShownSets = 10;
constexpr const char* kShippedName = "Munchora: the shipped levels";
constexpr uint32_t kLevelSetMessageMs = 4000;

// "Corridors: 3 levels, 2 proven", the proofs as the import found them.
std::string DescribeSet(const std::string& folder, const std::string& name) {
    const size_t levels = formats::FindFiles(folder, "Level*.map").size();
    std::string text = name + ": " + std::to_string(levels) + (levels == 1 ? " level" : " levels");
    if (const auto proven = formats::ReadFileBytes(folder + "proven.txt"))
        text += ", " + std::to_string(std::count(proven->begin(), proven->end(), '\n')) + " proven";
    return text;
}

}  // namespace

void TMainForm::PlayLevelSet(const std::string& folder, const std::string& name) {
    game::Setup.LevelSetDir = folder.empty() ? "" : formats::AbsoluteFolder(folder);
    game::Setup.LevelSetName = name;
    if (!ReplayDirectory.empty()) {
        formats::MakeDirectories(LevelSetDataDirectory());
        RecordGamesInto(LevelSetDataDirectory() + kReplaysFolder);
    }
    CountLevels();
}

void TMainForm::PlayLevelSetFile(const std::string& path) {
    const editor::TOpenedSet set = editor::OpenLevelSet(path, LevelSetsDirectory());
    if (!set.Problem.empty()) {
        ShowMessage(set.Problem);
        return;
    }
    PlayLevelSet(set.Folder, set.Name);
    if (State != scGame) SetScreenState(scMainMenu);
    ShowOnMessageLine("Levels: " + set.Name, kLevelSetMessageMs);
}

void TMainForm::TLevelSetsScreen::Enter() {
    TMainForm& f = form_;
    f.levelSetFolders_ = {""};
    for (const std::string& name : formats::FindFiles(LevelSetsDirectory(), "*")) {
        const std::string folder = LevelSetsDirectory() + name + "/";
        if (formats::FileExists(folder + "Level01.map") && f.levelSetFolders_.size() <= kShownSets)
            f.levelSetFolders_.push_back(folder);
    }
    f.levelSetLabels_.clear();
    for (const std::string& folder : f.levelSetFolders_) {
        const size_t from = LevelSetsDirectory().size();
        f.levelSetLabels_.push_back(folder.empty()
                                        ? kShippedName
                                        : DescribeSet(folder, folder.substr(from, folder.size() - from - 1)));
    }
    const auto current =
        std::find(f.levelSetFolders_.begin(), f.levelSetFolders_.end(), game::Setup.LevelSetDir);
    f.levelSetChoice_ =
        current == f.levelSetFolders_.end() ? 0 : size_t(current - f.levelSetFolders_.begin());
}

void TMainForm::TLevelSetsScreen::Key(uint16_t key) {
    TMainForm& f = form_;
    const size_t count = f.levelSetFolders_.size();
    if (key == vk::Up || key == vk::Down) {
        f.PlaySound("Button");
        f.levelSetChoice_ = (f.levelSetChoice_ + (key == vk::Up ? count - 1 : 1)) % count;
        return;
    }
    if (key != vk::Enter) return;
    f.PlaySound("PushButton");
    const std::string& folder = f.levelSetFolders_[f.levelSetChoice_];
    if (folder.empty()) {
        f.PlayLevelSet("", "");
    } else {
        const editor::TOpenedSet set = editor::OpenLevelSet(folder, LevelSetsDirectory());
        if (!set.Problem.empty()) {
            f.ShowMessage(set.Problem);
            return;
        }
        f.PlayLevelSet(set.Folder, set.Name);
    }
    f.SetScreenState(scMainMenu);
}

void TMainForm::TLevelSetsScreen::Frame() {
    platform::Platform& media = form_.media_;
    if (!media.Drawing()) return;
    media.DrawText(kListX, 80, "Levels", widgets::kBauhausFace, 32, widgets::kYellow);
    for (size_t i = 0; i < form_.levelSetLabels_.size(); ++i) {
        const std::string& name = form_.levelSetLabels_[i];
        const bool chosen = i == form_.levelSetChoice_;
        media.DrawText(kListX, kListY + int(i) * kRow, (chosen ? "> " : "  ") + name, widgets::kBauhausFace,
                       kPoints, chosen ? widgets::kYellow : widgets::kTableColour);
    }
    media.DrawText(kListX, 540, "Up, Down: choose   Enter: play these levels   Escape: menu",
                   widgets::kBauhausFace, 14, widgets::kTableColour);
    media.DrawText(kListX, 562, "Your sets live in " + LevelSetsDirectory(), widgets::kBauhausFace, 12,
                   widgets::kTableColour);
}

}  // namespace shell

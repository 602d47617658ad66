// The game: an SDL window, its sound, and the main window's message loop.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "editor/level_set_folder.h"
#include "formats/files.h"
#include "platform/curl/curl_network.h"
#include "platform/sdl/sdl_backend.h"
#include "program/command_line.h"
#include "program/playtest_estimator.h"
#include "program/settings_place.h"
#include "replay/proofs.h"
#include "shell/boot.h"
#include "shell/main_form.h"

namespace {

constexpr const char* kUsage =
    "usage: munchora [WORD...] [--replay FILE [--verify]] [--levels DIR|FILE]\n"
    "A maze game: eat every dot, keep away from the monsters.\n\n"
    "  Debug          show the frame rate and enable the test keys of the game screen\n"
    "  NoMidi         play no music\n"
    "  NoSound        play no sounds\n"
    "  FullScreen     start in full screen (Alt+Enter switches at any time)\n"
    "  --replay FILE  watch a recorded game: Space pauses, Right doubles the speed up to 8x,\n"
    "                 Left halves it, Escape ends\n"
    "  --verify       with --replay: play it at 8x, print whether it went as recorded and end;\n"
    "                 the exit status is 1 when it did not\n"
    "  --levels DIR|FILE  play this level set: a folder of LevelNN.map files, or a shared .mnl\n"
    "                 file (kept among your sets in levels/ of the settings' directory)\n"
    "  --help         show this text\n"
    "  --version      show the version\n\n"
    "The words are case-sensitive; other arguments are ignored.\n";

}  // namespace

int main(int argc, char** argv) {
    std::string replayPath, levelSet;
    bool verify = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("munchora %s\n", MUNCHORA_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--replay") == 0) {
            if (i + 1 >= argc) {
                std::fputs("munchora: --replay needs a file\n", stderr);
                return 2;
            }
            replayPath = argv[++i];
        }
        if (std::strcmp(argv[i], "--verify") == 0) verify = true;
        if (std::strcmp(argv[i], "--levels") == 0) {
            if (i + 1 >= argc) {
                std::fputs("munchora: --levels needs a folder or a .mnl file\n", stderr);
                return 2;
            }
            levelSet = argv[++i];
        }
    }
    if (verify && replayPath.empty()) {
        std::fputs("munchora: --verify goes with --replay FILE\n", stderr);
        return 2;
    }
    platform::SdlBackend machine;
    platform::CurlNetwork network;
    platform::Platform media(machine);
    // A replay being watched asks the online table nothing.
    if (replayPath.empty()) media.SetNetwork(&network);
    shell::TBootOptions boot;
    boot.startOptions = program::ReadStartOptions(argc - 1, argv + 1);
    boot.programDir = program::FindProgramDirectory(formats::ExecutableDirectory(), MUNCHORA_INSTALLED_DATA);
    // Asking for the user's directory creates it: only when it is needed.
    const bool writable = program::CanWriteInto(boot.programDir);
    boot.settingsDir = program::ChooseSettingsDirectory(
        boot.programDir, writable ? "" : machine.UserDataDirectory(), writable);
    // Games are recorded; a replay being watched is not a game.
    if (replayPath.empty()) boot.replayDirectory = boot.settingsDir + shell::kReplaysFolder;
    if (!levelSet.empty()) {
        const editor::TOpenedSet set = editor::OpenLevelSet(levelSet, boot.settingsDir + "levels/");
        if (!set.Problem.empty()) {
            std::fprintf(stderr, "munchora: %s\n", set.Problem.c_str());
            media.MessageBox(shell::kApplicationTitle, set.Problem);
            return 1;
        }
        boot.levelSetFolder = set.Folder;
        boot.levelSetName = set.Name;
        if (set.Imported) {
            const auto proven = replay::CheckProofs(set.Folder, boot.programDir,
                                                    formats::ExecutableDirectory() + "munchora-headless");
            std::printf("munchora: level set %s: %s\n", set.Name.c_str(),
                        replay::DescribeProofs(proven, set.Levels).c_str());
        }
    }
    const std::unique_ptr<shell::TMainForm> window = shell::Boot(media, boot);
    window->UseDifficultyEstimator(std::make_unique<program::PlaytestEstimator>(
        formats::ExecutableDirectory() + "tools/playtest", shell::SettingsDirectory() + "editor-test/"));
    shell::TMainForm& form = *window;
    bool playable = true;
    if (!replayPath.empty() && !form.Closing()) {
        playable = form.WatchReplay(replayPath, verify);
        while (verify && form.ReplayPace().Speed() < replay::PlaybackClock::kMaxSpeed)
            form.ReplayPace().Faster();
    }
    media.Run(form);
    form.FormClose();
    if (!verify) return playable ? 0 : 1;
    std::printf("%s\n", form.ReplayVerdict().c_str());
    return form.ReplayVerified() ? 0 : 1;
}

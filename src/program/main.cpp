// The game: an SDL window, its sound, and the main window's message loop.
#include <cstdio>
#include <cstring>
#include <string>

#include "game/globals.h"
#include "game/random.h"
#include "platform/files.h"
#include "platform/sdl/sdl_platform.h"
#include "program/command_line.h"
#include "program/settings_place.h"
#include "shell/main_form.h"

namespace {

constexpr const char* kUsage =
    "usage: munchora [WORD...]\n"
    "A maze game: eat every dot, keep away from the monsters.\n\n"
    "  Debug       show the frame rate and enable the test keys of the game screen\n"
    "  NoMidi      play no music\n"
    "  NoSound     play no sounds\n"
    "  FullScreen  start in full screen (Alt+Enter switches at any time)\n"
    "  --help      show this text\n"
    "  --version   show the version\n\n"
    "The words are case-sensitive; other arguments are ignored.\n";

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("munchora %s\n", MUNCHORA_VERSION);
            return 0;
        }
    }
    game::StartOptions = program::ReadStartOptions(argc - 1, argv + 1);
    game::GameType = game::gtFeatures;

    platform::SdlPlatform media;
    game::SetRandomClock([&media] { return media.UtcMillisOfDay(); });
    game::ProgramDir =
        program::FindProgramDirectory(platform::ExecutableDirectory(), MUNCHORA_INSTALLED_DATA);
    // Asking for the user's directory creates it: only when it is needed.
    const bool writable = program::CanWriteInto(game::ProgramDir);
    game::SettingsDir = program::ChooseSettingsDirectory(game::ProgramDir,
                                                         writable ? "" : media.UserDataDirectory(), writable);
    shell::TMainForm form(media);
    if (!game::StartOptions.NoSound && !media.InitializeSound()) form.ShowMessage("Can't initialize sound");
    form.FormShow();
    media.Run(form);
    form.FormClose();
    return 0;
}

// The game: an SDL window, its sound, and the main window's message loop.
#include <cstdio>
#include <cstring>
#include <string>

#include "game/globals.h"
#include "game/random.h"
#include "platform/files.h"
#include "platform/sdl/sdl_platform.h"
#include "program/command_line.h"
#include "shell/main_form.h"

int main(int argc, char** argv) {
    game::StartOptions = program::ReadStartOptions(argc - 1, argv + 1);
    game::GameType = game::gtFeatures;

    platform::SdlPlatform media;
    game::SetRandomClock([&media] { return media.UtcMillisOfDay(); });
    game::ProgramDir = platform::ExecutableDirectory();
    shell::TMainForm form(media);
    if (!game::StartOptions.NoSound && !media.InitializeSound()) form.ShowMessage("Can't initialize sound");
    form.FormShow();
    media.Run(form);
    form.FormClose();
    return 0;
}

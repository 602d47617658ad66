#include "shell/boot.h"

#include "formats/files.h"
#include "game/random.h"
#include "shell/main_form.h"

namespace shell {

std::unique_ptr<TMainForm> Boot(platform::Platform& media, const TBootOptions& options) {
    game::State.StartOptions = options.startOptions;
    game::State.GameType = game::gtFeatures;
    game::SetRandomClock([&media] { return media.UtcMillisOfDay(); });
    game::Setup.ProgramDir = options.programDir;
    game::Setup.SettingsDir = options.settingsDir;
    game::Setup.LevelSetDir =
        options.levelSetFolder.empty() ? "" : formats::AbsoluteFolder(options.levelSetFolder);
    game::Setup.LevelSetName = options.levelSetName;
    auto form = std::make_unique<TMainForm>(media);
    const bool ownSet = !options.levelSetFolder.empty() && !options.replayDirectory.empty();
    if (ownSet) formats::MakeDirectories(LevelSetDataDirectory());
    form->RecordGamesInto(ownSet ? LevelSetDataDirectory() + kReplaysFolder : options.replayDirectory);
    if (options.frameIntervalMs > 0) media.Clock().SetInterval(options.frameIntervalMs);
    if (!options.show) return form;
    if (!game::State.StartOptions.NoSound && !media.InitializeSound())
        form->ShowMessage("Can't initialize sound");
    form->FormShow();
    return form;
}

}  // namespace shell

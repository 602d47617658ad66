#include "game/globals.h"

namespace game {

TGameState State;
TProgramSetup Setup;

void ResetGlobals() {
    State = TGameState{};
    Setup = TProgramSetup{};
}

std::string LevelsFolder() {
    return Setup.LevelSetDir.empty() ? Setup.ProgramDir + "Levels/" : Setup.LevelSetDir;
}

std::string MusicFolder() {
    return Setup.LevelSetDir.empty() ? Setup.ProgramDir + "Music/" : Setup.LevelSetDir;
}

}  // namespace game

#include "game/globals.h"

namespace game {

TGameState State;
TProgramSetup Setup;

void ResetGlobals() {
    State = TGameState{};
    Setup = TProgramSetup{};
}

}  // namespace game

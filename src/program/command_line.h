// The four command-line words, compared exactly and with regard to case;
// other arguments are ignored.
#pragma once

#include "game/globals.h"

namespace program {

game::TStartOptions ReadStartOptions(int count, char** words);

}  // namespace program

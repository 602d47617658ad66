// SDL key symbols to the desktop's virtual-key codes the game is written in.
#pragma once

#include <SDL.h>

#include <cstdint>

#include "platform/input.h"

namespace platform {

uint16_t VirtualKeyOf(SDL_Keycode sym);
ShiftState ShiftStateOf(Uint16 mod);

}  // namespace platform

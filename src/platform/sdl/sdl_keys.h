// SDL key symbols to the desktop's virtual-key codes the game is written in.
#pragma once

#include <SDL.h>

#include <cstdint>

#include "platform/input.h"

namespace platform {

uint16_t VirtualKeyOf(SDL_Keycode sym);
// A controller button that also acts as a key, or 0: the d-pad as the
// arrows, A and Start as Enter, B as Escape.
uint16_t VirtualKeyOfButton(Uint8 button);
ShiftState ShiftStateOf(Uint16 mod);

}  // namespace platform

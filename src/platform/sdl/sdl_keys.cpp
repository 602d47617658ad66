#include "platform/sdl/sdl_keys.h"

namespace platform {

uint16_t VirtualKeyOf(SDL_Keycode sym) {
    if (sym >= SDLK_a && sym <= SDLK_z) return uint16_t('A' + (sym - SDLK_a));
    if (sym >= SDLK_0 && sym <= SDLK_9) return uint16_t('0' + (sym - SDLK_0));
    if (sym >= SDLK_F1 && sym <= SDLK_F12) return uint16_t(vk::F1 + (sym - SDLK_F1));
    if (sym >= SDLK_KP_1 && sym <= SDLK_KP_9) return uint16_t(vk::Numpad0 + 1 + (sym - SDLK_KP_1));
    switch (sym) {
        case SDLK_KP_0: return vk::Numpad0;
        case SDLK_RETURN:
        case SDLK_KP_ENTER: return vk::Enter;
        case SDLK_ESCAPE: return vk::Escape;
        case SDLK_BACKSPACE: return vk::Backspace;
        case SDLK_TAB: return vk::Tab;
        case SDLK_SPACE: return vk::Space;
        case SDLK_LEFT: return vk::Left;
        case SDLK_UP: return vk::Up;
        case SDLK_RIGHT: return vk::Right;
        case SDLK_DOWN: return vk::Down;
        case SDLK_KP_MULTIPLY: return vk::Multiply;
        case SDLK_KP_PLUS: return vk::Add;
        case SDLK_KP_MINUS: return vk::Subtract;
        case SDLK_KP_PERIOD: return vk::Decimal;
        case SDLK_KP_DIVIDE: return vk::Divide;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT: return 16;
        case SDLK_LCTRL:
        case SDLK_RCTRL: return 17;
        case SDLK_LALT:
        case SDLK_RALT: return 18;
        case SDLK_MINUS: return 189;
        case SDLK_EQUALS: return 187;
        case SDLK_COMMA: return 188;
        case SDLK_PERIOD: return 190;
        case SDLK_SLASH: return 191;
        case SDLK_SEMICOLON: return 186;
        case SDLK_DELETE: return 46;
        case SDLK_INSERT: return 45;
        case SDLK_HOME: return 36;
        case SDLK_END: return 35;
        case SDLK_PAGEUP: return 33;
        case SDLK_PAGEDOWN: return 34;
        default: return 0;
    }
}

uint16_t VirtualKeyOfButton(Uint8 button) {
    switch (button) {
        case SDL_CONTROLLER_BUTTON_DPAD_UP: return vk::Up;
        case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return vk::Down;
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return vk::Left;
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return vk::Right;
        case SDL_CONTROLLER_BUTTON_A:
        case SDL_CONTROLLER_BUTTON_START: return vk::Enter;
        case SDL_CONTROLLER_BUTTON_B: return vk::Escape;
        default: return 0;
    }
}

ShiftState ShiftStateOf(Uint16 mod) {
    ShiftState shift = 0;
    if (mod & KMOD_SHIFT) shift |= kShift;
    if (mod & KMOD_ALT) shift |= kAlt;
    if (mod & KMOD_CTRL) shift |= kCtrl;
    return shift;
}

}  // namespace platform

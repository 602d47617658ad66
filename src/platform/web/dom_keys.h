// Keys of a web page (the DOM's `key` and `code` names) to the desktop's
// virtual-key codes the game is written in. Letters, digits and punctuation
// follow the keyboard layout, as they do on the desktop; the keypad and the
// named keys follow the physical key.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// 0 for a key the game has no code for.
uint16_t VirtualKeyOfDom(const std::string& key, const std::string& code);

}  // namespace platform

// The game's names are 8-bit text, each byte a character; JSON wants
// UTF-8. Both ways.
#pragma once

#include <string>

namespace server {

std::string EightBitToUtf8(const std::string& text);
// Throws std::runtime_error for a character the game's text cannot hold.
std::string Utf8ToEightBit(const std::string& text);

}  // namespace server

// The text field of the password and high-score-name screens.
#pragma once

#include <cstdint>
#include <string>

#include "platform/surface.h"

namespace widgets {

class TInputLine {
public:
    static constexpr size_t kMaxLength = 12;

    TInputLine(int x, int y) : X(x), Y(y) {}

    // Key codes of letters, digits, space and underscore add their character;
    // so do 97..122, which keypad keys and F1 to F11 deliver, as lower-case
    // letters. Backspace removes the last character.
    void HandleKey(uint16_t key);
    // The text with an always-visible "_" caret.
    void Draw();

    std::string FontName = "Bauhaus Hv BT";
    int FontSize = 18;
    platform::Colour FontColor = 0xFFFF;
    std::string Text;
    int X;
    int Y;
};

}  // namespace widgets

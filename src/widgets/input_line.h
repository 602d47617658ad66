// The text field of the password and high-score-name screens.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "widgets/style.h"

namespace widgets {

class TInputLine {
public:
    static constexpr size_t kMaxLength = 12;

    TInputLine(platform::Platform& media, int x, int y) : X(x), Y(y), media_(media) {}

    // Key codes of letters, digits, space and underscore add their character;
    // so do 97..122, which keypad keys and F1 to F11 deliver, as lower-case
    // letters. Backspace removes the last character.
    void HandleKey(uint16_t key);
    // The text with an always-visible "_" caret.
    void Draw();

    std::string FontName = kBauhausFace;
    int FontSize = 18;
    media::Colour FontColor = kYellow;
    std::string Text;
    int X;
    int Y;

private:
    platform::Platform& media_;
};

}  // namespace widgets

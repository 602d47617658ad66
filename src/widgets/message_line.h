// The blinking timed message near the bottom of the game screen.
#pragma once

#include <cstdint>
#include <string>

namespace widgets {

class TMessageLine {
public:
    TMessageLine(int x, int y) : X(x), Y(y) {}

    // The message stays for `milliseconds`, measured by the main window's
    // message timer. Like any interval timer, the countdown starts anew only
    // when the duration differs from the running one or the timer was off.
    void Show(const std::string& text, uint32_t milliseconds);
    // Counts every call; the text shows in 13 of every 20.
    void Draw();

    std::string Text;
    int X;  // horizontal centre
    int Y;  // top
    int32_t FrameCounter = 0;
};

}  // namespace widgets

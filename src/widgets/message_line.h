// The blinking timed message near the bottom of the game screen.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace widgets {

class TMessageLine {
public:
    // `timer` is the window's message timer: when it fires, the window
    // clears Text and stops it.
    TMessageLine(platform::Platform& media, platform::IntervalTimer& timer, int x, int y)
        : X(x), Y(y), media_(media), timer_(timer) {}

    // The message stays for `milliseconds`, measured by the message timer.
    // Like any interval timer, the countdown starts anew only when the
    // duration differs from the running one or the timer was off.
    void Show(const std::string& text, uint32_t milliseconds);
    // Counts every call; the text shows in 13 of every 20.
    void Draw() { Paint(Text); }
    // The same, with another text in place of the message.
    void DrawInstead(const std::string& text) { Paint(text); }

    std::string Text;
    int X;  // horizontal centre
    int Y;  // top
    int32_t FrameCounter = 0;

private:
    void Paint(const std::string& text);

    platform::Platform& media_;
    platform::IntervalTimer& timer_;
};

}  // namespace widgets

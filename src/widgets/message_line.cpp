#include "widgets/message_line.h"

#include "widgets/style.h"

namespace widgets {

void TMessageLine::Show(const std::string& text, uint32_t milliseconds) {
    Text = text;
    const uint32_t now = media_.TickCount();
    timer_.SetInterval(milliseconds, now);
    timer_.SetEnabled(true, now);
}

void TMessageLine::Paint(const std::string& text) {
    ++FrameCounter;
    if (!media_.Drawing() || text.empty()) return;
    const int phase = FrameCounter % 20;
    if (phase < 1 || phase > 13) return;
    constexpr int kSize = 22;
    const int width = media_.TextWidth(text, kBauhausFace, kSize);
    media_.DrawText(X - width / 2, Y, text, kBauhausFace, kSize, kYellow);
}

}  // namespace widgets

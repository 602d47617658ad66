#include "widgets/message_line.h"

#include "shell/main_form.h"

namespace widgets {

using shell::MainForm;

void TMessageLine::Show(const std::string& text, uint32_t milliseconds) {
    Text = text;
    const uint32_t now = MainForm->Media().TickCount();
    MainForm->TimerMessageLine.SetInterval(milliseconds, now);
    MainForm->TimerMessageLine.SetEnabled(true, now);
}

void TMessageLine::Draw() {
    ++FrameCounter;
    platform::Platform& media = MainForm->Media();
    if (!media.CanDraw() || Text.empty()) return;
    const int phase = FrameCounter % 20;
    if (phase < 1 || phase > 13) return;
    constexpr int kSize = 22;
    constexpr platform::Colour kYellow = 0xFFFF;
    const int width = media.TextWidth(Text, shell::kBauhausFace, kSize);
    media.DrawText(X - width / 2, Y, Text, shell::kBauhausFace, kSize, kYellow);
}

}  // namespace widgets

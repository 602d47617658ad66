#include "widgets/input_line.h"

namespace widgets {

namespace vk = platform::vk;

void TInputLine::HandleKey(uint16_t key) {
    const bool printable = key == vk::Space || (key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z') ||
                           key == '_' || (key >= 'a' && key <= 'z');
    if (printable && Text.size() < kMaxLength) {
        Text.push_back(char(key));
    } else if (key == vk::Backspace && !Text.empty()) {
        Text.pop_back();
    }
}

void TInputLine::Draw() {
    if (!media_.Drawing()) return;
    media_.DrawText(X, Y, Text + "_", FontName, FontSize, FontColor);
}

}  // namespace widgets

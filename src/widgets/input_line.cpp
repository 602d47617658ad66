#include "widgets/input_line.h"

#include "shell/main_form.h"

namespace widgets {

void TInputLine::HandleKey(uint16_t key) {
    const bool printable = key == 32 || (key >= 48 && key <= 57) || (key >= 65 && key <= 90) || key == 95 ||
                           (key >= 97 && key <= 122);
    if (printable && Text.size() < kMaxLength) {
        Text.push_back(char(key));
    } else if (key == 8 && !Text.empty()) {
        Text.pop_back();
    }
}

void TInputLine::Draw() {
    platform::Platform& media = shell::MainForm->Media();
    if (!media.CanDraw()) return;
    media.DrawText(X, Y, Text + "_", FontName, FontSize, FontColor);
}

}  // namespace widgets

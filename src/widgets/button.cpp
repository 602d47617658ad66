#include "widgets/button.h"

#include "shell/main_form.h"
#include "widgets/indicators.h"

namespace widgets {

TButtonSprite::TButtonSprite(engine::TSprite* parent, const std::string& imagePrefix)
    : engine::TImageSprite(parent) {
    SetImages(imagePrefix);
    Image = NormalImage;
    // The bounds keep this size; a picture of another size is centred on them.
    Width = NormalImage->PatternWidth();
    Height = NormalImage->PatternHeight();
    X = (platform::kDisplayWidth - Width) / 2;
    SetZ(1);
}

void TButtonSprite::SetImages(const std::string& imagePrefix) {
    const platform::ImageList& images = shell::MainForm->ImageList;
    NormalImage = &images.Find(imagePrefix + "_Normal");
    ActiveImage = &images.Find(imagePrefix + "_Active");
}

void TButtonSprite::HandleKey(uint16_t) {}

void TButtonSprite::Step(int) {
    if (Highlight == kNormal) {
        Image = NormalImage;
        if (Indicator) Indicator->Image = Indicator->NormalImage;
    } else if (Highlight == kActive) {
        Image = ActiveImage;
        if (Indicator) Indicator->Image = Indicator->ActiveImage;
    }
}

}  // namespace widgets

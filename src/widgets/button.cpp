#include "widgets/button.h"

#include "game/services.h"
#include "platform/platform.h"
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
    game::TServices& services = game::Services();
    NormalImage = &services.Image(imagePrefix + "_Normal");
    ActiveImage = &services.Image(imagePrefix + "_Active");
}

void TButtonSprite::HandleKey(uint16_t key) {
    if (key == platform::vk::Enter && OnEnter) OnEnter();
}

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

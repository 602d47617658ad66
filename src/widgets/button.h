// Picture buttons of the menu screens. The selected button shows its active
// picture; every key pressed on a menu screen goes to the selected button,
// which decides by itself what the key means. What a button does to the
// rest of the game is wired in by the screen that makes it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "engine/image_sprite.h"

namespace widgets {

class TIndicator;

class TButtonSprite : public engine::TImageSprite {
public:
    static constexpr uint8_t kNormal = 0;
    static constexpr uint8_t kActive = 2;

    // Looks up "<prefix>_Normal" and "<prefix>_Active" and centres itself on
    // the 800-pixel display.
    TButtonSprite(engine::TSprite* parent, const std::string& imagePrefix);

    // Enter runs OnEnter.
    virtual void HandleKey(uint16_t key);
    // Shows the picture that Highlight asks for; buttons have no animation.
    void Step(int moveCount) override;

    // Looks the pictures up again, for buttons whose face follows a setting.
    void SetImages(const std::string& imagePrefix);

    uint8_t Highlight = kNormal;
    TIndicator* Indicator = nullptr;
    const media::ImageEntry* NormalImage = nullptr;
    const media::ImageEntry* ActiveImage = nullptr;
    std::function<void()> OnEnter;
};

}  // namespace widgets

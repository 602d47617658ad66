// Markers that slide along a 180-pixel track on the options screen to show
// the music volume, the sound volume and the game speed.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>

#include "engine/image_sprite.h"
#include "platform/clock.h"

namespace widgets {

class TIndicator : public engine::TImageSprite {
public:
    static constexpr double kTrackLength = 180.0;

    TIndicator(engine::TSprite* parent, int baseX, int baseY);

    const media::ImageEntry* NormalImage = nullptr;
    const media::ImageEntry* ActiveImage = nullptr;
    int BaseX;
    int BaseY;
};

// Louder music moves right: the value is an attenuation, 255 silent.
class TMidiIndicator : public TIndicator {
public:
    TMidiIndicator(engine::TSprite* parent, int baseX, int baseY, std::function<uint8_t()> attenuation)
        : TIndicator(parent, baseX, baseY), attenuation_(std::move(attenuation)) {}
    void Step(int moveCount) override;

private:
    std::function<uint8_t()> attenuation_;
};

// -10000 (silent) at the left end to 0 (full) at the right.
class TWaveIndicator : public TIndicator {
public:
    using TIndicator::TIndicator;
    void Step(int moveCount) override;
};

// The frame interval: 100 ms (slowest) at the left end, 0 at the right.
class TSpeedIndicator : public TIndicator {
public:
    TSpeedIndicator(engine::TSprite* parent, int baseX, int baseY, const platform::FrameClock& clock)
        : TIndicator(parent, baseX, baseY), clock_(clock) {}
    void Step(int moveCount) override;

private:
    const platform::FrameClock& clock_;
};

}  // namespace widgets

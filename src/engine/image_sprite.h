// A sprite drawn from one picture entry, optionally animated through a run of
// its patterns.
#pragma once

#include "engine/sprite.h"
#include "media/image.h"

namespace engine {

class TImageSprite : public TSprite {
public:
    explicit TImageSprite(TSprite* parent);

    // Draws pattern trunc(FramePos) + FirstPattern centred in the bounds.
    void Paint() override;
    // Advances FramePos by FrameSpeed x moveCount: a looping animation wraps
    // into 0 .. FrameCount, a one-shot one stops on its last frame.
    void Step(int moveCount) override;

    int FrameCount = 0;
    bool Looping = false;
    double FramePos = 0.0;
    double FrameSpeed = 0.0;
    int FirstPattern = 0;
    // Belongs to the picture catalogue; null draws nothing.
    const media::ImageEntry* Image = nullptr;
};

}  // namespace engine

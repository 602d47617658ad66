#include "engine/image_sprite.h"

namespace engine {

TImageSprite::TImageSprite(TSprite* parent) : TSprite(parent) {}

void TImageSprite::Paint() {
    if (Image == nullptr || Engine == nullptr || Engine->Surface() == nullptr) return;
    const int pattern = static_cast<int>(FramePos) + FirstPattern;
    // Out of range the picture draws nothing, wherever it would have gone.
    if (pattern < 0 || pattern >= Image->PatternCount()) return;
    const media::Rect r = GetBounds();
    // A picture of another size than the bounds is centred on them.
    const int x = r.left + (r.Width() - Image->PatternWidth()) / 2;
    const int y = r.top + (r.Height() - Image->PatternHeight()) / 2;
    Image->Draw(*Engine->Surface(), x, y, pattern);
}

void TImageSprite::Step(int moveCount) {
    FramePos += FrameSpeed * moveCount;
    if (Looping) {
        if (FrameCount > 0) {
            FramePos -= FrameCount * (static_cast<int>(FramePos) / FrameCount);
            if (FramePos < 0) FramePos += FrameCount;
        } else {
            FramePos = 0;
        }
    } else {
        if (FramePos >= FrameCount) {
            FramePos = FrameCount - 1;
            FrameSpeed = 0;
        }
        if (FramePos < 0) {
            FramePos = 0;
            FrameSpeed = 0;
        }
    }
}

}  // namespace engine

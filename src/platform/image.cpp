#include "platform/image.h"

#include <algorithm>

namespace platform {

ImageEntry::ImageEntry(std::string name, std::shared_ptr<const Picture> picture)
    : name_(std::move(name)), picture_(std::move(picture)) {}

int ImageEntry::PatternWidth() const {
    const int whole = PictureWidth();
    return (patternWidth_ > 0 && patternWidth_ < whole) ? patternWidth_ : whole;
}

int ImageEntry::PatternHeight() const {
    const int whole = PictureHeight();
    return (patternHeight_ > 0 && patternHeight_ < whole) ? patternHeight_ : whole;
}

int ImageEntry::PatternCount() const {
    const int pw = PatternWidth();
    const int ph = PatternHeight();
    if (pw <= 0 || ph <= 0) return 0;
    return (PictureWidth() / pw) * (PictureHeight() / ph);
}

void ImageEntry::Draw(Surface& target, int x, int y, int pattern) const {
    if (!picture_ || pattern < 0 || pattern >= PatternCount()) return;
    const int pw = PatternWidth();
    const int ph = PatternHeight();
    const int perRow = PictureWidth() / pw;
    const int srcX = (pattern % perRow) * pw;
    const int srcY = (pattern / perRow) * ph;

    const int x0 = std::max(x, 0);
    const int y0 = std::max(y, 0);
    const int x1 = std::min(x + pw, target.Width());
    const int y1 = std::min(y + ph, target.Height());
    for (int ty = y0; ty < y1; ++ty) {
        const uint16_t* src = picture_->Row(srcY + ty - y) + srcX + (x0 - x);
        uint16_t* dst = target.Row(ty) + x0;
        // A select instead of a branch, so the compiler can blend whole
        // vectors of pixels; transparent pixels write back what was there.
        const int n = x1 - x0;
        for (int i = 0; i < n; ++i) dst[i] = src[i] != 0 ? src[i] : dst[i];
    }
}

}  // namespace platform

#include "media/image.h"

#include <algorithm>

namespace media {

namespace {

// AVX2 blends twice the pixels per instruction where the processor has it.
#if defined(__GNUC__) && defined(__x86_64__)
#define MUNCHORA_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define MUNCHORA_VECTOR_CLONES
#endif

// Colour 0 is transparent. A select instead of a branch lets the compiler
// blend whole vectors of pixels; transparent pixels write back what was there.
MUNCHORA_VECTOR_CLONES void BlendRow(const uint16_t* __restrict src, uint16_t* __restrict dst, int n) {
    for (int i = 0; i < n; ++i) dst[i] = src[i] != 0 ? src[i] : dst[i];
}

// Rows of a pattern lie a whole surface row apart, so each one starts on cache
// lines of its own: ask for them a few rows early.
constexpr int kPrefetchRows = 4;

}  // namespace

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
    if (x0 >= x1 || y0 >= y1) return;  // wholly off the target
    for (int ty = y0; ty < y1; ++ty) {
        const uint16_t* src = picture_->Row(srcY + ty - y) + srcX + (x0 - x);
        uint16_t* dst = target.Row(ty) + x0;
        if (ty + kPrefetchRows < y1) {
            __builtin_prefetch(target.Row(ty + kPrefetchRows) + x0, 1);
            __builtin_prefetch(target.Row(ty + kPrefetchRows) + x1 - 1, 1);
        }
        BlendRow(src, dst, x1 - x0);
    }
}

}  // namespace media

// The display surface: an 800 x 600 picture of 16-bit RGB565 pixels that
// every frame is drawn into. Pure memory; a backend presents it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace media {

// Rectangles are (left, top, right, bottom) with right and bottom exclusive.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Empty() const { return right <= left || bottom <= top; }
};

// Two rectangles overlap only when they share a pixel; touching edges do not.
inline bool Overlaps(const Rect& a, const Rect& b) {
    return a.left < b.right && a.right > b.left && a.top < b.bottom && a.bottom > b.top;
}

// 24-bit colour as the game writes it: $00BBGGRR.
using Colour = uint32_t;

inline uint16_t ToRgb565(uint8_t r, uint8_t g, uint8_t b) {
    return static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

inline uint16_t ColourToRgb565(Colour c) { return ToRgb565(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

class Surface {
public:
    Surface(int width, int height) : width_(width), height_(height), pixels_(size_t(width) * height, 0) {}

    int Width() const { return width_; }
    int Height() const { return height_; }
    uint16_t* Row(int y) { return pixels_.data() + size_t(y) * width_; }
    const uint16_t* Row(int y) const { return pixels_.data() + size_t(y) * width_; }
    const uint16_t* Pixels() const { return pixels_.data(); }
    uint16_t* Pixels() { return pixels_.data(); }

    void Fill(uint16_t colour) { std::fill(pixels_.begin(), pixels_.end(), colour); }

private:
    int width_;
    int height_;
    std::vector<uint16_t> pixels_;
};

}  // namespace media

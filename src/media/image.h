// Pictures and the named picture catalogue. A picture is cut into equal
// patterns numbered row by row from 0; leftover pixels at the right and
// bottom form no pattern. Colour 0 (black) is transparent when drawing.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "media/surface.h"

namespace media {

// A decoded picture in the display's pixel format.
class Picture {
public:
    Picture(int width, int height, std::vector<uint16_t> pixels)
        : width_(width), height_(height), pixels_(std::move(pixels)) {}

    int Width() const { return width_; }
    int Height() const { return height_; }
    const uint16_t* Row(int y) const { return pixels_.data() + size_t(y) * width_; }

private:
    int width_;
    int height_;
    std::vector<uint16_t> pixels_;
};

// One named entry of the picture catalogue.
class ImageEntry {
public:
    ImageEntry(std::string name, std::shared_ptr<const Picture> picture);

    const std::string& Name() const { return name_; }
    int PictureWidth() const { return picture_ ? picture_->Width() : 0; }
    int PictureHeight() const { return picture_ ? picture_->Height() : 0; }

    // 0 or less, or not smaller than the picture: the whole picture.
    void SetPatternWidth(int w) { patternWidth_ = w; }
    void SetPatternHeight(int h) { patternHeight_ = h; }
    int PatternWidth() const;
    int PatternHeight() const;
    int PatternCount() const;

    // A pattern number out of range draws nothing.
    void Draw(Surface& target, int x, int y, int pattern) const;

private:
    std::string name_;
    std::shared_ptr<const Picture> picture_;
    int patternWidth_ = 0;
    int patternHeight_ = 0;
};

}  // namespace media

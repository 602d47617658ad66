// A floating-point RGBA canvas with anti-aliased shape drawing.
//
// Shapes are signed distance functions (negative inside) in "drawing units";
// a transform maps drawing units to pixels, so the same actor code draws a
// 32 x 32 sprite or a large figure for the title picture.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace assetgen {

struct Rgb {
    float r = 0, g = 0, b = 0;
};

Rgb MakeRgb(int r, int g, int b);
Rgb Mix(Rgb a, Rgb b, float t);
Rgb Scale(Rgb c, float k);

struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;
};

using Sdf = std::function<float(float x, float y)>;
using Paint = std::function<Rgb(float x, float y)>;

// Shape building blocks, all in drawing units.
namespace shape {
Sdf Circle(float cx, float cy, float r);
Sdf Ellipse(float cx, float cy, float rx, float ry);
Sdf Box(float cx, float cy, float hw, float hh, float radius = 0);
Sdf Segment(float ax, float ay, float bx, float by, float r);
Sdf Polygon(std::vector<float> xy);
Sdf Union(Sdf a, Sdf b);
Sdf Intersect(Sdf a, Sdf b);
Sdf Subtract(Sdf a, Sdf b);
Sdf Offset(Sdf a, float d);
Sdf Move(Sdf a, float dx, float dy);
// Rotates the shape by `angle` radians around (cx, cy).
Sdf Rotate(Sdf a, float cx, float cy, float angle);
}  // namespace shape

Paint Solid(Rgb c);
// A linear gradient from (x0, y0) in colour a to (x1, y1) in colour b.
Paint Linear(float x0, float y0, Rgb a, float x1, float y1, Rgb b);
// A radial gradient: colour a at (cx, cy), colour b at distance r and beyond.
Paint Radial(float cx, float cy, float r, Rgb a, Rgb b);

// A single-channel coverage image (text, glow masks).
class Mask {
public:
    Mask() = default;
    Mask(int w, int h) : w_(w), h_(h), v_(size_t(w) * h, 0.f) {}
    int Width() const { return w_; }
    int Height() const { return h_; }
    float& At(int x, int y) { return v_[size_t(y) * w_ + x]; }
    float At(int x, int y) const { return v_[size_t(y) * w_ + x]; }
    float Get(int x, int y) const { return (x < 0 || y < 0 || x >= w_ || y >= h_) ? 0.f : At(x, y); }
    // A copy with `pad` empty pixels on every side.
    Mask Padded(int pad) const;
    // Grows the covered area by r pixels (round brush).
    Mask Dilated(float r) const;
    // Three box-blur passes of radius r approximate a Gaussian.
    Mask Blurred(int r) const;

private:
    int w_ = 0, h_ = 0;
    std::vector<float> v_;
};

class Canvas {
public:
    Canvas() = default;
    Canvas(int w, int h);

    int Width() const { return w_; }
    int Height() const { return h_; }
    Rgba& At(int x, int y) { return px_[size_t(y) * w_ + x]; }
    const Rgba& At(int x, int y) const { return px_[size_t(y) * w_ + x]; }

    // Source-over blending of one pixel.
    void Blend(int x, int y, Rgb c, float a);
    void FillRect(int x, int y, int w, int h, Rgb c, float a = 1.f);

    // Drawing units -> pixels: px = x * scale + ox.
    void SetTransform(float ox, float oy, float scale);
    float Ox() const { return ox_; }
    float Oy() const { return oy_; }
    float ScaleFactor() const { return s_; }

    void Fill(const Sdf& s, const Paint& p, float opacity = 1.f);
    void Fill(const Sdf& s, Rgb c, float opacity = 1.f) { Fill(s, Solid(c), opacity); }
    // A band of `width` drawing units centred on the outline.
    void Stroke(const Sdf& s, float width, Rgb c, float opacity = 1.f);
    // A soft halo outside the shape fading over `radius` drawing units.
    void Glow(const Sdf& s, float radius, Rgb c, float strength);
    // Keeps only the share `keep` (0..1) of the pixels inside the shape in an
    // ordered pattern: see-through looks when black is the transparent colour.
    // `phase` shifts the pattern (0.5 is a checkerboard that flips with phase).
    void DitherOut(const Sdf& s, float keep, int phase = 0);
    // A glow made of opaque pixels in an ordered pattern that thins out with
    // distance, for sprites that cannot have partly transparent pixels.
    void Halo(const Sdf& s, float radius, Rgb c, float strength);
    // Clears everything inside the shape.
    void Erase(const Sdf& s);

    void DrawMask(const Mask& m, int x, int y, const Paint& p, float opacity = 1.f);
    void Blit(const Canvas& src, int x, int y, float opacity = 1.f);
    // Nearest-neighbour or box-filtered scaling for previews and large figures.
    Canvas Scaled(float k) const;
    Canvas Crop(int x, int y, int w, int h) const;

    // 24-bit rows top-down. Keyed (sprites shown over anything): alpha below
    // one half becomes black, the transparent colour, and an opaque pixel never
    // becomes black, even on a 16-bit display. Over black (pictures shown on a
    // black screen): composited over black, and what a 16-bit display would
    // show as black is written as black.
    std::vector<uint8_t> ToRgb24(bool overBlack = false) const;

private:
    template <class F>
    void ForPixels(const F& f);

    int w_ = 0, h_ = 0;
    std::vector<Rgba> px_;
    float ox_ = 0, oy_ = 0, s_ = 1;
};

}  // namespace assetgen

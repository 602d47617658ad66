#include "canvas.h"

#include <algorithm>
#include <cmath>

namespace assetgen {

Rgb MakeRgb(int r, int g, int b) { return Rgb{float(r), float(g), float(b)}; }

Rgb Mix(Rgb a, Rgb b, float t) {
    return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb Scale(Rgb c, float k) { return Rgb{c.r * k, c.g * k, c.b * k}; }

namespace shape {

Sdf Circle(float cx, float cy, float r) {
    return [=](float x, float y) { return std::hypot(x - cx, y - cy) - r; };
}

Sdf Ellipse(float cx, float cy, float rx, float ry) {
    return [=](float x, float y) {
        const float nx = (x - cx) / rx, ny = (y - cy) / ry;
        const float k = std::hypot(nx, ny);
        // Scaled by the gradient length, a good approximation near the edge.
        const float gx = nx / rx, gy = ny / ry;
        const float g = std::hypot(gx, gy);
        if (g < 1e-6f) return -std::min(rx, ry);
        return (k - 1.f) * k / g;
    };
}

Sdf Box(float cx, float cy, float hw, float hh, float radius) {
    return [=](float x, float y) {
        const float qx = std::fabs(x - cx) - hw + radius;
        const float qy = std::fabs(y - cy) - hh + radius;
        const float outside = std::hypot(std::max(qx, 0.f), std::max(qy, 0.f));
        return outside + std::min(std::max(qx, qy), 0.f) - radius;
    };
}

Sdf Segment(float ax, float ay, float bx, float by, float r) {
    return [=](float x, float y) {
        const float px = x - ax, py = y - ay, dx = bx - ax, dy = by - ay;
        const float len2 = dx * dx + dy * dy;
        const float t = len2 > 0 ? std::clamp((px * dx + py * dy) / len2, 0.f, 1.f) : 0.f;
        return std::hypot(px - dx * t, py - dy * t) - r;
    };
}

Sdf Polygon(std::vector<float> v) {
    return [v = std::move(v)](float x, float y) {
        const size_t n = v.size() / 2;
        float d = 1e30f;
        bool inside = false;
        for (size_t i = 0, j = n - 1; i < n; j = i++) {
            const float ax = v[2 * j], ay = v[2 * j + 1], bx = v[2 * i], by = v[2 * i + 1];
            const float ex = bx - ax, ey = by - ay, wx = x - ax, wy = y - ay;
            const float len2 = ex * ex + ey * ey;
            const float t = len2 > 0 ? std::clamp((wx * ex + wy * ey) / len2, 0.f, 1.f) : 0.f;
            d = std::min(d, std::hypot(wx - ex * t, wy - ey * t));
            if ((ay > y) != (by > y) && x < ax + (y - ay) * ex / ey) inside = !inside;
        }
        return inside ? -d : d;
    };
}

Sdf Union(Sdf a, Sdf b) {
    return [=](float x, float y) { return std::min(a(x, y), b(x, y)); };
}
Sdf Intersect(Sdf a, Sdf b) {
    return [=](float x, float y) { return std::max(a(x, y), b(x, y)); };
}
Sdf Subtract(Sdf a, Sdf b) {
    return [=](float x, float y) { return std::max(a(x, y), -b(x, y)); };
}
Sdf Offset(Sdf a, float d) {
    return [=](float x, float y) { return a(x, y) - d; };
}
Sdf Move(Sdf a, float dx, float dy) {
    return [=](float x, float y) { return a(x - dx, y - dy); };
}
Sdf Rotate(Sdf a, float cx, float cy, float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    return [=](float x, float y) {
        const float dx = x - cx, dy = y - cy;
        return a(cx + dx * c + dy * s, cy - dx * s + dy * c);
    };
}

}  // namespace shape

Paint Solid(Rgb c) {
    return [c](float, float) { return c; };
}

Paint Linear(float x0, float y0, Rgb a, float x1, float y1, Rgb b) {
    const float dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
    return [=](float x, float y) {
        const float t = len2 > 0 ? std::clamp(((x - x0) * dx + (y - y0) * dy) / len2, 0.f, 1.f) : 0.f;
        return Mix(a, b, t);
    };
}

Paint Radial(float cx, float cy, float r, Rgb a, Rgb b) {
    return [=](float x, float y) { return Mix(a, b, std::clamp(std::hypot(x - cx, y - cy) / r, 0.f, 1.f)); };
}

// ---------------------------------------------------------------- Mask

Mask Mask::Padded(int pad) const {
    Mask m(w_ + 2 * pad, h_ + 2 * pad);
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x) m.At(x + pad, y + pad) = At(x, y);
    return m;
}

Mask Mask::Dilated(float r) const {
    Mask m(w_, h_);
    const int ir = int(std::ceil(r));
    std::vector<std::pair<int, int>> offs;
    std::vector<float> weight;
    for (int dy = -ir; dy <= ir; ++dy)
        for (int dx = -ir; dx <= ir; ++dx) {
            const float d = std::hypot(float(dx), float(dy));
            if (d <= r + 0.5f) {
                offs.emplace_back(dx, dy);
                weight.push_back(std::clamp(r + 0.5f - d, 0.f, 1.f));
            }
        }
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x) {
            float best = 0;
            for (size_t i = 0; i < offs.size() && best < 1.f; ++i)
                best = std::max(best, Get(x + offs[i].first, y + offs[i].second) * weight[i]);
            m.At(x, y) = best;
        }
    return m;
}

Mask Mask::Blurred(int r) const {
    Mask cur = *this;
    for (int pass = 0; pass < 3; ++pass) {
        Mask tmp(w_, h_);
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x) {
                float s = 0;
                for (int k = -r; k <= r; ++k) s += cur.Get(x + k, y);
                tmp.At(x, y) = s / float(2 * r + 1);
            }
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x) {
                float s = 0;
                for (int k = -r; k <= r; ++k) s += tmp.Get(x, y + k);
                cur.At(x, y) = s / float(2 * r + 1);
            }
    }
    return cur;
}

// ---------------------------------------------------------------- Canvas

Canvas::Canvas(int w, int h) : w_(w), h_(h), px_(size_t(w) * h) {}

void Canvas::Blend(int x, int y, Rgb c, float a) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_ || a <= 0.f) return;
    a = std::min(a, 1.f);
    Rgba& d = At(x, y);
    const float outA = a + d.a * (1.f - a);
    if (outA <= 0.f) return;
    const float k = d.a * (1.f - a);
    d.r = (c.r * a + d.r * k) / outA;
    d.g = (c.g * a + d.g * k) / outA;
    d.b = (c.b * a + d.b * k) / outA;
    d.a = outA;
}

void Canvas::FillRect(int x, int y, int w, int h, Rgb c, float a) {
    for (int yy = y; yy < y + h; ++yy)
        for (int xx = x; xx < x + w; ++xx) Blend(xx, yy, c, a);
}

void Canvas::SetTransform(float ox, float oy, float scale) {
    ox_ = ox;
    oy_ = oy;
    s_ = scale;
}

// Calls f(px, py, ux, uy) for every pixel with its centre in drawing units,
// skipping 8 x 8 blocks that a shape cannot reach (see the callers' cull).
template <class F>
void Canvas::ForPixels(const F& f) {
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x) f(x, y, (x + 0.5f - ox_) / s_, (y + 0.5f - oy_) / s_);
}

namespace {
constexpr int kBlock = 8;
// True when the block of pixels around (bx, by) may lie within `reach` pixels of the shape.
bool BlockNear(const Sdf& s, float ux, float uy, float scale, float reach) {
    // Distances of the approximate shapes may be off by up to a factor of two.
    return s(ux, uy) * scale < 2.f * (kBlock * 0.7072f + reach) + 1.f;
}
}  // namespace

void Canvas::Fill(const Sdf& s, const Paint& p, float opacity) {
    for (int by = 0; by < h_; by += kBlock)
        for (int bx = 0; bx < w_; bx += kBlock) {
            const float cx = (bx + kBlock * 0.5f - ox_) / s_, cy = (by + kBlock * 0.5f - oy_) / s_;
            if (!BlockNear(s, cx, cy, s_, 1.f)) continue;
            for (int y = by; y < std::min(by + kBlock, h_); ++y)
                for (int x = bx; x < std::min(bx + kBlock, w_); ++x) {
                    const float ux = (x + 0.5f - ox_) / s_, uy = (y + 0.5f - oy_) / s_;
                    const float cov = std::clamp(0.5f - s(ux, uy) * s_, 0.f, 1.f);
                    if (cov > 0.f) Blend(x, y, p(ux, uy), cov * opacity);
                }
        }
}

void Canvas::Stroke(const Sdf& s, float width, Rgb c, float opacity) {
    const float half = width * 0.5f;
    Fill([s, half](float x, float y) { return std::fabs(s(x, y)) - half; }, Solid(c), opacity);
}

void Canvas::Glow(const Sdf& s, float radius, Rgb c, float strength) {
    const float reach = radius * s_;
    for (int by = 0; by < h_; by += kBlock)
        for (int bx = 0; bx < w_; bx += kBlock) {
            const float cx = (bx + kBlock * 0.5f - ox_) / s_, cy = (by + kBlock * 0.5f - oy_) / s_;
            if (!BlockNear(s, cx, cy, s_, reach)) continue;
            for (int y = by; y < std::min(by + kBlock, h_); ++y)
                for (int x = bx; x < std::min(bx + kBlock, w_); ++x) {
                    const float d = s((x + 0.5f - ox_) / s_, (y + 0.5f - oy_) / s_);
                    if (d < 0.f || d > radius) continue;
                    const float t = 1.f - d / radius;
                    Blend(x, y, c, strength * t * t);
                }
        }
}

namespace {
// 4 x 4 ordered-dither thresholds in (0, 1).
float Bayer(int x, int y) {
    static const int m[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    return (float(m[y & 3][x & 3]) + 0.5f) / 16.f;
}
}  // namespace

void Canvas::DitherOut(const Sdf& s, float keep, int phase) {
    ForPixels([&](int x, int y, float ux, float uy) {
        if (Bayer(x + phase, y) >= keep && s(ux, uy) * s_ < 0.5f) At(x, y) = Rgba{};
    });
}

void Canvas::Halo(const Sdf& s, float radius, Rgb c, float strength) {
    ForPixels([&](int x, int y, float ux, float uy) {
        const float d = s(ux, uy);
        if (d <= 0.f || d > radius || At(x, y).a >= 0.5f) return;
        const float level = strength * (1.f - d / radius);
        if (level > Bayer(x, y))
            At(x, y) = Rgba{c.r * (0.5f + 0.5f * level), c.g * (0.5f + 0.5f * level),
                            c.b * (0.5f + 0.5f * level), 1.f};
    });
}

void Canvas::Erase(const Sdf& s) {
    ForPixels([&](int x, int y, float ux, float uy) {
        const float cov = std::clamp(0.5f - s(ux, uy) * s_, 0.f, 1.f);
        At(x, y).a *= 1.f - cov;
    });
}

void Canvas::DrawMask(const Mask& m, int x0, int y0, const Paint& p, float opacity) {
    for (int y = 0; y < m.Height(); ++y)
        for (int x = 0; x < m.Width(); ++x) {
            const float a = m.At(x, y);
            if (a > 0.f) Blend(x0 + x, y0 + y, p(float(x0 + x), float(y0 + y)), a * opacity);
        }
}

void Canvas::Blit(const Canvas& src, int x0, int y0, float opacity) {
    for (int y = 0; y < src.h_; ++y)
        for (int x = 0; x < src.w_; ++x) {
            const Rgba& s = src.At(x, y);
            if (s.a > 0.f) Blend(x0 + x, y0 + y, Rgb{s.r, s.g, s.b}, s.a * opacity);
        }
}

Canvas Canvas::Scaled(float k) const {
    const int w = std::max(1, int(std::lround(w_ * k))), h = std::max(1, int(std::lround(h_ * k)));
    Canvas out(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (k >= 1.f) {
                out.At(x, y) = At(std::min(w_ - 1, int(x / k)), std::min(h_ - 1, int(y / k)));
                continue;
            }
            // Box filter over the source pixels that this pixel covers.
            const int sx0 = int(x / k), sx1 = std::min(w_, std::max(sx0 + 1, int((x + 1) / k)));
            const int sy0 = int(y / k), sy1 = std::min(h_, std::max(sy0 + 1, int((y + 1) / k)));
            Rgba acc;
            int n = 0;
            for (int sy = sy0; sy < sy1; ++sy)
                for (int sx = sx0; sx < sx1; ++sx, ++n) {
                    const Rgba& s = At(sx, sy);
                    acc.r += s.r * s.a;
                    acc.g += s.g * s.a;
                    acc.b += s.b * s.a;
                    acc.a += s.a;
                }
            if (acc.a > 0) out.At(x, y) = Rgba{acc.r / acc.a, acc.g / acc.a, acc.b / acc.a, acc.a / float(n)};
        }
    return out;
}

Canvas Canvas::Crop(int x0, int y0, int w, int h) const {
    Canvas out(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (x0 + x >= 0 && y0 + y >= 0 && x0 + x < w_ && y0 + y < h_) out.At(x, y) = At(x0 + x, y0 + y);
    return out;
}

std::vector<uint8_t> Canvas::ToRgb24(bool overBlack) const {
    std::vector<uint8_t> out(size_t(w_) * h_ * 3, 0);
    for (size_t i = 0; i < px_.size(); ++i) {
        const Rgba& p = px_[i];
        const float k = overBlack ? p.a : 1.f;
        if (!overBlack && p.a < 0.5f) continue;
        auto q = [k](float v) { return uint8_t(std::clamp(int(std::lround(v * k)), 0, 255)); };
        uint8_t r = q(p.r), g = q(p.g), b = q(p.b);
        // RGB565 keeps the top 5/6/5 bits: anything darker shows as black.
        if (r < 8 && g < 4 && b < 8) {
            if (overBlack) continue;
            r = g = b = 8;
        }
        out[i * 3] = r;
        out[i * 3 + 1] = g;
        out[i * 3 + 2] = b;
    }
    return out;
}

}  // namespace assetgen

#include "engine/background_sprite.h"

#include <algorithm>

namespace engine {

namespace {

// A mod that is never negative, for repeating the map in both directions.
int WrapIndex(int i, int n) {
    const int m = i % n;
    return m < 0 ? m + n : m;
}

}  // namespace

TBackgroundSprite::TBackgroundSprite(TSprite* parent) : TSprite(parent) { CanCollide = false; }

media::Rect TBackgroundSprite::GetBounds() const {
    if (Wrap) return Engine != nullptr ? Engine->SurfaceRect() : media::Rect{};
    if (Image == nullptr) return {};
    const int left = static_cast<int>(AbsX());
    const int top = static_cast<int>(AbsY());
    return {left, top, left + Image->PatternWidth() * mapWidth_, top + Image->PatternHeight() * mapHeight_};
}

void TBackgroundSprite::SetMapSize(int width, int height) {
    if (width == mapWidth_ && height == mapHeight_) return;
    if (width <= 0 || height <= 0) width = height = 0;
    cells_.assign(static_cast<size_t>(width) * height, 0);
    mapWidth_ = width;
    mapHeight_ = height;
}

int TBackgroundSprite::Cells(int x, int y) const {
    if (x < 0 || x >= mapWidth_ || y < 0 || y >= mapHeight_) return -1;
    return cells_[static_cast<size_t>(y) * mapWidth_ + x];
}

void TBackgroundSprite::SetCell(int x, int y, int pattern) {
    if (x < 0 || x >= mapWidth_ || y < 0 || y >= mapHeight_) return;
    cells_[static_cast<size_t>(y) * mapWidth_ + x] = pattern;
}

// Map cell (m, n) lies at (ax + m w, ay + n h). The loops run over surface
// columns c and rows r instead, the cell in column c being c - qx, so only
// cells on or next to the surface are visited.
void TBackgroundSprite::Paint() {
    if (Image == nullptr || Engine == nullptr || Engine->Surface() == nullptr) return;
    if (mapWidth_ <= 0 || mapHeight_ <= 0) return;
    const int w = Image->PatternWidth();
    const int h = Image->PatternHeight();
    // A picture without patterns has no cell size to lay out.
    if (w <= 0 || h <= 0) return;
    media::Surface& surface = *Engine->Surface();

    const int ax = static_cast<int>(AbsX());
    const int ay = static_cast<int>(AbsY());
    const int qx = ax / w;
    const int qy = ay / h;
    const int ox = ax - qx * w;  // sign of ax
    const int oy = ay - qy * h;
    const int cw = (surface.Width() + w) / w + 1;
    const int ch = (surface.Height() + h) / h + 1;

    if (Wrap) {
        for (int r = -1; r <= ch; ++r) {
            const int* row = &cells_[static_cast<size_t>(WrapIndex(r - qy, mapHeight_)) * mapWidth_];
            for (int c = -1; c <= cw; ++c) {
                const int pattern = row[WrapIndex(c - qx, mapWidth_)];
                if (pattern >= 0) Image->Draw(surface, c * w + ox, r * h + oy, pattern);
            }
        }
        return;
    }
    const int c0 = std::max(qx, 0);
    const int c1 = std::min(qx + mapWidth_, cw);
    const int r0 = std::max(qy, 0);
    const int r1 = std::min(qy + mapHeight_, ch);
    for (int r = r0; r < r1; ++r) {
        const int* row = &cells_[static_cast<size_t>(r - qy) * mapWidth_];
        for (int c = c0; c < c1; ++c) {
            const int pattern = row[c - qx];
            if (pattern >= 0) Image->Draw(surface, c * w + ox, r * h + oy, pattern);
        }
    }
}

}  // namespace engine

// A map of cells, each drawn with one pattern of one picture entry; with Wrap
// the map repeats over the whole surface.
#pragma once

#include <vector>

#include "engine/sprite.h"
#include "media/image.h"

namespace engine {

class TBackgroundSprite : public TSprite {
public:
    explicit TBackgroundSprite(TSprite* parent);

    void Paint() override;
    // With Wrap the whole surface; otherwise the map's area, empty without
    // an image.
    media::Rect GetBounds() const override;

    // Resizes the map and sets every cell to pattern 0; a size of 0 or less
    // in either direction gives an empty map.
    void SetMapSize(int width, int height);
    int MapWidth() const { return mapWidth_; }
    int MapHeight() const { return mapHeight_; }
    // Pattern number of a cell, negative for an empty one; -1 outside the map.
    int Cells(int x, int y) const;
    // Writes outside the map are ignored.
    void SetCell(int x, int y, int pattern);

    // Belongs to the picture catalogue; null draws nothing.
    const media::ImageEntry* Image = nullptr;
    bool Wrap = false;

private:
    int mapWidth_ = 0;
    int mapHeight_ = 0;
    std::vector<int> cells_;  // row by row
};

}  // namespace engine

// Where the 800 x 600 picture goes in a window or screen of another size: as
// large as fits with its aspect kept. Where the output holds it twice or
// more, by a whole factor, so pixels stay square and sharp; below that the
// picture fills the height or width exactly. Black bars fill the rest.
#pragma once

namespace platform {

struct Placement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    // 1x, 2x, 3x...: every pixel of the picture becomes a square of pixels.
    bool WholeFactor() const;
};

Placement PlacePicture(int outputWidth, int outputHeight);

}  // namespace platform

#include "platform/placement.h"

#include <algorithm>

#include "platform/platform.h"

namespace platform {

bool Placement::WholeFactor() const {
    return width > 0 && width % kDisplayWidth == 0 && height == width / kDisplayWidth * kDisplayHeight;
}

Placement PlacePicture(int outputWidth, int outputHeight) {
    Placement placement;
    if (outputWidth <= 0 || outputHeight <= 0) return placement;
    const int wholeFactor = std::min(outputWidth / kDisplayWidth, outputHeight / kDisplayHeight);
    if (wholeFactor >= 2 || (outputWidth == kDisplayWidth && outputHeight == kDisplayHeight)) {
        placement.width = kDisplayWidth * wholeFactor;
        placement.height = kDisplayHeight * wholeFactor;
    } else if (outputWidth * kDisplayHeight <= outputHeight * kDisplayWidth) {
        placement.width = outputWidth;
        placement.height = outputWidth * kDisplayHeight / kDisplayWidth;
    } else {
        placement.height = outputHeight;
        placement.width = outputHeight * kDisplayWidth / kDisplayHeight;
    }
    placement.x = (outputWidth - placement.width) / 2;
    placement.y = (outputHeight - placement.height) / 2;
    return placement;
}

}  // namespace platform

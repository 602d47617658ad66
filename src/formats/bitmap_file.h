// Windows bitmap files, read without any media library so that every backend
// (desktop, headless, browser) sees the same pixels and refuses the same
// files: 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed or with colour
// masks, bottom-up or top-down, with the old and the newer headers.
// Run-length compressed files are refused.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace formats {

struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // 3 bytes a pixel, rows from the top
};

// nullopt for anything that is not a whole, readable bitmap.
std::optional<Bitmap> DecodeBmp(const std::vector<uint8_t>& bytes);

}  // namespace formats

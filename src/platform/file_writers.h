// 24-bit uncompressed BMP files, the format the game loads its pictures
// from: for the asset generator and for tests that make pictures.
#pragma once

#include <cstdint>
#include <vector>

namespace platform {

// `rgb` holds width x height pixels, the top row first, three bytes
// (red, green, blue) each. The file stores the rows bottom-up.
std::vector<uint8_t> EncodeBmp(int width, int height, const std::vector<uint8_t>& rgb);

}  // namespace platform

// The picture and sound files the game loads, written: 24-bit uncompressed
// BMP and 16-bit PCM WAVE, for the asset generator and for tests that make
// such files.
#pragma once

#include <cstdint>
#include <vector>

namespace formats {

// `rgb` holds width x height pixels, the top row first, three bytes
// (red, green, blue) each. The file stores the rows bottom-up.
std::vector<uint8_t> EncodeBmp(int width, int height, const std::vector<uint8_t>& rgb);

// Mono samples at `rate` per second.
std::vector<uint8_t> EncodeWav(const std::vector<int16_t>& samples, int rate);

}  // namespace formats

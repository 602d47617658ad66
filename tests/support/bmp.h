// Small 24-bit BMP files for tests that load pictures from disk.
#pragma once

#include <cstdint>
#include <string>

namespace testing_support {

// The file of a w x h picture in one colour (r, g, b).
std::string Bitmap(int w, int h, uint8_t r = 255, uint8_t g = 255, uint8_t b = 255);
// Writes such a file, making its directories.
void WriteBmp(const std::string& path, int w, int h, uint8_t r = 200, uint8_t g = 100, uint8_t b = 50);

}  // namespace testing_support

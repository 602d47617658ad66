// Writes small 24-bit BMP files for tests that load pictures from disk.
#pragma once

#include <cstdint>
#include <string>

namespace testing_support {

// A w x h picture filled with one colour (r, g, b).
void WriteBmp(const std::string& path, int w, int h, uint8_t r = 200, uint8_t g = 100, uint8_t b = 50);

}  // namespace testing_support

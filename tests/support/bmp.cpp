#include "support/bmp.h"

#include <filesystem>
#include <fstream>
#include <vector>

#include "formats/file_writers.h"

namespace testing_support {

std::string Bitmap(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
    std::vector<uint8_t> rgb;
    rgb.reserve(size_t(w) * size_t(h) * 3);
    for (int i = 0; i < w * h; ++i) rgb.insert(rgb.end(), {r, g, b});
    const std::vector<uint8_t> file = formats::EncodeBmp(w, h, rgb);
    return std::string(file.begin(), file.end());
}

void WriteBmp(const std::string& path, int w, int h, uint8_t r, uint8_t g, uint8_t b) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << Bitmap(w, h, r, g, b);
}

}  // namespace testing_support

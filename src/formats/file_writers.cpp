#include "formats/file_writers.h"

#include <cstddef>
#include <string>

namespace formats {

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

}  // namespace

std::vector<uint8_t> EncodeBmp(int width, int height, const std::vector<uint8_t>& rgb) {
    const int rowBytes = (width * 3 + 3) & ~3;
    const uint32_t dataSize = uint32_t(rowBytes) * uint32_t(height);
    std::vector<uint8_t> out;
    out.reserve(54 + dataSize);
    out.push_back('B');
    out.push_back('M');
    Put32(out, 54 + dataSize);
    Put32(out, 0);
    Put32(out, 54);  // where the pixels start
    Put32(out, 40);  // the size of the info header
    Put32(out, uint32_t(width));
    Put32(out, uint32_t(height));
    Put16(out, 1);   // planes
    Put16(out, 24);  // bits per pixel
    Put32(out, 0);   // uncompressed
    Put32(out, dataSize);
    Put32(out, 2835);  // 72 dpi
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const size_t i = (size_t(y) * size_t(width) + size_t(x)) * 3;
            out.push_back(rgb[i + 2]);
            out.push_back(rgb[i + 1]);
            out.push_back(rgb[i]);
        }
        for (int pad = width * 3; pad < rowBytes; ++pad) out.push_back(0);
    }
    return out;
}

std::vector<uint8_t> EncodeWav(const std::vector<int16_t>& samples, int rate) {
    std::vector<uint8_t> out;
    const uint32_t dataSize = uint32_t(samples.size() * 2);
    for (char c : std::string("RIFF")) out.push_back(uint8_t(c));
    Put32(out, 36 + dataSize);
    for (char c : std::string("WAVEfmt ")) out.push_back(uint8_t(c));
    Put32(out, 16);
    Put16(out, 1);  // PCM
    Put16(out, 1);  // mono
    Put32(out, uint32_t(rate));
    Put32(out, uint32_t(rate) * 2);
    Put16(out, 2);
    Put16(out, 16);
    for (char c : std::string("data")) out.push_back(uint8_t(c));
    Put32(out, dataSize);
    for (int16_t sample : samples) Put16(out, uint16_t(sample));
    return out;
}

}  // namespace formats

#include "formats/bitmap_file.h"

#include <array>
#include <bit>

namespace formats {

namespace {

constexpr uint32_t kRgb = 0;
constexpr uint32_t kBitFields = 3;

uint32_t Read16(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8;
}
uint32_t Read32(const std::vector<uint8_t>& b, size_t at) { return Read16(b, at) | Read16(b, at + 2) << 16; }

// One colour channel given by a bit mask, widened to 8 bits.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t max = 0;

    explicit Channel(uint32_t m) : mask(m) {
        if (m == 0) return;
        shift = std::countr_zero(m);
        max = m >> shift;
    }
    uint8_t Of(uint32_t pixel) const {
        if (max == 0) return 0;
        return uint8_t((((pixel & mask) >> shift) * 255 + max / 2) / max);
    }
};

}  // namespace

std::optional<Bitmap> DecodeBmp(const std::vector<uint8_t>& bytes) {
    constexpr size_t kFileHeader = 14;
    if (bytes.size() < kFileHeader + 12 || bytes[0] != 'B' || bytes[1] != 'M') return std::nullopt;
    const uint32_t dataOffset = Read32(bytes, 10);
    const uint32_t headerSize = Read32(bytes, kFileHeader);
    int64_t width = 0, height = 0;
    uint32_t bitCount = 0, compression = kRgb, coloursUsed = 0;
    size_t paletteEntry = 4;
    std::array<uint32_t, 3> masks{};
    size_t afterHeader = kFileHeader + headerSize;
    if (headerSize == 12) {  // the old header: 16-bit sizes, 3-byte palette entries
        width = Read16(bytes, kFileHeader + 4);
        height = Read16(bytes, kFileHeader + 6);
        bitCount = Read16(bytes, kFileHeader + 10);
        paletteEntry = 3;
    } else if (headerSize >= 40 && headerSize <= 124 && bytes.size() >= afterHeader) {
        width = int32_t(Read32(bytes, kFileHeader + 4));
        height = int32_t(Read32(bytes, kFileHeader + 8));
        bitCount = Read16(bytes, kFileHeader + 14);
        compression = Read32(bytes, kFileHeader + 16);
        coloursUsed = Read32(bytes, kFileHeader + 32);
        if (compression == kBitFields) {
            // The masks follow a short header and are part of a longer one.
            const size_t at = kFileHeader + 40;
            if (headerSize == 40) afterHeader += 12;
            if (bytes.size() < at + 12) return std::nullopt;
            masks = {Read32(bytes, at), Read32(bytes, at + 4), Read32(bytes, at + 8)};
        }
    } else {
        return std::nullopt;
    }
    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0) return std::nullopt;

    if (compression == kRgb) {
        if (bitCount == 16) masks = {0x7C00, 0x03E0, 0x001F};
        if (bitCount == 32) masks = {0xFF0000, 0xFF00, 0xFF};
    } else if (compression != kBitFields || (bitCount != 16 && bitCount != 32)) {
        return std::nullopt;  // run-length compressed or unknown
    }
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
        bitCount != 32) {
        return std::nullopt;
    }

    std::vector<std::array<uint8_t, 3>> palette;
    if (bitCount <= 8) {
        const uint32_t most = 1u << bitCount;
        if (coloursUsed == 0) coloursUsed = most;
        if (coloursUsed > most) return std::nullopt;
        if (bytes.size() < afterHeader + size_t(coloursUsed) * paletteEntry) return std::nullopt;
        for (uint32_t i = 0; i < coloursUsed; ++i) {
            const size_t at = afterHeader + i * paletteEntry;
            palette.push_back({bytes[at + 2], bytes[at + 1], bytes[at]});
        }
    }

    // Every row is padded to a multiple of four bytes; a short file is damaged.
    const uint64_t rowBytes = (uint64_t(width) * bitCount + 31) / 32 * 4;
    if (dataOffset > bytes.size() || (bytes.size() - dataOffset) / rowBytes < uint64_t(height))
        return std::nullopt;

    const Channel red(masks[0]), green(masks[1]), blue(masks[2]);
    Bitmap bitmap;
    bitmap.width = int(width);
    bitmap.height = int(height);
    bitmap.rgb.resize(size_t(width) * size_t(height) * 3);
    for (int64_t y = 0; y < height; ++y) {
        const uint8_t* row = bytes.data() + dataOffset + size_t(topDown ? y : height - 1 - y) * rowBytes;
        uint8_t* out = bitmap.rgb.data() + size_t(y) * size_t(width) * 3;
        for (int64_t x = 0; x < width; ++x, out += 3) {
            if (bitCount <= 8) {
                const int64_t bit = x * bitCount;
                const uint32_t index = (row[bit / 8] >> (8 - bitCount - bit % 8)) & ((1u << bitCount) - 1);
                if (index >= palette.size()) return std::nullopt;  // a colour the palette lacks
                out[0] = palette[index][0];
                out[1] = palette[index][1];
                out[2] = palette[index][2];
            } else if (bitCount == 24) {
                const uint8_t* p = row + x * 3;
                out[0] = p[2];
                out[1] = p[1];
                out[2] = p[0];
            } else {
                const uint8_t* p = row + x * (bitCount / 8);
                uint32_t pixel = uint32_t(p[0]) | uint32_t(p[1]) << 8;
                if (bitCount == 32) pixel |= uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
                out[0] = red.Of(pixel);
                out[1] = green.Of(pixel);
                out[2] = blue.Of(pixel);
            }
        }
    }
    return bitmap;
}

}  // namespace formats

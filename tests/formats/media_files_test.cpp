// The bitmap and wave readers that every backend shares.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>

#include "formats/bitmap_file.h"
#include "formats/wave_file.h"
#include "platform/headless/headless_backend.h"

using namespace formats;

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void Put32(Bytes& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
void PutText(Bytes& b, const char* text) { b.insert(b.end(), text, text + std::strlen(text)); }

// A bitmap with the 40-byte header; `extra` (masks, palette) sits between
// the header and the rows, which are given as stored in the file.
Bytes Bmp(int width, int height, int bits, uint32_t compression, const Bytes& extra, const Bytes& rows,
          uint32_t coloursUsed = 0) {
    Bytes b;
    PutText(b, "BM");
    Put32(b, uint32_t(54 + extra.size() + rows.size()));
    Put32(b, 0);
    Put32(b, uint32_t(54 + extra.size()));
    Put32(b, 40);
    Put32(b, uint32_t(width));
    Put32(b, uint32_t(height));
    Put16(b, 1);
    Put16(b, uint32_t(bits));
    Put32(b, compression);
    Put32(b, uint32_t(rows.size()));
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, coloursUsed);
    Put32(b, 0);
    b.insert(b.end(), extra.begin(), extra.end());
    b.insert(b.end(), rows.begin(), rows.end());
    return b;
}

Bytes Rgb(const Bitmap& bitmap, int x, int y) {
    const size_t i = (size_t(y) * bitmap.width + x) * 3;
    return {bitmap.rgb[i], bitmap.rgb[i + 1], bitmap.rgb[i + 2]};
}

}  // namespace

TEST(BitmapFile, RowsArePaddedAndStoredFromTheBottomUnlessTheHeightIsNegative) {
    // 2 x 2 at 24 bits: each row of 6 bytes is padded to 8. Blue, green, red order.
    const Bytes rows = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
    const auto up = DecodeBmp(Bmp(2, 2, 24, 0, {}, rows));
    ASSERT_TRUE(up);
    EXPECT_EQ(Rgb(*up, 0, 0), (Bytes{9, 8, 7}));  // the last stored row is the top
    EXPECT_EQ(Rgb(*up, 1, 1), (Bytes{6, 5, 4}));
    const auto down = DecodeBmp(Bmp(2, -2, 24, 0, {}, rows));
    ASSERT_TRUE(down);
    EXPECT_EQ(down->height, 2);
    EXPECT_EQ(Rgb(*down, 0, 0), (Bytes{3, 2, 1}));
}

TEST(BitmapFile, PaletteAndMaskedPixels) {
    const Bytes palette = {0, 0, 255, 0, 0, 255, 0, 0};  // red, green (B G R x)
    const auto eight = DecodeBmp(Bmp(2, 1, 8, 0, palette, {1, 0, 0, 0}, 2));
    ASSERT_TRUE(eight);
    EXPECT_EQ(Rgb(*eight, 0, 0), (Bytes{0, 255, 0}));
    EXPECT_EQ(Rgb(*eight, 1, 0), (Bytes{255, 0, 0}));
    // Four bits a pixel, the high half first; one bit a pixel, the high bit first.
    const auto four = DecodeBmp(Bmp(2, 1, 4, 0, palette, {0x10, 0, 0, 0}, 2));
    ASSERT_TRUE(four);
    EXPECT_EQ(Rgb(*four, 0, 0), (Bytes{0, 255, 0}));
    const auto one = DecodeBmp(Bmp(3, 1, 1, 0, palette, {0x40, 0, 0, 0}));
    ASSERT_TRUE(one);
    EXPECT_EQ(Rgb(*one, 1, 0), (Bytes{0, 255, 0}));
    EXPECT_EQ(Rgb(*one, 2, 0), (Bytes{255, 0, 0}));
    // An index beyond the palette is damage.
    EXPECT_FALSE(DecodeBmp(Bmp(2, 1, 8, 0, palette, {2, 0, 0, 0}, 2)));

    // 16 bits: 5-5-5 without masks, 5-6-5 with them; full channels stay full.
    const auto plain = DecodeBmp(Bmp(1, 1, 16, 0, {}, {0x1F, 0x7C, 0, 0}));
    ASSERT_TRUE(plain);
    EXPECT_EQ(Rgb(*plain, 0, 0), (Bytes{255, 0, 255}));
    Bytes masks;
    for (uint32_t m : {0xF800u, 0x07E0u, 0x001Fu}) Put32(masks, m);
    const auto masked = DecodeBmp(Bmp(1, 1, 16, 3, masks, {0xE0, 0x07, 0, 0}));
    ASSERT_TRUE(masked);
    EXPECT_EQ(Rgb(*masked, 0, 0), (Bytes{0, 255, 0}));
    const auto wide = DecodeBmp(Bmp(1, 1, 32, 0, {}, {3, 2, 1, 0xFF}));
    ASSERT_TRUE(wide);
    EXPECT_EQ(Rgb(*wide, 0, 0), (Bytes{1, 2, 3}));
}

TEST(BitmapFile, DamagedFilesAreRefused) {
    const Bytes rows = {1, 2, 3, 0, 4, 5, 6, 0};
    EXPECT_TRUE(DecodeBmp(Bmp(1, 2, 24, 0, {}, rows)));
    Bytes cut = Bmp(1, 2, 24, 0, {}, rows);
    cut.pop_back();  // the last row's padding is missing
    EXPECT_FALSE(DecodeBmp(cut));
    EXPECT_FALSE(DecodeBmp(Bmp(1, 2, 8, 1, {}, rows)));  // run-length compressed
    EXPECT_FALSE(DecodeBmp(Bmp(0, 2, 24, 0, {}, rows)));
    EXPECT_FALSE(DecodeBmp(Bmp(1, 2, 12, 0, {}, rows)));
    Bytes other = Bmp(1, 2, 24, 0, {}, rows);
    other[0] = 'R';
    EXPECT_FALSE(DecodeBmp(other));
    EXPECT_FALSE(DecodeBmp(Bytes(other.begin(), other.begin() + 20)));
}

TEST(BitmapFile, OnlyTrueBlackIsTransparentInTheDisplayFormat) {
    // Near-black would round to 0 in 16 bits and vanish: it keeps a dark value.
    const auto path = std::filesystem::temp_directory_path() / ("munchora_black_" + std::to_string(getpid()));
    std::ofstream(path, std::ios::binary) << std::string([] {
        const Bytes b = Bmp(3, 1, 24, 0, {}, {0, 0, 0, 1, 1, 1, 0, 0, 255, 0, 0, 0});
        return std::string(b.begin(), b.end());
    }());
    platform::HeadlessBackend machine({});
    platform::Platform media(machine);
    const auto picture = media.LoadPicture(path.string());
    std::filesystem::remove(path);
    EXPECT_EQ(picture->Row(0)[0], 0);
    EXPECT_EQ(picture->Row(0)[1], 0x0020);
    EXPECT_EQ(picture->Row(0)[2], 0xF800);
}

namespace {

Bytes Wav(uint32_t tag, int channels, int bits, const Bytes& data, uint32_t dataSize = 0xFFFFFFFF) {
    Bytes b;
    PutText(b, "RIFF");
    Put32(b, 0);  // often wrong in the wild; not read
    PutText(b, "WAVEfmt ");
    Put32(b, 16);
    Put16(b, tag);
    Put16(b, uint32_t(channels));
    Put32(b, 8000);
    Put32(b, uint32_t(8000 * channels * bits / 8));
    Put16(b, uint32_t(channels * bits / 8));
    Put16(b, uint32_t(bits));
    PutText(b, "data");
    Put32(b, dataSize == 0xFFFFFFFF ? uint32_t(data.size()) : dataSize);
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

}  // namespace

TEST(WaveFile, SampleFormats) {
    const auto pcm16 = DecodeWave(Wav(1, 1, 16, {0x00, 0x40, 0x00, 0x80}));
    ASSERT_TRUE(pcm16);
    EXPECT_EQ(pcm16->rate, 8000);
    EXPECT_EQ(pcm16->samples, (std::vector<float>{0.5f, -1.0f}));
    const auto pcm8 = DecodeWave(Wav(1, 2, 8, {128, 192, 0, 64}));  // unsigned: 128 is silence
    ASSERT_TRUE(pcm8);
    EXPECT_EQ(pcm8->channels, 2);
    EXPECT_EQ(pcm8->samples, (std::vector<float>{0.0f, 0.5f, -1.0f, -0.5f}));
    const auto pcm24 = DecodeWave(Wav(1, 1, 24, {0x00, 0x00, 0xC0}));
    ASSERT_TRUE(pcm24);
    EXPECT_EQ(pcm24->samples, (std::vector<float>{-0.5f}));
    // The telephone codings: their silence and their loudest negative value.
    const auto mu = DecodeWave(Wav(7, 1, 8, {0xFF, 0x00}));
    ASSERT_TRUE(mu);
    EXPECT_EQ(mu->samples, (std::vector<float>{0.0f, -32124 / 32768.0f}));
    const auto a = DecodeWave(Wav(6, 1, 8, {0xD5, 0x2A}));
    ASSERT_TRUE(a);
    EXPECT_EQ(a->samples, (std::vector<float>{8 / 32768.0f, -32256 / 32768.0f}));
    EXPECT_FALSE(DecodeWave(Wav(2, 1, 4, {0, 0, 0, 0})));  // ADPCM
    EXPECT_FALSE(DecodeWave(Wav(1, 0, 16, {0, 0})));
}

TEST(WaveFile, ChunksAndDamage) {
    // A data chunk cut short keeps its whole frames.
    const auto cut = DecodeWave(Wav(1, 1, 16, {0x00, 0x40, 0x00}, 100));
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->samples.size(), 1u);
    // Other chunks are skipped, an odd-sized one with its padding byte.
    Bytes withList = Wav(1, 1, 16, {0x00, 0x40});
    Bytes list;
    PutText(list, "LIST");
    Put32(list, 3);
    list.insert(list.end(), {'a', 'b', 'c', 0});
    withList.insert(withList.begin() + 36, list.begin(), list.end());
    const auto skipped = DecodeWave(withList);
    ASSERT_TRUE(skipped);
    EXPECT_EQ(skipped->samples, (std::vector<float>{0.5f}));
    // Data before the format, no data at all, not a wave file.
    Bytes dataFirst = Wav(1, 1, 16, {0x00, 0x40});
    std::rotate(dataFirst.begin() + 12, dataFirst.begin() + 36, dataFirst.end());
    EXPECT_FALSE(DecodeWave(dataFirst));
    const Bytes full = Wav(1, 1, 16, {0x00, 0x40});
    EXPECT_FALSE(DecodeWave(Bytes(full.begin(), full.begin() + 36)));
    Bytes riff = full;
    riff[8] = 'X';
    EXPECT_FALSE(DecodeWave(riff));
}

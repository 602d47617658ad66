#include "formats/wave_file.h"

#include <cstring>

namespace formats {

namespace {

constexpr uint32_t kPcm = 1;
constexpr uint32_t kFloat = 3;
constexpr uint32_t kALaw = 6;
constexpr uint32_t kMuLaw = 7;
constexpr uint32_t kExtensible = 0xFFFE;

uint32_t Read16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t Read32(const uint8_t* p) { return Read16(p) | Read16(p + 2) << 16; }

// The two logarithmic telephone codings, widened to 16-bit values.
int ALaw(uint8_t code) {
    code ^= 0x55;
    int value = (code & 0x0F) << 4;
    const int segment = (code & 0x70) >> 4;
    value += segment == 0 ? 8 : 0x108;
    if (segment > 1) value <<= segment - 1;
    return (code & 0x80) ? value : -value;
}

int MuLaw(uint8_t code) {
    code = uint8_t(~code);
    const int value = (((code & 0x0F) << 3) + 0x84) << ((code & 0x70) >> 4);
    return (code & 0x80) ? 0x84 - value : value - 0x84;
}

float Sample(const uint8_t* p, uint32_t format, uint32_t bits) {
    switch (format) {
        case kALaw: return float(ALaw(*p)) / 32768.0f;
        case kMuLaw: return float(MuLaw(*p)) / 32768.0f;
        case kFloat: {
            float value;
            const uint32_t raw = Read32(p);
            std::memcpy(&value, &raw, sizeof value);
            return value;
        }
        default: break;
    }
    switch (bits) {
        case 8: return float(int(*p) - 128) / 128.0f;  // 8-bit PCM is unsigned
        case 16: return float(int16_t(Read16(p))) / 32768.0f;
        case 24:
            return float(int32_t(uint32_t(p[0]) << 8 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 24)) /
                   2147483648.0f;
        default: return float(int32_t(Read32(p))) / 2147483648.0f;
    }
}

}  // namespace

std::optional<WavePcm> DecodeWave(const std::vector<uint8_t>& bytes) {
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
        return std::nullopt;
    }
    // The RIFF size is often wrong in files from the wild: the chunks count.
    const uint8_t* format = nullptr;
    uint32_t formatSize = 0;
    uint64_t at = 12;  // wide enough for any chunk size, also where size_t is 32 bits
    while (at + 8 <= bytes.size()) {
        const uint8_t* chunk = bytes.data() + at;
        const uint32_t size = Read32(chunk + 4);
        const uint64_t available = bytes.size() - at - 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (size < 16 || size > available) return std::nullopt;
            format = chunk + 8;
            formatSize = size;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!format) return std::nullopt;  // the format must come first
            uint32_t tag = Read16(format);
            const uint32_t channels = Read16(format + 2);
            const uint32_t rate = Read32(format + 4);
            const uint32_t blockAlign = Read16(format + 12);
            const uint32_t bits = Read16(format + 14);
            if (tag == kExtensible) {
                if (formatSize < 40) return std::nullopt;
                tag = Read16(format + 24);  // the first two bytes of the sub-format's GUID
            }
            const bool valid = (tag == kPcm && (bits == 8 || bits == 16 || bits == 24 || bits == 32)) ||
                               (tag == kFloat && bits == 32) ||
                               ((tag == kALaw || tag == kMuLaw) && bits == 8);
            const uint32_t frameBytes = channels * (bits / 8);
            if (!valid || channels == 0 || rate == 0 || blockAlign < frameBytes) return std::nullopt;
            // Cut short: only whole frames count.
            const size_t frames = size_t((size < available ? size : available) / blockAlign);
            WavePcm pcm;
            pcm.channels = int(channels);
            pcm.rate = int(rate);
            pcm.samples.reserve(frames * channels);
            for (size_t frame = 0; frame < frames; ++frame) {
                const uint8_t* p = chunk + 8 + frame * blockAlign;
                for (uint32_t c = 0; c < channels; ++c)
                    pcm.samples.push_back(Sample(p + c * (bits / 8), tag, bits));
            }
            return pcm;
        }
        at += 8 + uint64_t(size) + (size & 1);  // chunks are padded to even sizes
    }
    return std::nullopt;
}

}  // namespace formats

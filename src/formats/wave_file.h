// RIFF WAVE files, read without any media library so that every backend
// refuses the same files: integer PCM of 8, 16, 24 or 32 bits, 32-bit float,
// A-law and mu-law, also inside the extensible format. A data chunk cut short
// keeps its whole frames; a file without format or data is damaged.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace formats {

struct WavePcm {
    int channels = 0;
    int rate = 0;                // frames per second
    std::vector<float> samples;  // -1..1, the channels of a frame side by side
};

// nullopt for anything that is not a readable wave file.
std::optional<WavePcm> DecodeWave(const std::vector<uint8_t>& bytes);

}  // namespace formats

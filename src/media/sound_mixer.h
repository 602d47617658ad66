// The game's own mix of wave sounds, in floating point: each voice is scaled
// by its exact gain, the voices are added to the music, and a limiter keeps
// the sum below full scale, so no setting of the two volumes clips.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace media {

// Hundredths of a decibel to a linear gain: 0 is 1, each -2000 a tenth,
// -10000 and below silence.
float GainOf(int centibels);

// Samples of one sound in the mix's own format: interleaved stereo, 16 bits.
using StereoSamples = std::vector<int16_t>;

class SoundMixer {
public:
    static constexpr int kVoices = 32;

    // Starts a new voice; with every voice busy the oldest makes way.
    void Play(std::shared_ptr<const StereoSamples> samples, float gain);
    // Adds `frames` frames of every voice to `stereo`.
    void MixInto(float* stereo, int frames);
    int Playing() const;

private:
    struct Voice {
        std::shared_ptr<const StereoSamples> samples;
        size_t position = 0;  // in samples
        float gain = 0;
        uint64_t started = 0;
    };
    std::array<Voice, kVoices> voices_;
    uint64_t plays_ = 0;
};

// Keeps a mix below its ceiling: the gain drops at once to what the loudest
// sample allows and comes back within about a fifth of a second, so a single
// loud moment is turned down rather than clipped.
class Limiter {
public:
    Limiter(float ceiling, int sampleRate);
    // Interleaved stereo, full scale 1.0, to 16-bit samples.
    void Process(const float* stereo, int16_t* out, int frames);

private:
    float ceiling_;
    float recovery_;  // share of the way back to 1 per frame
    float gain_ = 1.0f;
};

}  // namespace media

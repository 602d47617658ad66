#include "media/sound_mixer.h"

#include <algorithm>
#include <cmath>

namespace media {

float GainOf(int centibels) {
    if (centibels <= -10000) return 0.0f;
    return float(std::pow(10.0, std::min(centibels, 0) / 2000.0));
}

void SoundMixer::Play(std::shared_ptr<const StereoSamples> samples, float gain) {
    Voice* slot = &voices_[0];
    for (Voice& voice : voices_) {
        if (!voice.samples) {
            slot = &voice;
            break;
        }
        if (voice.started < slot->started) slot = &voice;
    }
    *slot = Voice{std::move(samples), 0, gain, ++plays_};
}

void SoundMixer::MixInto(float* stereo, int frames) {
    constexpr float kScale = 1.0f / 32768.0f;
    for (Voice& voice : voices_) {
        if (!voice.samples) continue;
        const StereoSamples& samples = *voice.samples;
        const size_t count = std::min(size_t(frames) * 2, samples.size() - voice.position);
        const float gain = voice.gain * kScale;
        for (size_t i = 0; i < count; ++i) stereo[i] += float(samples[voice.position + i]) * gain;
        voice.position += count;
        if (voice.position >= samples.size()) voice = Voice{};
    }
}

int SoundMixer::Playing() const {
    return int(
        std::count_if(voices_.begin(), voices_.end(), [](const Voice& v) { return v.samples != nullptr; }));
}

Limiter::Limiter(float ceiling, int sampleRate)
    : ceiling_(ceiling), recovery_(1.0f - std::exp(-1.0f / (0.03f * float(sampleRate)))) {}

void Limiter::Process(const float* stereo, int16_t* out, int frames) {
    for (int i = 0; i < frames; ++i) {
        const float peak = std::max(std::abs(stereo[2 * i]), std::abs(stereo[2 * i + 1]));
        gain_ += (1.0f - gain_) * recovery_;
        if (peak * gain_ > ceiling_) gain_ = ceiling_ / peak;
        for (int c = 0; c < 2; ++c) {
            const float v = std::nearbyint(stereo[2 * i + c] * gain_ * 32768.0f);
            out[2 * i + c] = int16_t(std::clamp(v, -32768.0f, 32767.0f));
        }
    }
}

}  // namespace media

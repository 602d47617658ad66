// The game's own mix: exact decibel steps for the sound volume, overlapping
// voices, and a limiter that never lets the sum clip.
#include "media/sound_mixer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using media::GainOf;
using media::StereoSamples;

double Db(double ratio) { return 20.0 * std::log10(ratio); }

TEST(SoundMixer, EachStepOfAThousandIsTenDecibelsAndOnlyTheBottomIsSilent) {
    EXPECT_EQ(GainOf(0), 1.0f);
    for (int volume = 0; volume > -9000; volume -= 1000) {
        EXPECT_NEAR(Db(GainOf(volume) / GainOf(volume - 1000)), 10.0, 1e-4) << volume;
    }
    EXPECT_GT(GainOf(-9000), 0.0f);
    EXPECT_NEAR(Db(GainOf(-5000)), -50.0, 1e-4);
    EXPECT_EQ(GainOf(-10000), 0.0f);
    EXPECT_EQ(GainOf(-12000), 0.0f);
    EXPECT_EQ(GainOf(300), 1.0f);
}

TEST(SoundMixer, VoicesOverlapAtTheirOwnGainAndTheOldestMakesWay) {
    media::SoundMixer mixer;
    auto loud = std::make_shared<const StereoSamples>(StereoSamples(8, 16384));  // four frames at -6 dBFS
    mixer.Play(loud, 1.0f);
    mixer.Play(loud, GainOf(-2000));
    std::vector<float> mix(6, 0.25f);
    mixer.MixInto(mix.data(), 3);
    EXPECT_FLOAT_EQ(mix[0], 0.25f + 0.5f + 0.05f);
    EXPECT_EQ(mixer.Playing(), 2);
    mixer.MixInto(mix.data(), 3);  // one frame left of each
    EXPECT_FLOAT_EQ(mix[1], 0.25f + 2 * (0.5f + 0.05f));
    EXPECT_FLOAT_EQ(mix[2], 0.25f + 0.5f + 0.05f);
    EXPECT_EQ(mixer.Playing(), 0);

    for (int i = 0; i < media::SoundMixer::kVoices; ++i) mixer.Play(loud, 1.0f);
    mixer.MixInto(mix.data(), 1);  // the first voice is one frame along
    mixer.Play(loud, 0.0f);        // takes the place of the first
    EXPECT_EQ(mixer.Playing(), media::SoundMixer::kVoices);
    std::fill(mix.begin(), mix.end(), 0.0f);
    mixer.MixInto(mix.data(), 3);
    EXPECT_FLOAT_EQ(mix[4], 0.5f * (media::SoundMixer::kVoices - 1));  // the new voice is silent
}

TEST(SoundMixer, LimiterLeavesQuietMixesExactAndNeverClips) {
    constexpr float kCeiling = 0.84f;
    media::Limiter limiter(kCeiling, 44100);
    const std::vector<float> quiet = {0.25f, -0.5f, 0.001f, -0.001f};
    std::vector<int16_t> out(4);
    limiter.Process(quiet.data(), out.data(), 2);
    EXPECT_EQ(out, (std::vector<int16_t>{8192, -16384, 33, -33}));

    // Three loud sounds at once: twice full scale.
    std::vector<float> loud(2 * 4410);
    for (size_t i = 0; i < loud.size(); ++i) loud[i] = 2.0f * float(std::sin(double(i) * 0.05));
    std::vector<int16_t> limited(loud.size());
    limiter.Process(loud.data(), limited.data(), int(loud.size() / 2));
    int16_t peak = 0;
    for (int16_t v : limited) peak = std::max<int16_t>(peak, int16_t(std::abs(v)));
    EXPECT_LE(peak, int(kCeiling * 32768) + 1);
    EXPECT_GT(peak, int(kCeiling * 32768) - 200);

    // A fifth of a second later the gain is back.
    std::vector<float> rest(2 * 8820, 0.0f);
    std::vector<int16_t> silent(rest.size());
    limiter.Process(rest.data(), silent.data(), 8820);
    limiter.Process(quiet.data(), out.data(), 2);
    EXPECT_NEAR(out[1], -16384, 20);
}

}  // namespace

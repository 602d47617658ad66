// Peak and RMS level of every shipped tune at the loudest music setting
// (MidiVolume=0), rendered offline through the game's own sequencer and
// synthesizer, before the limiter: the figure the music's gain is set by.
//
// Usage: music_levels [PROGRAM_DIR]   (default: the build directory)
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "formats/files.h"
#include "formats/midi_file.h"
#include "media/midi_sequencer.h"
#include "platform/sdl/fluid_synth.h"
#include "platform/sdl/sdl_audio.h"

int main(int argc, char** argv) {
    std::string dir = argc > 1 ? argv[1] : formats::ExecutableDirectory() + "../";
    if (dir.back() != '/') dir += '/';
    constexpr int kRate = platform::SdlAudio::kSampleRate;
    constexpr int kBlock = 1024;
    double loudest = 0;
    std::string loudestName;
    for (const std::string& name : formats::FindFiles(dir + "Music", "*.mid")) {
        const auto bytes = formats::ReadFileBytes(dir + "Music/" + name);
        auto song = bytes ? formats::ParseMidiFile(*bytes) : std::nullopt;
        auto synth = platform::FluidSynth::Create(kRate);
        if (!song || !synth) {
            std::fprintf(stderr, "%s: cannot be played\n", name.c_str());
            return 1;
        }
        const double seconds = double(song->lengthUs) / 1e6;
        media::MidiSequencer sequencer(kRate);
        sequencer.Load(std::move(*song));
        sequencer.Play();
        std::vector<float> block(2 * kBlock);
        double peak = 0, squares = 0;
        int64_t samples = 0;
        // The whole tune and three seconds of its last notes' release.
        for (int64_t frame = 0; frame < int64_t((seconds + 3) * kRate); frame += kBlock) {
            sequencer.Render(*synth, block.data(), kBlock);
            for (float v : block) {
                const double s = double(v) * platform::SdlAudio::kLoudestMusic;
                peak = std::max(peak, std::abs(s));
                squares += s * s;
            }
            samples += 2 * kBlock;
        }
        const double peakDb = 20 * std::log10(peak);
        std::printf("%-10s %6.1f s  peak %6.2f dBFS  rms %6.2f dBFS\n", name.c_str(), seconds, peakDb,
                    10 * std::log10(squares / double(samples)));
        if (peak > loudest) {
            loudest = peak;
            loudestName = name;
        }
    }
    std::printf("loudest: %s at %.2f dBFS\n", loudestName.c_str(), 20 * std::log10(loudest));
    return 0;
}

#include "platform/sdl/fluid_synth.h"

#include <fluidsynth.h>

#include <cstdio>

#include "formats/files.h"

namespace platform {

namespace {

constexpr const char* kSoundFonts[] = {
    "/usr/share/sounds/sf2/TimGM6mb.sf2",
    "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
};

}  // namespace

std::unique_ptr<FluidSynth> FluidSynth::Create(int sampleRate) {
    auto synth = std::unique_ptr<FluidSynth>(new FluidSynth(sampleRate));
    if (!synth->synth_) return nullptr;
    for (const char* font : kSoundFonts) {
        if (formats::FileExists(font) && fluid_synth_sfload(synth->synth_, font, 1) != FLUID_FAILED)
            return synth;
    }
    std::fprintf(stderr, "Munchora: no General MIDI soundfont found, the music is silent\n");
    return nullptr;
}

FluidSynth::FluidSynth(int sampleRate) : settings_(new_fluid_settings()) {
    if (!settings_) return;
    fluid_settings_setnum(settings_, "synth.sample-rate", sampleRate);
    synth_ = new_fluid_synth(settings_);
}

FluidSynth::~FluidSynth() {
    if (synth_) delete_fluid_synth(synth_);
    if (settings_) delete_fluid_settings(settings_);
}

void FluidSynth::Send(const formats::MidiMessage& m) {
    const int channel = m.status & 0x0F;
    switch (m.status & 0xF0) {
        case 0x80: fluid_synth_noteoff(synth_, channel, m.data1); break;
        case 0x90: fluid_synth_noteon(synth_, channel, m.data1, m.data2); break;
        case 0xA0: fluid_synth_key_pressure(synth_, channel, m.data1, m.data2); break;
        case 0xB0: fluid_synth_cc(synth_, channel, m.data1, m.data2); break;
        case 0xC0: fluid_synth_program_change(synth_, channel, m.data1); break;
        case 0xD0: fluid_synth_channel_pressure(synth_, channel, m.data1); break;
        case 0xE0: fluid_synth_pitch_bend(synth_, channel, m.data1 | (m.data2 << 7)); break;
        default: break;
    }
}

void FluidSynth::Render(float* stereo, int frames) {
    if (frames > 0) fluid_synth_write_float(synth_, frames, stereo, 0, 2, stereo, 1, 2);
}

void FluidSynth::Reset() { fluid_synth_system_reset(synth_); }

void FluidSynth::Silence() { fluid_synth_all_sounds_off(synth_, -1); }

}  // namespace platform

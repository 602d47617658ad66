// A General MIDI synthesizer: FluidSynth with the first soundfont found.
#pragma once

#include <memory>

#include "media/midi_sequencer.h"

typedef struct _fluid_hashtable_t fluid_settings_t;
typedef struct _fluid_synth_t fluid_synth_t;

namespace platform {

class FluidSynth : public media::MidiSynth {
public:
    // Nothing when FluidSynth cannot start or no soundfont is installed.
    static std::unique_ptr<FluidSynth> Create(int sampleRate);
    ~FluidSynth() override;
    FluidSynth(const FluidSynth&) = delete;
    FluidSynth& operator=(const FluidSynth&) = delete;

    void Send(const formats::MidiMessage& message) override;
    void Render(float* stereo, int frames) override;
    // A new tune starts from the synthesizer's first state.
    void Reset();
    void Silence();

private:
    explicit FluidSynth(int sampleRate);

    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
};

}  // namespace platform

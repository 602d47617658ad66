// Plays a tune into a synthesizer, sample-exact, on the audio thread: each
// block is rendered up to the next message, which is then sent. The tune ends
// at its last event, and that is when the end is reported; the synthesizer
// sounds on after it (the notes' release), so a tune started again at once
// follows without a gap.
#pragma once

#include <cstdint>

#include "formats/midi_file.h"

namespace media {

class MidiSynth {
public:
    virtual ~MidiSynth() = default;
    virtual void Send(const formats::MidiMessage& message) = 0;
    // Writes `frames` frames of interleaved stereo.
    virtual void Render(float* stereo, int frames) = 0;
};

class MidiSequencer {
public:
    explicit MidiSequencer(int sampleRate) : sampleRate_(sampleRate) {}

    // A new tune, stopped at its start.
    void Load(formats::MidiSong song);
    void Play();  // from the start
    void Stop() { playing_ = false; }
    bool Playing() const { return playing_; }

    // Writes the next `frames` frames of the synthesizer; true when the tune
    // reached its end within them.
    bool Render(MidiSynth& synth, float* stereo, int frames);

private:
    int64_t FrameAt(int64_t us) const { return us * sampleRate_ / 1'000'000; }

    int sampleRate_;
    formats::MidiSong song_;
    size_t next_ = 0;
    int64_t position_ = 0;  // frames since the tune started
    bool playing_ = false;
};

}  // namespace media

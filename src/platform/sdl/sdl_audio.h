// The sound of the SDL backend: one audio device, fed by the game's own mix
// of the level tune (FluidSynth playing the MIDI file through our sequencer)
// and the wave sounds. Without a device the game goes on silently: tunes are
// still read and checked, and they play without a sound.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "media/midi_sequencer.h"
#include "media/sound_mixer.h"
#include "platform/platform.h"

namespace platform {

class FluidSynth;

class SdlAudio {
public:
    static constexpr int kSampleRate = 44100;
    // The synthesizer's output at the loudest music setting, against its own
    // default level: the loudest shipped tune then peaks at -3 dBFS, the
    // others lower, leaving room for the sounds (bench/music_levels).
    static constexpr float kLoudestMusic = 2.0f;

    // endEvent: the SDL event type posted when the tune reaches its end.
    explicit SdlAudio(uint32_t endEvent);
    ~SdlAudio();
    SdlAudio(const SdlAudio&) = delete;
    SdlAudio& operator=(const SdlAudio&) = delete;

    // Opens the device once; a device that failed is not tried again.
    bool Open();
    // volume: hundredths of a decibel, 0 full, -10000 silent.
    void PlayWave(media::Wave& wave, int volume);

    bool MidiOpen(const std::string& path);
    bool MidiPlay();
    void MidiClose();
    MidiMode Mode();
    void SetMidiAttenuation(uint8_t attenuation);
    // Whether an end event (its code) belongs to the tune open now.
    bool IsEndOfOpenTune(int code) const { return tuneOpen_ && code == generation_; }

private:
    static void Callback(void* self, uint8_t* stream, int bytes);
    void Mix(int16_t* out, int frames);
    bool EnsureSynth();

    uint32_t endEvent_;
    bool open_ = false;
    bool failed_ = false;
    bool synthTried_ = false;
    bool tuneOpen_ = false;
    bool silentTunePlaying_ = false;  // a tune "playing" without a device

    // Shared with the audio thread; written on the loop's thread under the lock.
    std::mutex mutex_;
    int generation_ = 0;  // of the open tune, to tell its end from a closed one's
    bool musicOn_ = false;
    std::unique_ptr<FluidSynth> synth_;
    media::MidiSequencer sequencer_{kSampleRate};
    float musicGain_ = 0;
    media::SoundMixer mixer_;
    media::Limiter limiter_;
    std::vector<float> buffer_;
};

}  // namespace platform

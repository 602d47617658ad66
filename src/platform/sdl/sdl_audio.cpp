#include "platform/sdl/sdl_audio.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cstdio>

#include "formats/files.h"
#include "platform/sdl/fluid_synth.h"

namespace platform {

namespace {

constexpr int kBufferFrames = 1024;  // 23 ms at 44.1 kHz
// The mix never goes above -1.5 dBFS.
constexpr float kCeiling = 0.8414f;

// A wave converted once to the device's format, kept with the wave.
struct MixedWave : media::Wave::Voice {
    std::shared_ptr<const media::StereoSamples> samples;
};

}  // namespace

SdlAudio::SdlAudio(uint32_t endEvent) : endEvent_(endEvent), limiter_(kCeiling, kSampleRate) {}

SdlAudio::~SdlAudio() {
    if (!open_) return;
    Mix_HookMusic(nullptr, nullptr);
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool SdlAudio::Open() {
    if (open_ || failed_) return open_;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        failed_ = true;
        return false;
    }
    // The device takes our format as it is; SDL converts where it must.
    if (Mix_OpenAudioDevice(kSampleRate, AUDIO_S16SYS, 2, kBufferFrames, nullptr, 0) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        failed_ = true;
        return false;
    }
    buffer_.assign(size_t(kBufferFrames) * 2, 0.0f);
    Mix_AllocateChannels(0);  // every sound goes through our own mix
    Mix_HookMusic(&SdlAudio::Callback, this);
    open_ = true;
    return true;
}

void SdlAudio::PlayWave(media::Wave& wave, int volume) {
    if (!open_) return;
    if (!wave.BackendVoice()) {
        SDL_RWops* rw = SDL_RWFromConstMem(wave.Bytes().data(), int(wave.Bytes().size()));
        Mix_Chunk* chunk = rw ? Mix_LoadWAV_RW(rw, 1) : nullptr;
        if (!chunk) return;
        const auto* first = reinterpret_cast<const int16_t*>(chunk->abuf);
        auto voice = std::make_unique<MixedWave>();
        voice->samples =
            std::make_shared<const media::StereoSamples>(first, first + chunk->alen / sizeof(int16_t));
        Mix_FreeChunk(chunk);
        wave.SetBackendVoice(std::move(voice));
    }
    auto samples = static_cast<MixedWave*>(wave.BackendVoice())->samples;
    std::lock_guard lock(mutex_);
    mixer_.Play(std::move(samples), media::GainOf(volume));
}

bool SdlAudio::EnsureSynth() {
    if (!synthTried_ && Open()) {
        synthTried_ = true;
        auto synth = FluidSynth::Create(kSampleRate);
        std::lock_guard lock(mutex_);
        synth_ = std::move(synth);
    }
    return synth_ != nullptr;
}

bool SdlAudio::MidiOpen(const std::string& path) {
    MidiClose();
    const auto bytes = formats::ReadFileBytes(path);
    auto song = bytes ? formats::ParseMidiFile(*bytes) : std::nullopt;
    if (!song) return false;
    tuneOpen_ = true;
    silentTunePlaying_ = false;
    const bool audible = EnsureSynth();
    std::lock_guard lock(mutex_);
    ++generation_;
    if (audible) {
        synth_->Reset();
        sequencer_.Load(std::move(*song));
        musicOn_ = true;
    }
    return true;
}

bool SdlAudio::MidiPlay() {
    if (!tuneOpen_) return false;
    silentTunePlaying_ = true;
    std::lock_guard lock(mutex_);
    if (synth_) sequencer_.Play();
    return true;
}

void SdlAudio::MidiClose() {
    if (!tuneOpen_) return;
    tuneOpen_ = false;
    silentTunePlaying_ = false;
    std::lock_guard lock(mutex_);
    ++generation_;  // an end already on its way belongs to the closed tune
    musicOn_ = false;
    if (synth_) {
        sequencer_.Stop();
        synth_->Silence();
    }
}

MidiMode SdlAudio::Mode() {
    if (!tuneOpen_) return MidiMode::Stopped;
    std::lock_guard lock(mutex_);
    const bool playing = synth_ ? sequencer_.Playing() : silentTunePlaying_;
    return playing ? MidiMode::Playing : MidiMode::Stopped;
}

void SdlAudio::SetMidiAttenuation(uint8_t attenuation) {
    std::lock_guard lock(mutex_);
    // Linear in amplitude, as a mixer's volume control.
    musicGain_ = kLoudestMusic * float(255 - attenuation) / 255.0f;
}

void SdlAudio::Callback(void* self, uint8_t* stream, int bytes) {
    static_cast<SdlAudio*>(self)->Mix(reinterpret_cast<int16_t*>(stream), bytes / int(2 * sizeof(int16_t)));
}

void SdlAudio::Mix(int16_t* out, int frames) {
    std::lock_guard lock(mutex_);
    while (frames > 0) {
        const int block = std::min(frames, kBufferFrames);
        float* mix = buffer_.data();
        std::fill(mix, mix + 2 * block, 0.0f);
        if (musicOn_) {
            if (sequencer_.Render(*synth_, mix, block)) {
                SDL_Event event{};
                event.type = endEvent_;
                event.user.code = generation_;
                SDL_PushEvent(&event);
            }
            for (int i = 0; i < 2 * block; ++i) mix[i] *= musicGain_;
        }
        mixer_.MixInto(mix, block);
        limiter_.Process(mix, out, block);
        out += 2 * block;
        frames -= block;
    }
}

}  // namespace platform

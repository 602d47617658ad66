// The headless backend: the same services without a window or audio
// device. Time is virtual, input comes from a script, and every sound, tune,
// message box and caption is written to an event log.
#pragma once

#include <functional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "platform/headless/script.h"
#include "platform/platform.h"

namespace platform {

class HeadlessBackend : public Backend {
public:
    struct Options {
        Script script;
        int maxFrames = 1000000;
        int64_t utcMs = 0;          // time of day at virtual time 0
        std::string dataDirectory;  // shown relative in the event log
        std::ostream* eventLog = nullptr;
        // Virtual time never runs ahead of the clock on the wall: a game
        // played online must take as long as it lasts.
        bool realTime = false;
        // Runs the script's shot and dump commands after a frame.
        std::function<void(const ScriptCommand&)> onOutputCommand;
    };

    explicit HeadlessBackend(Options options);

    void Run(AppEvents& app) override;
    // A fixed day, so that runs stay repeatable to the byte.
    int64_t UtcSeconds() override { return kFirstDay + (options_.utcMs + now_) / 1000; }

    bool InitializeDisplay(bool fullScreen) override;
    void FinalizeDisplay() override { Dispatcher().SetDisplayReady(false); }
    void Present() override {}
    void SetCursor(Cursor) override {}

    bool InitializeSound() override { return true; }
    void PlayWave(media::Wave& wave, const std::string& name, int volume) override;

    bool MidiOpen(const std::string& path) override;
    bool MidiPlay() override;
    void MidiClose() override;
    MidiMode GetMidiMode() override { return musicPlaying_ ? MidiMode::Playing : MidiMode::Stopped; }
    void SetMidiAttenuation(uint8_t attenuation) override { midiAttenuation_ = attenuation; }
    uint8_t MidiAttenuation() const { return midiAttenuation_; }

    void MessageBox(const std::string& caption, const std::string& text) override;
    void NoteEvent(const std::string& line) override;

    int Frame() const { return frame_; }
    void SetOutputHandler(std::function<void(const ScriptCommand&)> handler) {
        options_.onOutputCommand = std::move(handler);
    }

    // Playing by hand instead of by script (the playtest's bot): a key
    // pressed now, keys and fire held through the next frame only, and one
    // frame: time moves one frame interval, the timers due run, then the
    // frame.
    void PressKey(AppEvents& app, uint16_t key);
    void HoldForNextFrame(uint16_t key) { nextFrameKeys_.insert(key); }
    void HoldFire(bool hold) { fire_ = hold; }
    // After the run: the replies of requests still under way, for up to
    // `withinMs` real milliseconds.
    void FinishRequests(AppEvents& app, uint32_t withinMs);
    void AdvanceFrame(AppEvents& app);
    uint32_t Now() const { return now_; }
    // The time of day from now on, in milliseconds: the random numbers'
    // clock. The date stays as it was.
    void SetMillisOfDay(int64_t ms) { millisOfDayOffset_ = ms - now_ - options_.utcMs; }
    // The text of every message box, in order.
    const std::vector<std::string>& Messages() const { return messages_; }

protected:
    uint32_t Ticks() override { return now_; }
    int64_t MillisOfDay() override { return (options_.utcMs + millisOfDayOffset_ + now_) % 86400000; }
    void ShowCaption(const std::string& caption) override { NoteEvent("caption " + caption); }
    uint32_t HeldInputMask() override {
        // Only the playtest holds keys for one frame: the scripted runs pay nothing for it.
        const uint32_t nextFrame = nextFrameKeys_.empty() ? 0u : InputMaskForKeys(nextFrameKeys_);
        return InputMaskForKeys(heldKeys_) | nextFrame | (fire_ ? uint32_t(isButton1) : 0u);
    }

private:
    static constexpr int64_t kFirstDay = 1767225600;  // 2026-01-01, UTC

    std::string ShortPath(const std::string& path) const;

    Options options_;
    uint32_t now_ = 0;
    int frame_ = 0;
    std::set<uint16_t> heldKeys_;
    std::set<uint16_t> nextFrameKeys_;
    bool fire_ = false;
    int64_t millisOfDayOffset_ = 0;
    std::vector<std::string> messages_;
    std::string musicPath_;
    bool musicOpen_ = false;
    bool musicPlaying_ = false;
    uint8_t midiAttenuation_ = 0;
};

}  // namespace platform

// What a machine must provide to run the game: its loop, its clocks, a
// display for the finished frame, sounds and tunes, message boxes and a
// caption, and the keys and controllers held. The window (SDL), the browser
// and the headless runner each implement it; everything they share (handler
// time, the frame clock and timers, input states, recording and playback)
// is the dispatcher, Platform, which the game talks to.
#pragma once

#include <cstdint>
#include <string>

#include "media/wave.h"

namespace platform {

class AppEvents;
class Platform;

enum class Cursor { Default, Hidden, Hourglass, Arrow };

enum class MidiMode { Stopped = 1, Playing = 2 };

class Backend {
public:
    virtual ~Backend() = default;

    // Runs until the dispatcher is asked to quit: the machine's events and
    // the handlers that fall due go through the dispatcher to `app`.
    virtual void Run(AppEvents& app) = 0;

    // ---- clocks -------------------------------------------------------
    // Milliseconds from some start; milliseconds since midnight, UTC; and
    // seconds since 1970, UTC.
    virtual uint32_t Ticks() = 0;
    virtual int64_t MillisOfDay() = 0;
    virtual int64_t UtcSeconds() = 0;

    // ---- display ------------------------------------------------------
    // Each tells the dispatcher whether the display is ready and in full
    // screen, when the machine knows.
    virtual bool InitializeDisplay(bool fullScreen) = 0;
    virtual void FinalizeDisplay() = 0;
    // The frame on the dispatcher's surface is finished.
    virtual void Present() = 0;
    virtual void SetCursor(Cursor cursor) = 0;
    virtual void ShowCaption(const std::string& caption) = 0;
    virtual void StoreWindowPlacement() {}
    virtual void RestoreWindowPlacement() {}
    virtual void SetWindowIcon(const std::string&) {}

    // ---- sounds and tunes -----------------------------------------------
    virtual bool InitializeSound() = 0;
    // volume: hundredths of a decibel, 0 full, -10000 silent.
    virtual void PlayWave(media::Wave& wave, const std::string& name, int volume) = 0;
    virtual bool MidiOpen(const std::string& path) = 0;
    virtual bool MidiPlay() = 0;
    virtual void MidiClose() = 0;
    virtual MidiMode GetMidiMode() = 0;
    // 0 loudest .. 255 silent.
    virtual void SetMidiAttenuation(uint8_t attenuation) = 0;

    // ---- the operating system -------------------------------------------
    virtual void MessageBox(const std::string& caption, const std::string& text) = 0;
    // A line for the headless run's event log.
    virtual void NoteEvent(const std::string&) {}
    // The input states held right now, from keyboard and controllers.
    virtual uint32_t HeldInputMask() = 0;

protected:
    // The dispatcher this machine runs; there is one once a Platform was
    // made on it.
    Platform& Dispatcher() const { return *dispatcher_; }
    bool Attached() const { return dispatcher_ != nullptr; }

private:
    friend class Platform;
    Platform* dispatcher_ = nullptr;
};

}  // namespace platform

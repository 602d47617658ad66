// The one door between the game and its machine: display, pictures, text,
// sounds, MIDI, input, clocks, message boxes and files. Two backends sit
// behind it: a real SDL window with audio, and a headless one with a
// virtual clock and scripted input for tests and measurements.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/fonts.h"
#include "platform/image.h"
#include "platform/input.h"
#include "platform/surface.h"
#include "platform/wave.h"

namespace platform {

constexpr int kDisplayWidth = 800;
constexpr int kDisplayHeight = 600;

enum class Cursor { Default, Hidden, Hourglass, Arrow };

enum class MidiMode { Stopped = 1, Playing = 2 };

// What the game hands to the platform's loop. Every call runs on the one
// thread; none interrupts another.
class AppEvents {
public:
    virtual ~AppEvents() = default;
    virtual void OnFrame() = 0;                                  // the frame clock fired
    virtual void OnKeyDown(uint16_t key, ShiftState shift) = 0;  // auto-repeat included
    virtual void OnActivate() = 0;                               // the application got the focus
    virtual void OnDeactivate() = 0;                             // the application lost the focus
    virtual void OnMusicEnd() = 0;                               // the tune reached its end
    virtual void OnCloseButton() = 0;                            // the window's close button
};

// The game breaks the lines of a message with CR, or CR LF; message boxes
// and logs break them with LF.
std::string MessageLines(const std::string& text);

class Platform {
public:
    Platform();
    virtual ~Platform();
    Platform(const Platform&) = delete;
    Platform& operator=(const Platform&) = delete;

    // ---- loop ---------------------------------------------------------
    // Runs until Quit is called. Handlers that throw have their message shown
    // in a message box and the loop goes on.
    virtual void Run(AppEvents& app) = 0;
    void Quit() { quitRequested_ = true; }
    bool QuitRequested() const { return quitRequested_; }
    bool Active() const { return active_; }

    // ---- clocks -------------------------------------------------------
    virtual uint32_t TickCount() = 0;      // milliseconds, like GetTickCount
    virtual int64_t UtcMillisOfDay() = 0;  // milliseconds since midnight, UTC
    FrameClock& Clock() { return clock_; }
    // A plain interval timer delivered on the loop thread; owned by the platform.
    IntervalTimer& CreateTimer(std::function<void()> onTick);

    // ---- display ------------------------------------------------------
    virtual bool InitializeDisplay(bool fullScreen) = 0;
    virtual void FinalizeDisplay() = 0;
    bool CanDraw() const { return displayReady_; }
    bool FullScreen() const { return fullScreen_; }
    Surface& Display() { return surface_; }
    // The frame on the surface is finished; the loop shows the latest
    // finished frame when the display can take it.
    virtual void Present() = 0;
    void SetCaption(const std::string& caption);
    void SetApplicationTitle(const std::string& title) { applicationTitle_ = title; }
    const std::string& Caption() const { return caption_; }
    virtual void SetCursor(Cursor cursor) = 0;
    virtual void StoreWindowPlacement() {}
    virtual void RestoreWindowPlacement() {}
    // The window's icon, from the shipped PNG file.
    virtual void SetWindowIcon(const std::string&) {}

    // ---- text ---------------------------------------------------------
    Fonts& Text() { return fonts_; }
    void DrawText(int x, int y, const std::string& text, const std::string& face, int points, Colour colour);
    int TextWidth(const std::string& text, const std::string& face, int points);

    // ---- pictures and sounds -----------------------------------------
    // Both throw GameError with a readable text when the file is unusable.
    std::shared_ptr<const Picture> LoadPicture(const std::string& path);
    std::shared_ptr<Wave> LoadWave(const std::string& path);
    virtual bool InitializeSound() = 0;
    // volume: hundredths of a decibel, 0 full, -10000 silent. Each play is a
    // new voice that may overlap earlier ones.
    virtual void PlayWave(Wave& wave, const std::string& name, int volume) = 0;

    // ---- MIDI ---------------------------------------------------------
    virtual bool MidiOpen(const std::string& path) = 0;
    virtual bool MidiPlay() = 0;  // from the start when it stood at the end
    virtual void MidiClose() = 0;
    virtual MidiMode GetMidiMode() = 0;
    // 0 loudest .. 255 silent, applied at once.
    virtual void SetMidiAttenuation(uint8_t attenuation) = 0;

    // ---- input --------------------------------------------------------
    InputStates& Input() { return input_; }
    // Reads the held keys and controllers into the input states.
    void UpdateInput();

    // ---- operating system --------------------------------------------
    virtual void MessageBox(const std::string& caption, const std::string& text) = 0;
    // Errors that end a handler go here; a message box when nobody listens.
    void SetErrorReporter(std::function<void(const std::string&)> reporter) {
        errorReporter_ = std::move(reporter);
    }
    // A line for the headless run's event log; nothing elsewhere.
    virtual void NoteEvent(const std::string&) {}

protected:
    virtual void ApplyCaption(const std::string& caption) = 0;
    // The input states held right now, from keyboard and controllers.
    virtual uint32_t HeldInputMask() = 0;
    // Fires the frame clock and the interval timers that are due at `now`.
    // catchUp: run every missed tick (virtual time) rather than one.
    void RunTimers(uint32_t now, bool catchUp);
    void RunFrame(AppEvents& app, uint32_t now);
    // Runs a handler; an error it throws is shown in a message box.
    void Guarded(const std::function<void()>& handler);
    void SetActive(bool active, AppEvents& app);

    Surface surface_{kDisplayWidth, kDisplayHeight};
    bool displayReady_ = false;
    bool fullScreen_ = false;
    bool active_ = true;

private:
    bool quitRequested_ = false;
    std::string applicationTitle_ = "Munchora";
    std::function<void(const std::string&)> errorReporter_;
    std::string caption_;
    FrameClock clock_;
    std::vector<std::unique_ptr<IntervalTimer>> timers_;
    InputStates input_;
    Fonts fonts_;
};

}  // namespace platform

// The browser backend: the surface shown in the page's canvas, keys and
// focus from the page, WebAudio for waves, a SoundFont synthesizer in the
// page for tunes, and an in-page dialog for message boxes. Everything runs on
// the page's one thread: the display's refresh drives the loop, and the
// page's events arrive between two refreshes.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/frame_pacer.h"
#include "platform/platform.h"

namespace platform {

class WebBackend : public Backend {
public:
    WebBackend();
    ~WebBackend() override;

    // Starts the loop on the display's refresh and returns at once; the page
    // keeps calling it. `onEnd` runs once, when the game has quit.
    void Run(AppEvents& app) override;
    void SetOnEnd(std::function<void()> onEnd) { onEnd_ = std::move(onEnd); }
    int Frames() const { return frames_; }  // game frames run so far

    int64_t UtcSeconds() override;

    bool InitializeDisplay(bool fullScreen) override;
    void FinalizeDisplay() override { Dispatcher().SetDisplayReady(false); }
    void Present() override { presented_ = true; }
    void SetCursor(Cursor cursor) override;

    bool InitializeSound() override;
    void PlayWave(media::Wave& wave, const std::string& name, int volume) override;

    bool MidiOpen(const std::string& path) override;
    bool MidiPlay() override;
    void MidiClose() override;
    MidiMode GetMidiMode() override { return midiPlaying_ ? MidiMode::Playing : MidiMode::Stopped; }
    void SetMidiAttenuation(uint8_t attenuation) override;

    void MessageBox(const std::string& caption, const std::string& text) override;
    // The page hears of what happens (a game recorded, the online table's
    // answer) and may act on it.
    void NoteEvent(const std::string& line) override;

    // ---- from the page ---------------------------------------------------
    // false: the key is not the game's, and the page may use it.
    bool OnKey(bool down, const std::string& key, const std::string& code, ShiftState shift);
    void OnFocus(bool focused);
    // The pointer at a place of the canvas element, in its CSS pixels.
    void OnPointer(PointerAction action, long elementX, long elementY);
    void OnFullScreenChange(bool fullScreen) { Dispatcher().SetFullScreen(fullScreen); }
    void OnDialogClosed() { modal_ = false; }
    void PlaceCanvas();

protected:
    uint32_t Ticks() override;
    int64_t MillisOfDay() override;
    void ShowCaption(const std::string& caption) override;
    uint32_t HeldInputMask() override;

public:
    // One display refresh; false ends the loop.
    bool Refresh();

private:
    void ShowFrame();
    void End();

    AppEvents* app_ = nullptr;
    std::function<void()> onEnd_;
    FramePacer pacer_;
    int frames_ = 0;
    bool presented_ = false;
    bool modal_ = false;  // a message box is open: the game waits for it
    bool ended_ = false;
    std::vector<uint8_t> rgba_;
    std::set<uint16_t> heldKeys_;
    // Keys pressed since the input states were last read: a tap shorter than
    // a frame still counts once.
    std::set<uint16_t> pressedSincePoll_;
    bool soundReady_ = false;
    std::vector<uint8_t> midi_;
    bool midiPlaying_ = false;
};

}  // namespace platform

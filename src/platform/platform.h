// The one door between the game and its machine: the dispatcher that every
// backend shares (handler time, the frame clock and interval timers, input
// states, recording and playback, the surface and its text), handing the
// rest on to the machine's Backend: an SDL window with audio, the browser,
// or a headless one with a virtual clock and scripted input.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "media/fonts.h"
#include "media/image.h"
#include "media/surface.h"
#include "media/wave.h"
#include "platform/backend.h"
#include "platform/clock.h"
#include "platform/event_hooks.h"
#include "platform/input.h"
#include "platform/network.h"

namespace platform {

constexpr int kDisplayWidth = 800;
constexpr int kDisplayHeight = 600;

// The mouse, or a finger: where on the 800 x 600 picture it was pressed,
// moved while held, or let go.
enum class PointerAction : uint8_t { Press, Move, Release };
struct PointerEvent {
    PointerAction action = PointerAction::Press;
    int x = 0;
    int y = 0;
};

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
    virtual void OnNetworkReply(const NetworkReply&) {}          // a request came back
    virtual void OnPointer(const PointerEvent&) {}               // the mouse or a finger
};

// Hands every call on to another receiver: a bench or a test derives from it
// to watch the frames and leaves the rest to the game.
class ForwardingEvents : public AppEvents {
public:
    explicit ForwardingEvents(AppEvents& to) : to_(to) {}
    void OnFrame() override { to_.OnFrame(); }
    void OnKeyDown(uint16_t key, ShiftState shift) override { to_.OnKeyDown(key, shift); }
    void OnActivate() override { to_.OnActivate(); }
    void OnDeactivate() override { to_.OnDeactivate(); }
    void OnMusicEnd() override { to_.OnMusicEnd(); }
    void OnCloseButton() override { to_.OnCloseButton(); }
    void OnNetworkReply(const NetworkReply& reply) override { to_.OnNetworkReply(reply); }
    void OnPointer(const PointerEvent& event) override { to_.OnPointer(event); }

private:
    AppEvents& to_;
};

// The game breaks the lines of a message with CR, or CR LF; message boxes
// and logs break them with LF.
std::string MessageLines(const std::string& text);

class Platform {
public:
    explicit Platform(Backend& machine);
    ~Platform();
    Platform(const Platform&) = delete;
    Platform& operator=(const Platform&) = delete;

    // ---- loop ---------------------------------------------------------
    // Runs the machine's loop until Quit is called. Handlers that throw have
    // their message shown in a message box and the loop goes on.
    void Run(AppEvents& app) { machine_.Run(app); }
    void Quit() { quitRequested_ = true; }
    bool QuitRequested() const { return quitRequested_; }
    bool Active() const { return active_; }

    // ---- clocks -------------------------------------------------------
    // Milliseconds, like GetTickCount. A handler sees one time throughout,
    // the time it was called for, so that a recording can give it back.
    uint32_t TickCount();
    // Milliseconds since midnight, UTC (a recording notes it: the random
    // seed is taken from it).
    int64_t UtcMillisOfDay();
    // Seconds since 1970, UTC: the date a file is stamped with.
    int64_t UtcSeconds() { return machine_.UtcSeconds(); }
    FrameClock& Clock() { return clock_; }
    // A plain interval timer delivered on the loop thread; owned by the platform.
    IntervalTimer& CreateTimer(std::function<void()> onTick);

    // ---- display ------------------------------------------------------
    bool InitializeDisplay(bool fullScreen) { return machine_.InitializeDisplay(fullScreen); }
    void FinalizeDisplay() { machine_.FinalizeDisplay(); }
    bool CanDraw() const { return displayReady_; }
    // Off, every rule still runs but nothing is drawn: checking a recorded
    // game needs no pictures, and drawing is most of a frame's cost.
    void SetDrawing(bool drawing) { drawing_ = drawing; }
    bool Drawing() const { return displayReady_ && drawing_; }
    bool FullScreen() const { return fullScreen_; }
    media::Surface& Display() { return surface_; }
    // The frame on the surface is finished; the loop shows the latest
    // finished frame when the display can take it.
    void Present() { machine_.Present(); }
    void SetCaption(const std::string& caption);
    // While not empty, the window shows this instead of the game's caption.
    void SetCaptionOverride(const std::string& caption);
    void SetApplicationTitle(const std::string& title) { applicationTitle_ = title; }
    const std::string& Caption() const { return caption_; }
    void SetCursor(Cursor cursor) { machine_.SetCursor(cursor); }
    void StoreWindowPlacement() { machine_.StoreWindowPlacement(); }
    void RestoreWindowPlacement() { machine_.RestoreWindowPlacement(); }
    // The window's icon, from the shipped PNG file.
    void SetWindowIcon(const std::string& pngPath) { machine_.SetWindowIcon(pngPath); }

    // ---- text ---------------------------------------------------------
    media::Fonts& Text() { return fonts_; }
    void DrawText(int x, int y, const std::string& text, const std::string& face, int points,
                  media::Colour colour);
    int TextWidth(const std::string& text, const std::string& face, int points);

    // ---- pictures and sounds -----------------------------------------
    // Both throw GameError with a readable text when the file is unusable.
    std::shared_ptr<const media::Picture> LoadPicture(const std::string& path);
    // Pictures read once and kept by their path, for a process that starts
    // many games from the same files (the verifying runner); off, every load
    // reads its file.
    void KeepPictures(bool keep) { keepPictures_ = keep; }
    std::shared_ptr<media::Wave> LoadWave(const std::string& path);
    bool InitializeSound() { return machine_.InitializeSound(); }
    // volume: hundredths of a decibel, 0 full, -10000 silent. Each play is a
    // new voice that may overlap earlier ones.
    void PlayWave(media::Wave& wave, const std::string& name, int volume) {
        machine_.PlayWave(wave, name, volume);
    }

    // ---- MIDI ---------------------------------------------------------
    bool MidiOpen(const std::string& path) { return machine_.MidiOpen(path); }
    bool MidiPlay() { return machine_.MidiPlay(); }  // from the start when it stood at the end
    void MidiClose() { machine_.MidiClose(); }
    MidiMode GetMidiMode() { return machine_.GetMidiMode(); }
    // 0 loudest .. 255 silent, applied at once.
    void SetMidiAttenuation(uint8_t attenuation) { machine_.SetMidiAttenuation(attenuation); }

    // ---- input --------------------------------------------------------
    InputStates& Input() { return input_; }
    // Reads the held keys and controllers into the input states.
    void UpdateInput();

    // ---- operating system --------------------------------------------
    void MessageBox(const std::string& caption, const std::string& text) {
        machine_.MessageBox(caption, text);
    }
    // Errors that end a handler go here; a message box when nobody listens.
    void SetErrorReporter(std::function<void(const std::string&)> reporter) {
        errorReporter_ = std::move(reporter);
    }
    // A line for the headless run's event log; nothing elsewhere.
    void NoteEvent(const std::string& line) { machine_.NoteEvent(line); }

    // ---- the network ----------------------------------------------------
    // Where requests go; none: every request fails at once.
    void SetNetwork(Network* network) { network_ = network; }
    // Starts a request; its reply reaches the game later through
    // OnNetworkReply. Returns the request's number.
    uint32_t Fetch(const NetworkRequest& request);
    // Requests whose replies the game has not had yet.
    size_t RequestsOutstanding() const;

    // ---- hooks for recording and playback ------------------------------
    // From the handler in progress on, `tap` sees everything handed to the
    // game; null: nobody.
    void SetTap(EventTap* tap) { tap_ = tap; }
    // From now on the game gets what `source` gives instead of the machine's
    // events: the interval timers no longer fire into it, and the keys go to
    // the source. A handler sees `startTime` until the source gives one.
    // Returns the machine's time at the start.
    uint32_t StartPlayback(EventSource& source, uint32_t startTime);
    // Back to the machine's events: the timers (on their old beat), the frame
    // clock and the input states as they were when the playback started.
    void StopPlayback();
    bool Playing() const { return source_ != nullptr; }
    // What a source hands the game: one handler call at the time it had.
    void HandFrame(AppEvents& app, uint32_t time);
    // false when there is no timer of that number.
    bool HandTimer(size_t index, uint32_t time);
    void HandKey(AppEvents& app, uint32_t time, uint16_t key, ShiftState shift);
    void HandPlain(AppEvents& app, PlainCall call, uint32_t time);
    void HandReply(AppEvents& app, uint32_t time, const NetworkReply& reply);
    // Runs a handler; an error it throws is shown in a message box.
    void Guarded(const std::function<void()>& handler);

    // ---- for the backends ------------------------------------------------
    // The events of the machine, handed to the game (and recorded), or to
    // the playback's listener. The close button always reaches the game;
    // during a playback the end of a tune does too, for the tune it plays.
    void DeliverKey(AppEvents& app, uint16_t key, ShiftState shift);
    void DeliverMusicEnd(AppEvents& app);
    void DeliverClose(AppEvents& app);
    // Only the editor takes the pointer, and no game is recorded there: while
    // a game is recorded or played back the pointer goes nowhere.
    void DeliverPointer(AppEvents& app, const PointerEvent& event);
    // The replies that came, each a handler of its own. During a playback
    // they wait for its end: the game being shown had its own.
    void DeliverReplies(AppEvents& app);
    void SetActive(bool active, AppEvents& app);
    // Fires the frame clock and the interval timers that are due at `now`.
    // catchUp: run every missed tick (virtual time) rather than one.
    void RunTimers(uint32_t now, bool catchUp);
    // A frame falling due at `time`.
    void RunFrame(AppEvents& app, uint32_t time);
    // A playback shown in real time: what is due by `now`. Returns the
    // frames given.
    int RunPlaybackPass(AppEvents& app, uint32_t now) { return source_ ? source_->RunPass(app, now) : 0; }
    // A playback one frame at a time, while the window has the focus.
    // Returns whether a frame was given.
    bool RunPlaybackFrame(AppEvents& app) { return source_ && active_ && source_->RunFrame(app); }
    // Real milliseconds from `now` until a handler other than a frame falls
    // due: an interval timer, or during a playback its next recorded
    // handler. UINT32_MAX when only an event of the machine can bring one.
    uint32_t TimeUntilHandler(uint32_t now);
    void SetDisplayReady(bool ready) { displayReady_ = ready; }
    void SetFullScreen(bool fullScreen) { fullScreen_ = fullScreen; }

private:
    struct LiveState;

    // A handler without data the machine called for now.
    void DeliverPlain(PlainCall call, const std::function<void()>& handler);
    void BeginHandler(uint32_t time);
    void EndHandler();

    Backend& machine_;
    media::Surface surface_{kDisplayWidth, kDisplayHeight};
    bool displayReady_ = false;
    bool drawing_ = true;
    bool fullScreen_ = false;
    bool active_ = true;
    bool quitRequested_ = false;
    bool inHandler_ = false;
    uint32_t handlerTime_ = 0;
    EventTap* tap_ = nullptr;
    EventSource* source_ = nullptr;
    std::unique_ptr<LiveState> live_;
    std::string applicationTitle_ = "Munchora";
    std::function<void(const std::string&)> errorReporter_;
    std::string caption_;
    std::string captionOverride_;
    FrameClock clock_;
    std::vector<std::unique_ptr<IntervalTimer>> timers_;
    InputStates input_;
    media::Fonts fonts_;
    Network* network_ = nullptr;
    uint32_t lastRequest_ = 0;
    std::vector<NetworkReply> heldReplies_;
    bool keepPictures_ = false;
    std::unordered_map<std::string, std::shared_ptr<const media::Picture>> keptPictures_;
};

}  // namespace platform

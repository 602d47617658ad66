#include "platform/web/web_backend.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "formats/files.h"
#include "formats/wave_file.h"
#include "platform/placement.h"
#include "platform/web/dom_keys.h"

// ------------------------------------------------------------------ the page
// Small calls into the page's script (web/page.js), which owns the canvas,
// the audio graph, the synthesizer and the dialog.
// clang-format off
EM_JS(void, web_present, (const uint8_t* rgba, int width, int height), {
    Module.page.present(HEAPU8.subarray(rgba, rgba + width * height * 4), width, height);
});
EM_JS(void, web_set_caption, (const char* caption), { Module.page.setCaption(UTF8ToString(caption)); });
EM_JS(void, web_note_event, (const char* line), { Module.page.noteEvent(UTF8ToString(line)); });
EM_JS(void, web_set_cursor_hidden, (int hidden), { Module.page.setCursorHidden(!!hidden); });
EM_JS(void, web_request_full_screen, (int on), { Module.page.requestFullScreen(!!on); });
EM_JS(int, web_area_width, (void), { return Module.page.areaSize()[0]; });
EM_JS(int, web_area_height, (void), { return Module.page.areaSize()[1]; });
EM_JS(void, web_place_canvas, (int x, int y, int width, int height, int sharp), {
    Module.page.placeCanvas(x, y, width, height, !!sharp);
});
EM_JS(int, web_audio_available, (void), { return Module.page.audioAvailable() ? 1 : 0; });
EM_JS(int, web_audio_allowed, (void), { return Module.page.audioAllowed() ? 1 : 0; });
EM_JS(int, web_make_wave, (const float* planar, int channels, int frames, int rate), {
    return Module.page.makeWave(HEAPF32.subarray(planar >> 2, (planar >> 2) + channels * frames), channels,
                                frames, rate);
});
EM_JS(void, web_play_wave, (int id, double gain), { Module.page.playWave(id, gain); });
EM_JS(void, web_free_wave, (int id), { Module.page.freeWave(id); });
EM_JS(void, web_midi_play, (const uint8_t* data, int size), {
    Module.page.midiPlay(HEAPU8.slice(data, data + size));
});
EM_JS(void, web_midi_stop, (void), { Module.page.midiStop(); });
EM_JS(void, web_midi_volume, (double gain), { Module.page.midiVolume(gain); });
EM_JS(void, web_message_box, (const char* caption, const char* text), {
    Module.page.messageBox(UTF8ToString(caption), UTF8ToString(text));
});
EM_JS(void, web_files_written, (void), { Module.page.filesWritten(); });
EM_JS(int, web_has_focus, (void), { return document.hasFocus() ? 1 : 0; });
EM_JS(void, web_ended, (void), { Module.page.ended(); });
// clang-format on

namespace platform {

namespace {

WebBackend* g_platform = nullptr;
constexpr const char* kCanvas = "#screen";

// Hundredths of a decibel (0 full, -10000 silent) as an amplitude factor.
double WaveGain(int centibels) { return centibels <= -10000 ? 0.0 : std::pow(10.0, centibels / 2000.0); }

struct WebVoice : media::Wave::Voice {
    explicit WebVoice(int i) : id(i) {}
    ~WebVoice() override { web_free_wave(id); }
    int id;
};

ShiftState ShiftOf(const EmscriptenKeyboardEvent& event) {
    ShiftState shift = 0;
    if (event.shiftKey) shift |= kShift;
    if (event.altKey) shift |= kAlt;
    if (event.ctrlKey) shift |= kCtrl;
    return shift;
}

EM_BOOL OnKeyEvent(int type, const EmscriptenKeyboardEvent* event, void*) {
    return g_platform->OnKey(type == EMSCRIPTEN_EVENT_KEYDOWN, event->key, event->code, ShiftOf(*event));
}

EM_BOOL OnFocusEvent(int type, const EmscriptenFocusEvent*, void*) {
    g_platform->OnFocus(type == EMSCRIPTEN_EVENT_FOCUS);
    return EM_FALSE;
}

// A hidden page sleeps; shown again, it has the focus it had, and no focus
// event may tell so.
EM_BOOL OnVisibilityEvent(int, const EmscriptenVisibilityChangeEvent* event, void*) {
    g_platform->OnFocus(!event->hidden && web_has_focus());
    return EM_FALSE;
}

EM_BOOL OnResizeEvent(int, const EmscriptenUiEvent*, void*) {
    g_platform->PlaceCanvas();
    return EM_FALSE;
}

EM_BOOL OnFullScreenEvent(int, const EmscriptenFullscreenChangeEvent* event, void*) {
    g_platform->OnFullScreenChange(event->isFullscreen);
    g_platform->PlaceCanvas();
    return EM_FALSE;
}

// The mouse on the canvas: its place in the element's own pixels, scaled to
// the picture's.
EM_BOOL OnMouseEvent(int type, const EmscriptenMouseEvent* event, void*) {
    if (type == EMSCRIPTEN_EVENT_MOUSEMOVE && !(event->buttons & 1)) return EM_FALSE;
    const PointerAction action = type == EMSCRIPTEN_EVENT_MOUSEDOWN ? PointerAction::Press
                                 : type == EMSCRIPTEN_EVENT_MOUSEUP ? PointerAction::Release
                                                                    : PointerAction::Move;
    g_platform->OnPointer(action, event->targetX, event->targetY);
    return EM_FALSE;
}

EM_BOOL OnTouchEvent(int type, const EmscriptenTouchEvent* event, void*) {
    if (event->numTouches < 1) return EM_FALSE;
    const EmscriptenTouchPoint& touch = event->touches[0];
    const PointerAction action = type == EMSCRIPTEN_EVENT_TOUCHSTART  ? PointerAction::Press
                                 : type == EMSCRIPTEN_EVENT_TOUCHMOVE ? PointerAction::Move
                                                                      : PointerAction::Release;
    g_platform->OnPointer(action, touch.targetX, touch.targetY);
    return EM_FALSE;
}

EM_BOOL OnAnimationFrame(double, void*) { return g_platform->Refresh(); }

}  // namespace

WebBackend::WebBackend() : rgba_(size_t(kDisplayWidth) * kDisplayHeight * 4) {
    g_platform = this;
    const char* window = EMSCRIPTEN_EVENT_TARGET_WINDOW;
    emscripten_set_keydown_callback(window, nullptr, true, OnKeyEvent);
    emscripten_set_keyup_callback(window, nullptr, true, OnKeyEvent);
    emscripten_set_focus_callback(window, nullptr, false, OnFocusEvent);
    emscripten_set_blur_callback(window, nullptr, false, OnFocusEvent);
    emscripten_set_visibilitychange_callback(nullptr, false, OnVisibilityEvent);
    emscripten_set_resize_callback(window, nullptr, false, OnResizeEvent);
    emscripten_set_mousedown_callback(kCanvas, nullptr, false, OnMouseEvent);
    emscripten_set_mouseup_callback(kCanvas, nullptr, false, OnMouseEvent);
    emscripten_set_mousemove_callback(kCanvas, nullptr, false, OnMouseEvent);
    emscripten_set_touchstart_callback(kCanvas, nullptr, false, OnTouchEvent);
    emscripten_set_touchmove_callback(kCanvas, nullptr, false, OnTouchEvent);
    emscripten_set_touchend_callback(kCanvas, nullptr, false, OnTouchEvent);
    emscripten_set_fullscreenchange_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, false,
                                             OnFullScreenEvent);
    // The file system lives in the page's memory: each written file is copied
    // to the browser's storage at once.
    formats::SetWriteObserver([] { web_files_written(); });
}

WebBackend::~WebBackend() {
    formats::SetWriteObserver(nullptr);
    g_platform = nullptr;
}

void WebBackend::Run(AppEvents& app) {
    app_ = &app;
    PlaceCanvas();
    emscripten_request_animation_frame_loop(OnAnimationFrame, nullptr);
}

uint32_t WebBackend::Ticks() { return uint32_t(int64_t(emscripten_get_now())); }

int64_t WebBackend::MillisOfDay() {
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    return ms % 86400000;
}

int64_t WebBackend::UtcSeconds() {
    using namespace std::chrono;
    return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

// ------------------------------------------------------------------- the loop
// One display refresh: the timers that fell due, then the game frames due at
// the frame clock's pace, then the last finished frame onto the canvas.
bool WebBackend::Refresh() {
    Platform& platform = Dispatcher();
    if (ended_) return EM_FALSE;
    const double now = emscripten_get_now();
    const uint32_t ticks = uint32_t(int64_t(now));
    if (!platform.QuitRequested() && !modal_) platform.DeliverReplies(*app_);
    if (platform.Playing()) {
        // A recording plays at its own pace; the game's schedule starts
        // afresh after it.
        pacer_.Reset();
        if (!platform.QuitRequested() && !modal_) frames_ += platform.RunPlaybackPass(*app_, ticks);
    } else {
        // Refreshes come only every 7 to 17 ms: merging the ticks that fell
        // due in between would slow the 100 ms timer's events down, so each
        // one runs.
        if (!platform.QuitRequested() && !modal_) platform.RunTimers(ticks, true);
        const bool running =
            platform.Active() && platform.Clock().Enabled() && !modal_ && !platform.QuitRequested();
        const int frames = pacer_.FramesDue(ticks, platform.Clock().Interval(), running);
        for (int i = 0; i < frames && !platform.QuitRequested() && !modal_ && !platform.Playing(); ++i) {
            ++frames_;
            platform.RunFrame(*app_, pacer_.DueTime(i));
        }
    }
    ShowFrame();
    if (platform.QuitRequested()) {
        End();
        return EM_FALSE;
    }
    return EM_TRUE;
}

void WebBackend::NoteEvent(const std::string& line) { web_note_event(line.c_str()); }

void WebBackend::End() {
    if (ended_) return;
    ended_ = true;
    MidiClose();
    if (onEnd_) onEnd_();
    web_ended();
}

void WebBackend::ShowFrame() {
    if (!presented_ || !Dispatcher().CanDraw()) return;
    presented_ = false;
    // RGB565 widened the way screenshots widen it, so both show equal pixels.
    static const std::vector<uint32_t> kRgba = [] {
        std::vector<uint32_t> table(65536);
        for (uint32_t p = 0; p < 65536; ++p) {
            const uint32_t r = ((p >> 11) & 31) * 255 / 31, g = ((p >> 5) & 63) * 255 / 63,
                           b = (p & 31) * 255 / 31;
            table[p] = r | g << 8 | b << 16 | 0xFF000000u;  // bytes R, G, B, A in memory
        }
        return table;
    }();
    auto* out = reinterpret_cast<uint32_t*>(rgba_.data());
    const uint16_t* in = Dispatcher().Display().Pixels();
    for (size_t i = 0, n = size_t(kDisplayWidth) * kDisplayHeight; i < n; ++i) out[i] = kRgba[in[i]];
    web_present(rgba_.data(), kDisplayWidth, kDisplayHeight);
}

// ---------------------------------------------------------------- the display
bool WebBackend::InitializeDisplay(bool fullScreen) {
    // The page's own full-screen state follows in a change event; a request
    // without a key press behind it is refused by the browser.
    if (fullScreen != Dispatcher().FullScreen()) web_request_full_screen(fullScreen);
    Dispatcher().SetDisplayReady(true);
    return true;
}

void WebBackend::PlaceCanvas() {
    // Device pixels, so that whole factors stay sharp on any screen; the
    // sizes in between are smoothed, as on the desktop.
    const Placement placement = PlacePicture(web_area_width(), web_area_height());
    web_place_canvas(placement.x, placement.y, placement.width, placement.height, placement.WholeFactor());
}

void WebBackend::SetCursor(Cursor cursor) { web_set_cursor_hidden(cursor == Cursor::Hidden); }

void WebBackend::ShowCaption(const std::string& caption) { web_set_caption(caption.c_str()); }

// ------------------------------------------------------------------ the input
bool WebBackend::OnKey(bool down, const std::string& key, const std::string& code, ShiftState shift) {
    if (modal_ || ended_ || !app_) return false;  // the dialog's, or nobody's
    const uint16_t vk = VirtualKeyOfDom(key, code);
    if (vk == 0) return false;
    if (!down) {
        heldKeys_.erase(vk);
        return true;
    }
    heldKeys_.insert(vk);
    pressedSincePoll_.insert(vk);
    Dispatcher().DeliverKey(*app_, vk, shift);
    // Reloading, the browser's full screen and its tools stay the browser's.
    return vk != vk::F1 + 4 && vk != vk::F1 + 10 && vk != vk::F12;
}

void WebBackend::OnFocus(bool focused) {
    if (!app_ || ended_) return;
    if (!focused) {
        heldKeys_.clear();
        pressedSincePoll_.clear();
    }
    Dispatcher().SetActive(focused, *app_);
}

uint32_t WebBackend::HeldInputMask() {
    const uint32_t mask = InputMaskForKeys(heldKeys_) | InputMaskForKeys(pressedSincePoll_);
    pressedSincePoll_.clear();
    return mask;
}

// ------------------------------------------------------------------ the sound
bool WebBackend::InitializeSound() {
    soundReady_ = web_audio_available() != 0;
    return soundReady_;
}

void WebBackend::PlayWave(media::Wave& wave, const std::string&, int volume) {
    // Browsers keep the sound off until the first key press; sounds from
    // before it are dropped rather than all played at once later.
    if (!soundReady_ || !web_audio_allowed()) return;
    if (!wave.BackendVoice()) {
        const auto pcm = formats::DecodeWave(wave.Bytes());
        if (!pcm || pcm->samples.empty()) return;
        const size_t frames = pcm->samples.size() / pcm->channels;
        std::vector<float> planar(pcm->samples.size());
        for (size_t f = 0; f < frames; ++f) {
            for (int c = 0; c < pcm->channels; ++c)
                planar[c * frames + f] = pcm->samples[f * pcm->channels + c];
        }
        const int id = web_make_wave(planar.data(), pcm->channels, int(frames), pcm->rate);
        if (id < 0) return;
        wave.SetBackendVoice(std::make_unique<WebVoice>(id));
    }
    web_play_wave(static_cast<WebVoice*>(wave.BackendVoice())->id, WaveGain(volume));
}

bool WebBackend::MidiOpen(const std::string& path) {
    MidiClose();
    // The synthesizer reads the tune later, in the page: what cannot be a
    // tune fails here, as it would on the desktop.
    auto bytes = formats::ReadFileBytes(path);
    if (!bytes || bytes->size() < 14 || !std::equal(bytes->begin(), bytes->begin() + 4, "MThd")) return false;
    midi_ = std::move(*bytes);
    return true;
}

bool WebBackend::MidiPlay() {
    if (midi_.empty()) return false;
    // The synthesizer loops the tune itself, without the gap that a restart
    // at its end would leave, so the end notification never comes.
    web_midi_play(midi_.data(), int(midi_.size()));
    midiPlaying_ = true;
    return true;
}

void WebBackend::MidiClose() {
    if (midi_.empty()) return;
    web_midi_stop();
    midi_.clear();
    midiPlaying_ = false;
}

void WebBackend::OnPointer(PointerAction action, long elementX, long elementY) {
    double width = 0, height = 0;
    if (emscripten_get_element_css_size(kCanvas, &width, &height) != EMSCRIPTEN_RESULT_SUCCESS ||
        width <= 0 || height <= 0)
        return;
    const int x = std::clamp(int(double(elementX) * kDisplayWidth / width), 0, kDisplayWidth - 1);
    const int y = std::clamp(int(double(elementY) * kDisplayHeight / height), 0, kDisplayHeight - 1);
    if (app_ && !modal_) Dispatcher().DeliverPointer(*app_, {action, x, y});
}

void WebBackend::SetMidiAttenuation(uint8_t attenuation) { web_midi_volume((255 - attenuation) / 255.0); }

// ------------------------------------------------------------- message boxes
void WebBackend::MessageBox(const std::string& caption, const std::string& text) {
    const std::string lines = MessageLines(text);
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), lines.c_str());
    // Modal as on the desktop: the game waits until the dialog is closed.
    modal_ = true;
    web_message_box(caption.c_str(), lines.c_str());
}

}  // namespace platform

extern "C" EMSCRIPTEN_KEEPALIVE void munchora_dialog_closed() {
    if (platform::g_platform) platform::g_platform->OnDialogClosed();
}

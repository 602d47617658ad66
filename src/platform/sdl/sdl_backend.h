// The real backend: an SDL window presenting the 16-bit surface, the sound
// of SdlAudio (waves and MIDI), keyboard and game controllers.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <vector>

#include "platform/frame_pacer.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_audio.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Surface;
typedef struct _SDL_GameController SDL_GameController;
union SDL_Event;

namespace platform {

class SdlBackend : public Backend {
public:
    SdlBackend();
    ~SdlBackend() override;

    void Run(AppEvents& app) override;
    // Handles every waiting event: keys, focus, controllers, the window.
    void PumpEvents(AppEvents& app);
    // The input states held right now (polled once per frame by the game).
    uint32_t HeldStates() { return HeldInputMask(); }
    int64_t UtcSeconds() override;

    bool InitializeDisplay(bool fullScreen) override;
    void FinalizeDisplay() override;
    void Present() override;
    void SetCursor(Cursor cursor) override;
    void StoreWindowPlacement() override;
    void RestoreWindowPlacement() override;
    void SetWindowIcon(const std::string& pngPath) override;

    bool InitializeSound() override;
    void PlayWave(media::Wave& wave, const std::string& name, int volume) override;

    bool MidiOpen(const std::string& path) override;
    bool MidiPlay() override;
    void MidiClose() override;
    MidiMode GetMidiMode() override;
    void SetMidiAttenuation(uint8_t attenuation) override;

    void MessageBox(const std::string& caption, const std::string& text) override;
    // The user's own data directory for the game, with a trailing slash;
    // empty when there is none.
    std::string UserDataDirectory();

protected:
    uint32_t Ticks() override;
    int64_t MillisOfDay() override;
    void ShowCaption(const std::string& caption) override;
    uint32_t HeldInputMask() override;
    // Shows the frame converted last; waits for the display with vsync.
    virtual void PresentLatest();

private:
    // Destroys each SDL object with its own call.
    struct SdlDeleter {
        void operator()(SDL_Window* window) const;
        void operator()(SDL_Renderer* renderer) const;
        void operator()(SDL_Texture* texture) const;
        void operator()(SDL_Surface* surface) const;
    };

    // A renderer and its texture, or without a GPU the converted frame for
    // the window's own surface.
    bool CreatePresenter();
    // After the game's frames: converts the rows of the finished frame that
    // differ from the converted one, and presents when any did or the window
    // lost its picture.
    void ShowFrame();
    bool FramesRunning();
    // Sleeps until a frame or another handler falls due or an event comes.
    void WaitForWork(AppEvents& app);
    void HandleEvent(const SDL_Event& event, AppEvents& app);
    void DeliverPointer(AppEvents& app, PointerAction action, int windowX, int windowY);
    void OpenController(int deviceIndex);

    std::unique_ptr<SDL_Window, SdlDeleter> window_;
    std::unique_ptr<SDL_Renderer, SdlDeleter> renderer_;
    std::unique_ptr<SDL_Texture, SdlDeleter> texture_;
    bool drawOnWindowSurface_ = false;
    std::unique_ptr<SDL_Surface, SdlDeleter> converted_;  // for the window's surface
    // The frame's 16-bit pixels in the texture's or the window's format, by
    // SDL's own conversion, so that a frame is converted in its one copy.
    std::vector<uint32_t> convertedPixelOf_;
    std::vector<uint16_t> inConverted_;  // the frame converted last
    bool convertedFilled_ = false;
    // Converted rows not yet shown.
    int pendingTop_ = 0;
    int pendingBottom_ = 0;
    // The window lost or never had its picture (exposed, resized).
    bool windowStale_ = true;
    FramePacer pacer_;
    bool frameFinished_ = false;
    std::unique_ptr<SdlAudio> audio_;
    bool soundReady_ = false;
    bool placementStored_ = false;
    int storedX_ = 0;
    int storedY_ = 0;
    std::set<uint16_t> heldKeys_;
    // Keys pressed since the input states were last read: a tap shorter than
    // a frame still counts once.
    std::set<uint16_t> pressedSincePoll_;
    std::map<int, SDL_GameController*> controllers_;  // by joystick instance id
};

}  // namespace platform

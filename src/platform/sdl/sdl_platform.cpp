#include "platform/sdl/sdl_platform.h"

#include <SDL.h>
#include <png.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "platform/files.h"
#include "platform/placement.h"
#include "platform/sdl/sdl_keys.h"

namespace platform {

namespace {

// The end of a tune is found on the audio thread, which only posts this
// event, tagged with the tune it belongs to.
Uint32 g_musicEndEvent = 0;

// Without a GPU device OpenGL would run on Mesa's software rasteriser, which
// costs about 90 MB and several threads to show one picture; SDL's own
// renderer copies it for a fraction of that. SDL_RENDER_DRIVER still rules.
bool HasGraphicsDevice() {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/dri", ec)) {
        if (entry.path().filename().string().rfind("renderD", 0) == 0) return true;
    }
    return std::filesystem::exists("/dev/nvidiactl", ec);
}

// The desktop entry's name: task bars and docks group the window with its
// launcher and show the launcher's icon (the X11 class, the Wayland app id).
constexpr const char* kDesktopId = "io.munchora.Munchora";

}  // namespace

SdlPlatform::SdlPlatform() {
    SDL_setenv("SDL_VIDEO_X11_WMCLASS", kDesktopId, 0);
    SDL_setenv("SDL_VIDEO_WAYLAND_WMCLASS", kDesktopId, 0);
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    if (!HasGraphicsDevice()) {
        SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    }
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS | SDL_INIT_GAMECONTROLLER) != 0) {
        std::fprintf(stderr, "SDL could not start: %s\n", SDL_GetError());
    }
    g_musicEndEvent = SDL_RegisterEvents(1);
    audio_ = std::make_unique<SdlAudio>(g_musicEndEvent);
    SDL_StopTextInput();
}

SdlPlatform::~SdlPlatform() {
    audio_.reset();
    for (auto& [id, controller] : controllers_) SDL_GameControllerClose(controller);
    // Before SDL itself goes.
    texture_.reset();
    renderer_.reset();
    window_.reset();
    SDL_Quit();
}

void SdlPlatform::SdlDeleter::operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }
void SdlPlatform::SdlDeleter::operator()(SDL_Renderer* renderer) const { SDL_DestroyRenderer(renderer); }
void SdlPlatform::SdlDeleter::operator()(SDL_Texture* texture) const { SDL_DestroyTexture(texture); }

void SdlPlatform::SetWindowIcon(const std::string& pngPath) {
    if (!window_) return;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    std::vector<uint8_t> pixels;
    if (png_image_begin_read_from_file(&image, NativePath(pngPath).c_str())) {
        image.format = PNG_FORMAT_RGBA;
        pixels.resize(PNG_IMAGE_SIZE(image));
        if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) pixels.clear();
    }
    png_image_free(&image);
    if (pixels.empty()) {
        // Only the window's look suffers: the desktop shows its default icon.
        std::fprintf(stderr, "Can't read the window icon %s\n", NativePath(pngPath).c_str());
        return;
    }
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), int(image.width), int(image.height),
                                                           32, int(image.width) * 4, SDL_PIXELFORMAT_RGBA32);
    if (!icon) return;
    SDL_SetWindowIcon(window_.get(), icon);
    SDL_FreeSurface(icon);
}

uint32_t SdlPlatform::ClockTicks() { return SDL_GetTicks(); }

int64_t SdlPlatform::ClockMillisOfDay() {
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    return ms % 86400000;
}

int64_t SdlPlatform::UtcSeconds() {
    using namespace std::chrono;
    return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

bool SdlPlatform::CreateRenderer() {
    // Some drivers (the dummy one, some virtual displays) refuse vsync.
    renderer_.reset(
        SDL_CreateRenderer(window_.get(), -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC));
    if (!renderer_) renderer_.reset(SDL_CreateRenderer(window_.get(), -1, SDL_RENDERER_SOFTWARE));
    if (!renderer_) return false;
    texture_.reset(SDL_CreateTexture(renderer_.get(), SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING,
                                     kDisplayWidth, kDisplayHeight));
    return texture_ != nullptr;
}

bool SdlPlatform::InitializeDisplay(bool fullScreen) {
    if (!window_) {
        window_.reset(SDL_CreateWindow(Caption().c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                       kDisplayWidth, kDisplayHeight,
                                       SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_RESIZABLE));
        if (!window_ || !CreateRenderer()) {
            std::fprintf(stderr, "Can't open the game window: %s\n", SDL_GetError());
            return false;
        }
    }
    if (SDL_SetWindowFullscreen(window_.get(), fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
        std::fprintf(stderr, "Can't change the screen mode: %s\n", SDL_GetError());
    }
    if (!fullScreen) SDL_SetWindowSize(window_.get(), kDisplayWidth, kDisplayHeight);
    fullScreen_ = fullScreen;
    displayReady_ = true;
    return true;
}

void SdlPlatform::FinalizeDisplay() { displayReady_ = false; }

void SdlPlatform::Present() { frameFinished_ = true; }

void SdlPlatform::PresentLatest() {
    frameFinished_ = false;
    if (!displayReady_ || !renderer_) return;
    SDL_UpdateTexture(texture_.get(), nullptr, surface_.Pixels(), kDisplayWidth * int(sizeof(uint16_t)));
    int outputWidth = kDisplayWidth, outputHeight = kDisplayHeight;
    SDL_GetRendererOutputSize(renderer_.get(), &outputWidth, &outputHeight);
    const Placement placement = PlacePicture(outputWidth, outputHeight);
    // Whole factors stay sharp; in between, smoothing keeps small text legible.
    SDL_SetTextureScaleMode(texture_.get(),
                            placement.WholeFactor() ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
    const SDL_Rect target{placement.x, placement.y, placement.width, placement.height};
    SDL_SetRenderDrawColor(renderer_.get(), 0, 0, 0, 255);
    SDL_RenderClear(renderer_.get());
    SDL_RenderCopy(renderer_.get(), texture_.get(), nullptr, &target);
    SDL_RenderPresent(renderer_.get());
}

void SdlPlatform::ApplyCaption(const std::string& caption) {
    if (window_) SDL_SetWindowTitle(window_.get(), caption.c_str());
}

void SdlPlatform::SetCursor(Cursor cursor) {
    static SDL_Cursor* arrow = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    static SDL_Cursor* hourglass = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_WAIT);
    switch (cursor) {
        case Cursor::Hidden: SDL_ShowCursor(SDL_DISABLE); return;
        case Cursor::Hourglass:
            if (hourglass) SDL_SetCursor(hourglass);
            break;
        case Cursor::Default:
        case Cursor::Arrow:
            if (arrow) SDL_SetCursor(arrow);
            break;
    }
    SDL_ShowCursor(SDL_ENABLE);
}

void SdlPlatform::StoreWindowPlacement() {
    if (!window_) return;
    SDL_GetWindowPosition(window_.get(), &storedX_, &storedY_);
    placementStored_ = true;
}

void SdlPlatform::RestoreWindowPlacement() {
    if (window_ && placementStored_) SDL_SetWindowPosition(window_.get(), storedX_, storedY_);
}

bool SdlPlatform::InitializeSound() {
    soundReady_ = audio_->Open();
    return soundReady_;
}

void SdlPlatform::PlayWave(Wave& wave, const std::string&, int volume) {
    if (soundReady_) audio_->PlayWave(wave, volume);
}

// The music needs no sound device: without one a tune is read and checked,
// and plays silently.
bool SdlPlatform::MidiOpen(const std::string& path) { return audio_->MidiOpen(path); }

bool SdlPlatform::MidiPlay() { return audio_->MidiPlay(); }

void SdlPlatform::MidiClose() { audio_->MidiClose(); }

MidiMode SdlPlatform::GetMidiMode() { return audio_->Mode(); }

void SdlPlatform::SetMidiAttenuation(uint8_t attenuation) { audio_->SetMidiAttenuation(attenuation); }

void SdlPlatform::MessageBox(const std::string& caption, const std::string& text) {
    const std::string lines = MessageLines(text);
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), lines.c_str());
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption.c_str(), lines.c_str(), window_.get());
}

std::string SdlPlatform::UserDataDirectory() {
    char* path = SDL_GetPrefPath("", "munchora");
    if (!path) return {};
    std::string directory = NativePath(path);
    SDL_free(path);
    if (!directory.empty() && directory.back() != '/') directory.push_back('/');
    return directory;
}

void SdlPlatform::OpenController(int deviceIndex) {
    if (!SDL_IsGameController(deviceIndex)) return;
    if (SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex)) {
        controllers_[SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller))] = controller;
    }
}

uint32_t SdlPlatform::HeldInputMask() {
    uint32_t mask = InputMaskForKeys(heldKeys_) | InputMaskForKeys(pressedSincePoll_);
    pressedSincePoll_.clear();
    constexpr Sint16 kDeadZone = 16000;
    for (auto& [id, pad] : controllers_) {
        const Sint16 x = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX);
        const Sint16 y = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY);
        if (y < -kDeadZone || SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_UP)) mask |= isUp;
        if (y > kDeadZone || SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN))
            mask |= isDown;
        if (x < -kDeadZone || SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT))
            mask |= isLeft;
        if (x > kDeadZone || SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT))
            mask |= isRight;
        if (SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_A)) mask |= isButton1;
        if (SDL_GameControllerGetButton(pad, SDL_CONTROLLER_BUTTON_B)) mask |= isButton2;
    }
    return mask;
}

void SdlPlatform::HandleEvent(const SDL_Event& event, AppEvents& app) {
    switch (event.type) {
        case SDL_QUIT: DeliverClose(app); break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
                heldKeys_.clear();
                pressedSincePoll_.clear();
                SetActive(false, app);
            } else if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
                SetActive(true, app);
            }
            break;
        case SDL_KEYDOWN: {
            const uint16_t key = VirtualKeyOf(event.key.keysym.sym);
            if (key == 0) break;
            heldKeys_.insert(key);
            pressedSincePoll_.insert(key);
            DeliverKey(app, key, ShiftStateOf(event.key.keysym.mod));
            break;
        }
        case SDL_KEYUP: heldKeys_.erase(VirtualKeyOf(event.key.keysym.sym)); break;
        case SDL_CONTROLLERBUTTONDOWN:
            if (const uint16_t key = VirtualKeyOfButton(event.cbutton.button); key != 0)
                DeliverKey(app, key, 0);
            break;
        case SDL_CONTROLLERDEVICEADDED: OpenController(event.cdevice.which); break;
        case SDL_CONTROLLERDEVICEREMOVED:
            if (auto it = controllers_.find(event.cdevice.which); it != controllers_.end()) {
                SDL_GameControllerClose(it->second);
                controllers_.erase(it);
            }
            break;
        default:
            if (event.type == g_musicEndEvent && audio_->IsEndOfOpenTune(event.user.code))
                DeliverMusicEnd(app);
            break;
    }
}

void SdlPlatform::PumpEvents(AppEvents& app) {
    SDL_Event event;
    while (!QuitRequested() && SDL_PollEvent(&event)) HandleEvent(event, app);
}

bool SdlPlatform::FramesRunning() { return !QuitRequested() && Active() && Clock().Enabled(); }

void SdlPlatform::WaitForWork(AppEvents& app) {
    const uint32_t now = ClockTicks();
    uint32_t wait = TimeUntilHandler(now);
    if (!Playing()) wait = std::min(wait, pacer_.TimeUntilDue(now, Clock().Interval(), FramesRunning()));
    if (wait == 0) return;
    SDL_Event event;
    const bool arrived = wait == FramePacer::kNever
                             ? SDL_WaitEvent(&event) == 1
                             : SDL_WaitEventTimeout(&event, int(std::min<uint32_t>(wait, INT32_MAX))) == 1;
    if (arrived) HandleEvent(event, app);
}

void SdlPlatform::Run(AppEvents& app) {
    const auto present = [&] {
        if (!QuitRequested() && frameFinished_) PresentLatest();
    };
    while (!QuitRequested()) {
        PumpEvents(app);
        if (QuitRequested()) break;
        const uint32_t now = ClockTicks();
        if (Playing()) {
            // A recording plays at its own pace; the game's schedule starts
            // afresh after it.
            pacer_.Reset();
            if (RunPlaybackPass(app, now) > 0) present();
        } else {
            RunTimers(now, false);
            // The game frames that are due, then the latest of them on the
            // display; waiting for the display costs no game frames.
            pacer_.RunPass(
                now, Clock().Interval(), FramesRunning(),
                [&](uint32_t due) {
                    if (!QuitRequested() && !Playing()) RunFrame(app, due);
                },
                present);
        }
        if (!QuitRequested()) WaitForWork(app);
    }
}

}  // namespace platform

#include "platform/sdl/sdl_backend.h"

#include <SDL.h>
#include <png.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "formats/files.h"
#include "platform/placement.h"
#include "platform/sdl/sdl_keys.h"

namespace platform {

namespace {

// The end of a tune is found on the audio thread, which only posts this
// event, tagged with the tune it belongs to.
Uint32 g_musicEndEvent = 0;

// Without a GPU device OpenGL would run on Mesa's software rasteriser, which
// costs about 90 MB and several threads to show one picture; the window's
// own surface takes it for a fraction of that. SDL_RENDER_DRIVER still rules.
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

SdlBackend::SdlBackend() {
    SDL_setenv("SDL_VIDEO_X11_WMCLASS", kDesktopId, 0);
    SDL_setenv("SDL_VIDEO_WAYLAND_WMCLASS", kDesktopId, 0);
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    if (!HasGraphicsDevice() && !SDL_getenv("SDL_RENDER_DRIVER")) {
        drawOnWindowSurface_ = true;
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    }
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS | SDL_INIT_GAMECONTROLLER) != 0) {
        std::fprintf(stderr, "SDL could not start: %s\n", SDL_GetError());
    }
    g_musicEndEvent = SDL_RegisterEvents(1);
    audio_ = std::make_unique<SdlAudio>(g_musicEndEvent);
    SDL_StopTextInput();
}

SdlBackend::~SdlBackend() {
    audio_.reset();
    for (auto& [id, controller] : controllers_) SDL_GameControllerClose(controller);
    // Before SDL itself goes.
    texture_.reset();
    renderer_.reset();
    converted_.reset();
    window_.reset();
    SDL_Quit();
}

void SdlBackend::SdlDeleter::operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }
void SdlBackend::SdlDeleter::operator()(SDL_Renderer* renderer) const { SDL_DestroyRenderer(renderer); }
void SdlBackend::SdlDeleter::operator()(SDL_Texture* texture) const { SDL_DestroyTexture(texture); }
void SdlBackend::SdlDeleter::operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }

void SdlBackend::SetWindowIcon(const std::string& pngPath) {
    if (!window_) return;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    std::vector<uint8_t> pixels;
    if (png_image_begin_read_from_file(&image, formats::NativePath(pngPath).c_str())) {
        image.format = PNG_FORMAT_RGBA;
        pixels.resize(PNG_IMAGE_SIZE(image));
        if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) pixels.clear();
    }
    png_image_free(&image);
    if (pixels.empty()) {
        // Only the window's look suffers: the desktop shows its default icon.
        std::fprintf(stderr, "Can't read the window icon %s\n", formats::NativePath(pngPath).c_str());
        return;
    }
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), int(image.width), int(image.height),
                                                           32, int(image.width) * 4, SDL_PIXELFORMAT_RGBA32);
    if (!icon) return;
    SDL_SetWindowIcon(window_.get(), icon);
    SDL_FreeSurface(icon);
}

uint32_t SdlBackend::Ticks() { return SDL_GetTicks(); }

int64_t SdlBackend::MillisOfDay() {
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    return ms % 86400000;
}

int64_t SdlBackend::UtcSeconds() {
    using namespace std::chrono;
    return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

bool SdlBackend::CreatePresenter() {
    Uint32 format = SDL_PIXELFORMAT_RGB888;
    if (drawOnWindowSurface_) {
        // The frame converted to the window's format, copied or stretched
        // onto the window's surface.
        const SDL_Surface* window = SDL_GetWindowSurface(window_.get());
        if (!window) return false;
        if (window->format->BytesPerPixel == 4) format = window->format->format;
        converted_.reset(SDL_CreateRGBSurfaceWithFormat(0, kDisplayWidth, kDisplayHeight, 32, format));
        if (!converted_) return false;
        SDL_SetSurfaceBlendMode(converted_.get(), SDL_BLENDMODE_NONE);
    } else {
        // Some drivers (the dummy one, some virtual displays) refuse vsync.
        renderer_.reset(
            SDL_CreateRenderer(window_.get(), -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC));
        if (!renderer_) renderer_.reset(SDL_CreateRenderer(window_.get(), -1, SDL_RENDERER_SOFTWARE));
        if (!renderer_) return false;
        // A 32-bit texture the renderer takes as it is, the window's format
        // where it can: the frame is converted once, on its way into the
        // texture, rather than again at every present or upload.
        SDL_RendererInfo info{};
        SDL_GetRendererInfo(renderer_.get(), &info);
        const Uint32 windowFormat = SDL_GetWindowPixelFormat(window_.get());
        format = SDL_PIXELFORMAT_ARGB8888;
        for (Uint32 i = 0; i < info.num_texture_formats; ++i) {
            const Uint32 offered = info.texture_formats[i];
            if (offered == windowFormat && SDL_BYTESPERPIXEL(offered) == 4) {
                format = offered;
                break;
            }
            if (offered == SDL_PIXELFORMAT_RGB888) format = offered;
        }
        texture_.reset(SDL_CreateTexture(renderer_.get(), format, SDL_TEXTUREACCESS_STREAMING, kDisplayWidth,
                                         kDisplayHeight));
        if (!texture_) return false;
        SDL_SetTextureBlendMode(texture_.get(), SDL_BLENDMODE_NONE);
    }
    convertedFilled_ = false;
    inConverted_.assign(size_t(kDisplayWidth) * kDisplayHeight, 0);
    // Every 16-bit pixel as SDL converts it: the picture is the one SDL's
    // own conversion showed.
    std::vector<uint16_t> every(65536);
    for (size_t i = 0; i < every.size(); ++i) every[i] = uint16_t(i);
    convertedPixelOf_.resize(every.size());
    return SDL_ConvertPixels(256, 256, SDL_PIXELFORMAT_RGB565, every.data(), 256 * 2, format,
                             convertedPixelOf_.data(), 256 * 4) == 0;
}

bool SdlBackend::InitializeDisplay(bool fullScreen) {
    if (!window_) {
        window_.reset(SDL_CreateWindow(Dispatcher().Caption().c_str(), SDL_WINDOWPOS_CENTERED,
                                       SDL_WINDOWPOS_CENTERED, kDisplayWidth, kDisplayHeight,
                                       SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_RESIZABLE));
        if (!window_ || !CreatePresenter()) {
            std::fprintf(stderr, "Can't open the game window: %s\n", SDL_GetError());
            return false;
        }
    }
    if (SDL_SetWindowFullscreen(window_.get(), fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
        std::fprintf(stderr, "Can't change the screen mode: %s\n", SDL_GetError());
    }
    if (!fullScreen) SDL_SetWindowSize(window_.get(), kDisplayWidth, kDisplayHeight);
    Dispatcher().SetFullScreen(fullScreen);
    Dispatcher().SetDisplayReady(true);
    windowStale_ = true;
    return true;
}

void SdlBackend::FinalizeDisplay() { Dispatcher().SetDisplayReady(false); }

void SdlBackend::Present() { frameFinished_ = true; }

void SdlBackend::ShowFrame() {
    if (Dispatcher().QuitRequested() || !Dispatcher().CanDraw() || !(texture_ || converted_)) return;
    if (frameFinished_ || !convertedFilled_) {
        frameFinished_ = false;
        // Only the rows between the first and the last that changed.
        const uint16_t* frame = Dispatcher().Display().Pixels();
        const uint16_t* held = inConverted_.data();
        constexpr int w = kDisplayWidth;
        const auto sameRow = [&](int y) {
            return std::memcmp(frame + y * w, held + y * w, w * sizeof(uint16_t)) == 0;
        };
        int top = 0, bottom = kDisplayHeight;
        if (convertedFilled_) {
            while (top < bottom && sameRow(top)) ++top;
            while (bottom > top && sameRow(bottom - 1)) --bottom;
        }
        if (top < bottom) {
            void* pixels = nullptr;
            int pitch = 0;
            if (texture_) {
                const SDL_Rect rows{0, top, w, bottom - top};
                if (SDL_LockTexture(texture_.get(), &rows, &pixels, &pitch) != 0) return;
            } else {
                pitch = converted_->pitch;
                pixels = static_cast<uint8_t*>(converted_->pixels) + top * pitch;
            }
            for (int y = top; y < bottom; ++y) {
                const uint16_t* in = frame + y * w;
                auto* out = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(pixels) + (y - top) * pitch);
                for (int x = 0; x < w; ++x) out[x] = convertedPixelOf_[in[x]];
            }
            if (texture_) SDL_UnlockTexture(texture_.get());
            std::memcpy(inConverted_.data() + top * w, frame + top * w,
                        size_t(bottom - top) * w * sizeof(uint16_t));
            convertedFilled_ = true;
            if (pendingTop_ == pendingBottom_) {
                pendingTop_ = top;
                pendingBottom_ = bottom;
            } else {
                pendingTop_ = std::min(pendingTop_, top);
                pendingBottom_ = std::max(pendingBottom_, bottom);
            }
        }
    }
    if (windowStale_ || pendingTop_ < pendingBottom_) PresentLatest();
}

void SdlBackend::PresentLatest() {
    const SDL_Rect rows{0, pendingTop_, kDisplayWidth, pendingBottom_ - pendingTop_};
    const bool whole = windowStale_;
    windowStale_ = false;
    pendingTop_ = pendingBottom_ = 0;
    int outputWidth = kDisplayWidth, outputHeight = kDisplayHeight;
    SDL_Surface* window = nullptr;
    if (renderer_) {
        SDL_GetRendererOutputSize(renderer_.get(), &outputWidth, &outputHeight);
    } else {
        window = SDL_GetWindowSurface(window_.get());
        if (!window) return;
        outputWidth = window->w;
        outputHeight = window->h;
    }
    const Placement placement = PlacePicture(outputWidth, outputHeight);
    SDL_Rect target{placement.x, placement.y, placement.width, placement.height};
    const bool bars = target.x > 0 || target.y > 0 || target.w < outputWidth || target.h < outputHeight;
    if (renderer_) {
        // Whole factors stay sharp; in between, smoothing keeps small text legible.
        SDL_SetTextureScaleMode(texture_.get(),
                                placement.WholeFactor() ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
        // Only the bars beside the picture need clearing.
        if (bars) {
            SDL_SetRenderDrawColor(renderer_.get(), 0, 0, 0, 255);
            SDL_RenderClear(renderer_.get());
        }
        SDL_RenderCopy(renderer_.get(), texture_.get(), nullptr, &target);
        SDL_RenderPresent(renderer_.get());
        return;
    }
    const bool oneToOne = target.w == kDisplayWidth && target.h == kDisplayHeight;
    if (oneToOne && !whole) {
        // The window keeps the rest: only the rows that changed go to it.
        SDL_Rect to{target.x, target.y + rows.y, rows.w, rows.h};
        SDL_Rect from = rows;
        SDL_BlitSurface(converted_.get(), &from, window, &to);
        SDL_UpdateWindowSurfaceRects(window_.get(), &to, 1);
        return;
    }
    if (bars) SDL_FillRect(window, nullptr, SDL_MapRGB(window->format, 0, 0, 0));
    if (oneToOne) {
        SDL_BlitSurface(converted_.get(), nullptr, window, &target);
    } else if (converted_->format->format != window->format->format) {
        SDL_BlitScaled(converted_.get(), nullptr, window, &target);
    } else if (placement.WholeFactor()) {
        SDL_SoftStretch(converted_.get(), nullptr, window, &target);
    } else {
        SDL_SoftStretchLinear(converted_.get(), nullptr, window, &target);
    }
    SDL_UpdateWindowSurface(window_.get());
}

void SdlBackend::ShowCaption(const std::string& caption) {
    if (window_) SDL_SetWindowTitle(window_.get(), caption.c_str());
}

void SdlBackend::SetCursor(Cursor cursor) {
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

void SdlBackend::StoreWindowPlacement() {
    if (!window_) return;
    SDL_GetWindowPosition(window_.get(), &storedX_, &storedY_);
    placementStored_ = true;
}

void SdlBackend::RestoreWindowPlacement() {
    if (window_ && placementStored_) SDL_SetWindowPosition(window_.get(), storedX_, storedY_);
}

bool SdlBackend::InitializeSound() {
    soundReady_ = audio_->Open();
    return soundReady_;
}

void SdlBackend::PlayWave(media::Wave& wave, const std::string&, int volume) {
    if (soundReady_) audio_->PlayWave(wave, volume);
}

// The music needs no sound device: without one a tune is read and checked,
// and plays silently.
bool SdlBackend::MidiOpen(const std::string& path) { return audio_->MidiOpen(path); }

bool SdlBackend::MidiPlay() { return audio_->MidiPlay(); }

void SdlBackend::MidiClose() { audio_->MidiClose(); }

MidiMode SdlBackend::GetMidiMode() { return audio_->Mode(); }

void SdlBackend::SetMidiAttenuation(uint8_t attenuation) { audio_->SetMidiAttenuation(attenuation); }

void SdlBackend::MessageBox(const std::string& caption, const std::string& text) {
    const std::string lines = MessageLines(text);
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), lines.c_str());
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption.c_str(), lines.c_str(), window_.get());
}

std::string SdlBackend::UserDataDirectory() {
    char* path = SDL_GetPrefPath("", "munchora");
    if (!path) return {};
    std::string directory = formats::NativePath(path);
    SDL_free(path);
    if (!directory.empty() && directory.back() != '/') directory.push_back('/');
    return directory;
}

void SdlBackend::OpenController(int deviceIndex) {
    if (!SDL_IsGameController(deviceIndex)) return;
    if (SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex)) {
        controllers_[SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller))] = controller;
    }
}

uint32_t SdlBackend::HeldInputMask() {
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

void SdlBackend::DeliverPointer(AppEvents& app, PointerAction action, int windowX, int windowY) {
    if (!window_) return;
    int width = 0, height = 0;
    SDL_GetWindowSize(window_.get(), &width, &height);
    const Placement placement = PlacePicture(width, height);
    if (placement.width <= 0 || placement.height <= 0) return;
    // Window points to the picture's pixels, kept on the picture.
    const int x = std::clamp((windowX - placement.x) * kDisplayWidth / placement.width, 0, kDisplayWidth - 1);
    const int y =
        std::clamp((windowY - placement.y) * kDisplayHeight / placement.height, 0, kDisplayHeight - 1);
    Dispatcher().DeliverPointer(app, {action, x, y});
}

void SdlBackend::HandleEvent(const SDL_Event& event, AppEvents& app) {
    switch (event.type) {
        case SDL_QUIT: Dispatcher().DeliverClose(app); break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
                heldKeys_.clear();
                pressedSincePoll_.clear();
                Dispatcher().SetActive(false, app);
            } else if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
                Dispatcher().SetActive(true, app);
            } else if (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
                       event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
                windowStale_ = true;
            }
            break;
        case SDL_KEYDOWN: {
            const uint16_t key = VirtualKeyOf(event.key.keysym.sym);
            if (key == 0) break;
            heldKeys_.insert(key);
            pressedSincePoll_.insert(key);
            Dispatcher().DeliverKey(app, key, ShiftStateOf(event.key.keysym.mod));
            break;
        }
        case SDL_KEYUP: heldKeys_.erase(VirtualKeyOf(event.key.keysym.sym)); break;
        case SDL_CONTROLLERBUTTONDOWN:
            if (const uint16_t key = VirtualKeyOfButton(event.cbutton.button); key != 0)
                Dispatcher().DeliverKey(app, key, 0);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            if (event.button.button == SDL_BUTTON_LEFT)
                DeliverPointer(
                    app, event.type == SDL_MOUSEBUTTONDOWN ? PointerAction::Press : PointerAction::Release,
                    event.button.x, event.button.y);
            break;
        case SDL_MOUSEMOTION:
            if (event.motion.state & SDL_BUTTON_LMASK)
                DeliverPointer(app, PointerAction::Move, event.motion.x, event.motion.y);
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
                Dispatcher().DeliverMusicEnd(app);
            break;
    }
}

void SdlBackend::PumpEvents(AppEvents& app) {
    SDL_Event event;
    while (!Dispatcher().QuitRequested() && SDL_PollEvent(&event)) HandleEvent(event, app);
}

bool SdlBackend::FramesRunning() {
    return !Dispatcher().QuitRequested() && Dispatcher().Active() && Dispatcher().Clock().Enabled();
}

void SdlBackend::WaitForWork(AppEvents& app) {
    const uint32_t now = Ticks();
    uint32_t wait = Dispatcher().TimeUntilHandler(now);
    if (!Dispatcher().Playing())
        wait = std::min(wait, pacer_.TimeUntilDue(now, Dispatcher().Clock().Interval(), FramesRunning()));
    if (wait == 0) return;
    SDL_Event event;
    const bool arrived = wait == FramePacer::kNever
                             ? SDL_WaitEvent(&event) == 1
                             : SDL_WaitEventTimeout(&event, int(std::min<uint32_t>(wait, INT32_MAX))) == 1;
    if (arrived) HandleEvent(event, app);
}

void SdlBackend::Run(AppEvents& app) {
    Platform& platform = Dispatcher();
    const auto present = [&] { ShowFrame(); };
    while (!platform.QuitRequested()) {
        PumpEvents(app);
        platform.DeliverReplies(app);
        if (platform.QuitRequested()) break;
        const uint32_t now = Ticks();
        if (platform.Playing()) {
            // A recording plays at its own pace; the game's schedule starts
            // afresh after it.
            pacer_.Reset();
            if (platform.RunPlaybackPass(app, now) > 0) present();
        } else {
            platform.RunTimers(now, false);
            // The game frames that are due, then the latest of them on the
            // display; waiting for the display costs no game frames.
            pacer_.RunPass(
                now, platform.Clock().Interval(), FramesRunning(),
                [&](uint32_t due) {
                    if (!platform.QuitRequested() && !platform.Playing()) platform.RunFrame(app, due);
                },
                present);
        }
        if (windowStale_) present();  // the window lost its picture
        if (!platform.QuitRequested()) WaitForWork(app);
    }
}

}  // namespace platform

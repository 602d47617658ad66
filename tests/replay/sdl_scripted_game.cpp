// The real game on the real SDL backend, played from a headless runner's
// script: each command's key goes into SDL's event queue as a key event once
// the frame before it has run, and takes the backend's whole way from there.
// Every game is recorded, as by the game itself. Run it with SDL's dummy
// video and audio drivers; the end-to-end tests check its recordings.
//
// Usage: munchora-sdl-script DATA_DIR SCRIPT REPLAYS_DIR FRAMES
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "formats/files.h"
#include "platform/headless/script.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/sdl_keys.h"
#include "shell/boot.h"
#include "shell/main_form.h"

namespace {

// The SDL key of each virtual key a script can name.
SDL_Keycode SdlKeyOf(uint16_t key) {
    static const std::map<uint16_t, SDL_Keycode> keys = [] {
        std::map<uint16_t, SDL_Keycode> found;
        const auto add = [&found](SDL_Keycode sym) { found.emplace(platform::VirtualKeyOf(sym), sym); };
        for (SDL_Keycode sym = SDLK_a; sym <= SDLK_z; ++sym) add(sym);
        for (SDL_Keycode sym = SDLK_0; sym <= SDLK_9; ++sym) add(sym);
        for (SDL_Keycode sym = SDLK_F1; sym <= SDLK_F12; ++sym) add(sym);
        for (SDL_Keycode sym = SDLK_KP_1; sym <= SDLK_KP_9; ++sym) add(sym);
        for (SDL_Keycode sym : {SDLK_KP_0, SDLK_RETURN, SDLK_ESCAPE, SDLK_BACKSPACE, SDLK_TAB, SDLK_SPACE,
                                SDLK_LEFT, SDLK_UP, SDLK_RIGHT, SDLK_DOWN, SDLK_KP_MULTIPLY, SDLK_KP_PLUS,
                                SDLK_KP_MINUS, SDLK_KP_PERIOD, SDLK_KP_DIVIDE}) {
            add(sym);
        }
        return found;
    }();
    const auto it = keys.find(key);
    return it == keys.end() ? SDLK_UNKNOWN : it->second;
}

Uint16 ModOf(platform::ShiftState shift) {
    return Uint16((shift & platform::kShift ? KMOD_LSHIFT : 0) | (shift & platform::kAlt ? KMOD_LALT : 0) |
                  (shift & platform::kCtrl ? KMOD_LCTRL : 0));
}

void Push(const platform::ScriptCommand& command) {
    using Kind = platform::ScriptCommand::Kind;
    SDL_Event event{};
    switch (command.kind) {
        case Kind::Down:
        case Kind::Up:
            event.type = command.kind == Kind::Down ? SDL_KEYDOWN : SDL_KEYUP;
            event.key.state = command.kind == Kind::Down ? SDL_PRESSED : SDL_RELEASED;
            event.key.keysym.sym = SdlKeyOf(command.key);
            event.key.keysym.mod = ModOf(command.shift);
            break;
        case Kind::Deactivate:
        case Kind::Activate:
            event.type = SDL_WINDOWEVENT;
            event.window.event =
                command.kind == Kind::Activate ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST;
            break;
        case Kind::Close: event.type = SDL_QUIT; break;
        case Kind::Pointer:
            // The window shows the picture at 1x: its points are the picture's.
            if (command.pointer.action == platform::PointerAction::Move) {
                event.type = SDL_MOUSEMOTION;
                event.motion.state = SDL_BUTTON_LMASK;
                event.motion.x = command.pointer.x;
                event.motion.y = command.pointer.y;
            } else {
                event.type = command.pointer.action == platform::PointerAction::Press ? SDL_MOUSEBUTTONDOWN
                                                                                      : SDL_MOUSEBUTTONUP;
                event.button.button = SDL_BUTTON_LEFT;
                event.button.x = command.pointer.x;
                event.button.y = command.pointer.y;
            }
            break;
        case Kind::Shot:
        case Kind::Dump: return;
    }
    SDL_PushEvent(&event);
}

// The game's window, with the script's events pushed after each frame.
class ScriptedApp : public platform::ForwardingEvents {
public:
    ScriptedApp(shell::TMainForm& form, platform::Platform& media, platform::Script script, int frames)
        : ForwardingEvents(form), media_(media), script_(std::move(script)), frames_(frames) {}

    void PushFor(int frame) {
        const auto it = script_.byFrame.find(frame);
        if (it == script_.byFrame.end()) return;
        for (const platform::ScriptCommand& command : it->second) Push(command);
    }

    void OnFrame() override {
        ForwardingEvents::OnFrame();
        if (++done_ >= frames_) media_.Quit();
        PushFor(done_ + 1);
    }

private:
    platform::Platform& media_;
    platform::Script script_;
    int frames_;
    int done_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: munchora-sdl-script DATA_DIR SCRIPT REPLAYS_DIR FRAMES\n");
        return 2;
    }
    std::string dataDir = argv[1];
    if (dataDir.back() != '/') dataDir += '/';
    const auto text = formats::ReadFileBytes(argv[2]);
    if (!text) {
        std::fprintf(stderr, "munchora-sdl-script: can't read %s\n", argv[2]);
        return 2;
    }
    platform::Script script;
    try {
        script = platform::ParseScript(std::string(text->begin(), text->end()));
    } catch (const std::invalid_argument& error) {
        std::fprintf(stderr, "munchora-sdl-script: %s\n", error.what());
        return 2;
    }

    platform::SdlBackend machine;
    platform::Platform media(machine);
    shell::TBootOptions boot;
    boot.programDir = dataDir;
    boot.settingsDir = dataDir;
    boot.replayDirectory = std::string(argv[3]) + "/";
    const std::unique_ptr<shell::TMainForm> window = shell::Boot(media, boot);
    shell::TMainForm& form = *window;
    ScriptedApp app(form, media, std::move(script), std::atoi(argv[4]));
    app.PushFor(1);
    media.Run(app);
    form.FormClose();
    return 0;
}

// A virtual game controller drives the real SDL backend: its stick, d-pad
// and buttons give the input states and key events a keyboard would.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/sdl/sdl_backend.h"

namespace {

struct RecordingApp : platform::AppEvents {
    std::vector<uint16_t> keys;
    void OnFrame() override {}
    void OnKeyDown(uint16_t key, platform::ShiftState) override { keys.push_back(key); }
    void OnActivate() override {}
    void OnDeactivate() override {}
    void OnMusicEnd() override {}
    void OnCloseButton() override {}
};

TEST(Controller, StatesAndKeysFromAVirtualController) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    platform::SdlBackend machine;
    platform::Platform media(machine);
    const int device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                                 SDL_CONTROLLER_BUTTON_MAX, 0);
    ASSERT_GE(device, 0) << SDL_GetError();
    RecordingApp app;
    machine.PumpEvents(app);  // the controller arrives and is opened
    SDL_Joystick* joystick = SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(device));
    ASSERT_NE(joystick, nullptr);

    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTX, -30000);
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_A, 1);
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_DPAD_UP, 1);
    SDL_JoystickUpdate();
    machine.PumpEvents(app);
    EXPECT_EQ(machine.HeldStates(), platform::isLeft | platform::isUp | platform::isButton1);
    EXPECT_EQ(app.keys, (std::vector<uint16_t>{platform::vk::Enter, platform::vk::Up}));

    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTX, 0);
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_A, 0);
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_DPAD_UP, 0);
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_B, 1);
    SDL_JoystickUpdate();
    app.keys.clear();
    machine.PumpEvents(app);
    EXPECT_EQ(machine.HeldStates(), platform::isButton2);
    EXPECT_EQ(app.keys, (std::vector<uint16_t>{platform::vk::Escape}));
    SDL_JoystickDetachVirtual(device);
}

}  // namespace

namespace {

void PushKey(Uint32 type, SDL_Keycode key) {
    SDL_Event event{};
    event.type = type;
    event.key.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    SDL_PushEvent(&event);
}

TEST(Keyboard, ATapShorterThanAFrameStillCountsOnce) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    platform::SdlBackend machine;
    platform::Platform media(machine);
    RecordingApp app;
    PushKey(SDL_KEYDOWN, SDLK_SPACE);
    PushKey(SDL_KEYUP, SDLK_SPACE);
    machine.PumpEvents(app);
    EXPECT_EQ(app.keys, (std::vector<uint16_t>{platform::vk::Space}));
    EXPECT_EQ(machine.HeldStates(), platform::isButton1);
    EXPECT_EQ(machine.HeldStates(), 0u);  // released: gone at the next reading
}

}  // namespace

// The screens of the main window. Each is a small part of the window with
// what it does on entering, on each frame and on leaving, and the keys it
// takes; the window finds the one on show through its table by
// TScreenState and shares its services (sprites, pictures, sounds, the
// buttons, the message and input lines) with them.
#pragma once

#include <cstdint>

#include "platform/input.h"
#include "shell/main_form.h"

namespace shell {

class TMainForm::TScreen {
public:
    explicit TScreen(TMainForm& form) : form_(form) {}
    virtual ~TScreen() = default;

    virtual void Enter() {}
    virtual void Frame() {}
    virtual void Leave() {}

    // A key comes to the screen on show in these steps, each asking the
    // screen on show at that moment (a step may change screens):
    // any key at all, first;
    virtual void AnyKey() {}
    // Escape: back to the main menu, unless the screen says otherwise;
    virtual void Escape() { form_.SetScreenState(scMainMenu); }
    // after Escape and the exit prompt's answer, the screen's own keys;
    virtual void Key(uint16_t) {}
    // last, with the Debug word only, the test keys.
    virtual void TestKey(uint16_t, platform::ShiftState) {}

    // The window's close button, before the window closes.
    virtual void WindowClosing() {}
    // The mouse or a finger: only the editor takes it.
    virtual void Pointer(const platform::PointerEvent&) {}

protected:
    TMainForm& form_;
};

// A screen of buttons: Up and Down choose one, Enter pushes it.
class TMainForm::TMenuScreen : public TMainForm::TScreen {
public:
    using TScreen::TScreen;
    void Key(uint16_t key) override;
};

class TMainForm::TIntroScreen : public TMainForm::TScreen {
public:
    using TScreen::TScreen;
    void Enter() override;
    void Frame() override;
    void AnyKey() override;
};

class TMainForm::TMainMenuScreen : public TMainForm::TMenuScreen {
public:
    using TMenuScreen::TMenuScreen;
    void Enter() override;
    void Leave() override;
    void Escape() override { form_.SetScreenState(scQuit); }
};

class TMainForm::THelpScreen : public TMainForm::TMenuScreen {
public:
    using TMenuScreen::TMenuScreen;
    void Enter() override;
};

// With a server set, Left and Right switch to the online table and back.
class TMainForm::THighScoresScreen : public TMainForm::TMenuScreen {
public:
    using TMenuScreen::TMenuScreen;
    void Enter() override;
    void Frame() override;
    void Leave() override;
    void Key(uint16_t key) override;

private:
    void DrawLocalTable();
};

class TMainForm::TOptionsScreen : public TMainForm::TMenuScreen {
public:
    using TMenuScreen::TMenuScreen;
    void Enter() override;
    void Leave() override;
};

// The name of a new high score, typed on the input line.
class TMainForm::TNewHighScoreScreen : public TMainForm::TScreen {
public:
    using TScreen::TScreen;
    void Enter() override;
    void Frame() override;
    void Leave() override;
    void Key(uint16_t key) override;
    // The typed name is stored, as Escape would.
    void WindowClosing() override { Leave(); }
};

class TMainForm::TPasswordScreen : public TMainForm::TScreen {
public:
    using TScreen::TScreen;
    void Enter() override;
    void Frame() override;
    void Key(uint16_t key) override;
};

class TMainForm::TGameScreen : public TMainForm::TScreen {
public:
    using TScreen::TScreen;
    // The next level; what the level's rules came to each frame, the message
    // line and the status panel; the level ends.
    void Enter() override;
    void Frame() override;
    void Leave() override;
    // The exit prompt, or back from P's pause to the prompt.
    void Escape() override;
    // P pauses, M silences the music.
    void Key(uint16_t key) override;
    void TestKey(uint16_t key, platform::ShiftState shift) override;

private:
    // The five lines of the status panel, and "Paused" below them.
    void DrawStatusPanel(int32_t percent, bool paused);
};

// The game-over and game-complete pictures, each with its sound: any input
// goes on, to the name entry when the score makes the table.
class TMainForm::TEndPictureScreen : public TMainForm::TScreen {
public:
    enum class TOrder : uint8_t { PictureFirst, SoundFirst };
    TEndPictureScreen(TMainForm& form, const char* name, TOrder order)
        : TScreen(form), name_(name), order_(order) {}
    void Enter() override;
    void Frame() override;

private:
    const char* name_;  // of the picture and the sound
    TOrder order_;
};

// The level editor (editor_screen.cpp).
class TMainForm::TEditorScreen : public TMainForm::TScreen {
public:
    using TScreen::TScreen;
    void Enter() override;
    void Frame() override;
    void Escape() override;
    void Key(uint16_t key) override;
    void Pointer(const platform::PointerEvent& event) override;
};

// The level sets to play: the shipped one and the player's.
class TMainForm::TLevelSetsScreen : public TMainForm::TScreen {
public:
    using TScreen::TScreen;
    void Enter() override;
    void Frame() override;
    void Key(uint16_t key) override;
};

class TMainForm::TQuitScreen : public TMainForm::TScreen {
public:
    using TScreen::TScreen;
    void Enter() override { form_.Close(); }
};

}  // namespace shell

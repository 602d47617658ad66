// Key-down events of the main window. Every key is recorded in LastKey,
// which steers the player; the screen on show takes the rest (menus, text
// entry, the exit prompt, the test keys), and Alt+Enter switches the screen
// mode.
#include "engine/image_sprite.h"
#include "game/globals.h"
#include "shell/screen.h"

namespace shell {

using namespace game;
namespace vk = platform::vk;

void TMainForm::FormKeyDown(uint16_t key, platform::ShiftState shift) {
    // A game this key starts is recorded as started by it.
    keyInProgress_ = key;
    shiftInProgress_ = shift;
    struct Done {
        TMainForm& form;
        ~Done() { form.keyInProgress_ = form.shiftInProgress_ = 0; }
    } done{*this};

    game::State.LastKey = key;
    // Each step asks the screen on show then: a step may change screens.
    CurrentScreen().AnyKey();
    if (key == vk::Escape) CurrentScreen().Escape();

    // Y and N answer the exit prompt, not P's pause: there they steer nothing.
    if (Paused && !PausedByKey) {
        if (key == 'Y') {
            Paused = false;
            SetScreenState(scMainMenu);
        } else if (key == 'N') {
            Paused = false;
            if (ExitPromptSprite) ExitPromptSprite->Kill();
            ExitPromptSprite = nullptr;
        }
    }

    CurrentScreen().Key(key);
    FinishKeyDown(key, shift);
}

// A replay of a game that a key started runs this part again.
void TMainForm::FinishKeyDown(uint16_t key, platform::ShiftState shift) {
    if (game::State.StartOptions.Debug) CurrentScreen().TestKey(key, shift);

    // A replay leaves the watcher's window as it is.
    if (key == vk::Enter && (shift & platform::kAlt) && replayMode_ == TReplayMode::None) {
        ToggleFullScreen();
        // The mode is remembered for the next start; a failed write is told
        // but, unlike leaving the options, does not end the game.
        if (!SaveSettings(kSettingsFile)) ShowMessage(std::string("Error of writing ") + kSettingsFile);
    }
}

}  // namespace shell

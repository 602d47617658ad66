// Key-down events of the main window. Every key is recorded in LastKey,
// which steers the player; the rest drives the menus, text entry, the exit
// prompt, the screen mode and the test keys.
#include "engine/image_sprite.h"
#include "game/globals.h"
#include "shell/main_form.h"
#include "widgets/button.h"
#include "widgets/input_line.h"

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
    if (State == scIntro) introIdleSince_ = media_.TickCount();

    if (key == vk::Escape) {
        // Escape during P's pause asks whether to quit, as during play.
        if (State == scGame && PausedByKey) TogglePause();
        if (State == scGame && !Paused && !LevelIsDone()) {
            ExitPromptSprite = AddCenteredImage("ExitPrompt", 5);
            Paused = true;
        } else if (State == scMainMenu) {
            SetScreenState(scQuit);
        } else if (State != scGame) {
            SetScreenState(scMainMenu);
        }
    }

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

    // On the game screen only: on the text screens P and M are letters.
    if (State == scGame && key == 'P') TogglePause();
    if (State == scGame && key == 'M') ToggleMusicMute();

    if ((State == scNewHighScore || State == scPassword) && InputLine) InputLine->HandleKey(key);

    if (State == scMainMenu || State == scHelp || State == scHighScores || State == scOptions) {
        if (key == vk::Up || key == vk::Down) PlaySound("Button");
        if (key == vk::Enter) PlaySound("PushButton");
        if (key == vk::Up) --SelectedButton;
        if (key == vk::Down) ++SelectedButton;
        if (SelectedButton == 0) SelectedButton = ButtonCount;
        if (SelectedButton == ButtonCount + 1) SelectedButton = 1;
        if (SelectedButton >= 1 && SelectedButton <= ButtonCount && Buttons[size_t(SelectedButton)]) {
            Buttons[size_t(SelectedButton)]->HandleKey(key);
        }
    }

    FinishKeyDown(key, shift);
}

// A replay of a game that a key started runs this part again.
void TMainForm::FinishKeyDown(uint16_t key, platform::ShiftState shift) {
    if (game::State.StartOptions.Debug && State == scGame) DebugKey(key, shift);

    // A replay leaves the watcher's window as it is.
    if (key == vk::Enter && (shift & platform::kAlt) && replayMode_ == TReplayMode::None) {
        ToggleFullScreen();
        // The mode is remembered for the next start; a failed write is told
        // but, unlike leaving the options, does not end the game.
        if (!SaveSettings(kSettingsFile)) ShowMessage(std::string("Error of writing ") + kSettingsFile);
    }
}

}  // namespace shell

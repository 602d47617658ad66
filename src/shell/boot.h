// Every program that runs the game (the window, the browser, the headless
// runner, the playtest, the tests and the benchmarks) starts it here, so
// they all run the same game from the same first state.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "game/globals.h"
#include "platform/platform.h"

namespace shell {

class TMainForm;

struct TBootOptions {
    std::string programDir;  // with its trailing separator
    // Where settings and high scores are kept; empty: the program directory.
    std::string settingsDir;
    game::TStartOptions startOptions;
    // Where games are recorded; empty: they are not (a replay being watched).
    // With a level set of the player's, its games go below its own folder.
    std::string replayDirectory;
    // The level set to play: empty for the shipped one, else its folder
    // (with its trailing separator) and its name.
    std::string levelSetFolder;
    std::string levelSetName;
    // Overrides the settings' frame interval when above 0.
    uint32_t frameIntervalMs = 0;
    // Off, the window is made but not shown: a test builds its own scene.
    bool show = true;
};

// Sets up the game state for a new session on the backend (its time of day
// seeds the random numbers), makes the main window, opens the sound unless
// the start options say NoSound, and shows the window.
std::unique_ptr<TMainForm> Boot(platform::Platform& media, const TBootOptions& options);

}  // namespace shell

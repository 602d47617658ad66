// The two values that live once for the whole run: the state of the game
// being played, which screens, the actors and the recordings read and write,
// and where the program lives and how loud it plays.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/level.h"

namespace game {

enum TGameType : uint8_t { gtClassic = 0, gtFeatures = 1 };

// The command-line words.
struct TStartOptions {
    bool Debug = false;
    bool NoMidi = false;
    bool FullScreen = false;
    bool NoSound = false;
};

// One result as the high-score table stores it.
struct THighScoreRecord {
    std::string Name;  // at most 20 characters
    int32_t Score = 0;
    int32_t Monsters = 0;
    int32_t Bonuses = 0;
    int32_t Level = 0;
};

// Everything the course of a game depends on besides its sprites: a
// recording notes part of it at the start, the intro's demo keeps a copy of
// all of it and gives it back.
struct TGameState {
    // The running result; a new high-score entry stores it as it is.
    THighScoreRecord Player;
    int32_t Lives = 0;
    int32_t PlayersAlive = 0;
    int32_t CurrentLevel = 0;  // 0 before the first level of a new game
    int32_t LevelCount = 0;
    uint16_t LastKey = 0;  // key code of the last key pressed; 0 none
    int32_t WrapMaxX = 0;
    int32_t WrapMaxY = 0;
    uint32_t RandSeed = 0;  // the one random number generator's seed
    TGameType GameType = gtFeatures;
    TStartOptions StartOptions;
    TLevel GameLevel;  // the level being played
};

// Where the program reads and writes, and the sound level of its effects.
struct TProgramSetup {
    int32_t WaveVolume = -5000;  // hundredths of a decibel, -10000 to 0
    std::string ProgramDir;      // with its trailing separator
    // Where the settings and the high scores are kept: the program directory,
    // or the user's data directory when the program directory is read-only.
    std::string SettingsDir;
    std::vector<std::string> MusicFiles;
    // The level set being played: empty for the shipped one (Levels/ and
    // Music/ of the program directory), else the folder that holds its
    // levels, pictures and tunes, as a whole path with its trailing
    // separator, and its name.
    std::string LevelSetDir;
    std::string LevelSetName;
};

// One game at a time in one process: every rule reads this one state.
extern TGameState State;
// Read at start-up, used by every layer that opens a file or plays a sound.
extern TProgramSetup Setup;

// Where the levels (and their pictures) and the tunes of the set being
// played are, each with its trailing separator.
std::string LevelsFolder();
std::string MusicFolder();

// Back to the values of a fresh start (used between tests).
void ResetGlobals();

}  // namespace game

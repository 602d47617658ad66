// Values that live once for the whole run and that screens, the game state
// and the actors all read and write.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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

// The running game's result: Score, Monsters, Bonuses and Level are the
// same storage as the record that a new high-score entry stores.
extern THighScoreRecord PlayerRecord;
inline int32_t& Score = PlayerRecord.Score;
inline int32_t& Monsters = PlayerRecord.Monsters;
inline int32_t& Bonuses = PlayerRecord.Bonuses;
inline int32_t& Level = PlayerRecord.Level;

extern int32_t Lives;
extern int32_t PlayersAlive;
extern int32_t CurrentLevel;  // 0 before the first level of a new game
extern int32_t LevelCount;
extern uint16_t LastKey;  // key code of the last key pressed; 0 none
extern int32_t WrapMaxX;
extern int32_t WrapMaxY;

extern int32_t WaveVolume;  // hundredths of a decibel, -10000 to 0
extern TGameType GameType;
extern TStartOptions StartOptions;
extern std::string ProgramDir;  // with its trailing separator
// Where the settings and the high scores are kept: the program directory,
// or the user's data directory when the program directory is read-only.
extern std::string SettingsDir;
extern std::vector<std::string> MusicFiles;

// Back to the values of a fresh start (used between tests).
void ResetGlobals();

}  // namespace game

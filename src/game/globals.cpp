#include "game/globals.h"

namespace game {

THighScoreRecord PlayerRecord;
int32_t Lives = 0;
int32_t PlayersAlive = 0;
int32_t CurrentLevel = 0;
int32_t LevelCount = 0;
uint16_t LastKey = 0;
int32_t WrapMaxX = 0;
int32_t WrapMaxY = 0;
int32_t WaveVolume = -5000;
TGameType GameType = gtFeatures;
TStartOptions StartOptions;
std::string ProgramDir;
std::string SettingsDir;
std::vector<std::string> MusicFiles;

void ResetGlobals() {
    PlayerRecord = THighScoreRecord{};
    Lives = PlayersAlive = CurrentLevel = LevelCount = 0;
    LastKey = 0;
    WrapMaxX = WrapMaxY = 0;
    WaveVolume = -5000;
    GameType = gtFeatures;
    StartOptions = TStartOptions{};
    ProgramDir.clear();
    SettingsDir.clear();
    MusicFiles.clear();
}

}  // namespace game

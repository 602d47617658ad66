// A recorded game: how it stood when it started, everything the platform
// handed it (platform/event_record.h), how it ended, and the high-score
// entry it earned. Files of our own format, described in
// docs/replay-format.md: a magic word and a version, compact fields, the
// event records, and a checksum.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/globals.h"

namespace replay {

enum class TGameEnd : uint8_t { GameOver = 1, GameComplete = 2, Quit = 3, Closed = 4 };

// Everything a game's course depends on besides the recorded events.
struct TReplayStart {
    int64_t RecordedAt = 0;  // seconds since 1970, UTC
    uint64_t LevelsDigest = 0;
    uint64_t CatalogueDigest = 0;
    uint32_t FrameInterval = 10;
    // The game as it stood. The file keeps the game type, the Debug, NoMidi
    // and NoSound words, the seed, the result so far, the lives, the last key
    // and CurrentLevel: 0 for a new game, the level before the password's
    // for a password start, which carries the rest over.
    game::TGameState Game;
    int32_t MainTickCount = 0;
    uint32_t InputStates = 0;
    uint32_t InputSuppressed = 0;
    std::string MessageText;  // what the message line still showed
    int32_t MessageFrames = 0;
    // The key whose handling started the game (0: a frame started it).
    uint16_t StartKey = 0;
    uint8_t StartShift = 0;
    uint32_t StartTime = 0;  // the platform's milliseconds
};

struct TGameResult {
    TGameEnd End = TGameEnd::Quit;
    int32_t Score = 0;
    int32_t Level = 0;
    int32_t Lives = 0;
    int32_t Monsters = 0;
    int32_t Bonuses = 0;
    int32_t CurrentLevel = 0;
    // The place the result took in the high-score table (1 to 7), 0 when it
    // did not qualify or the game was not finished; and that table's scores.
    int32_t HighScoreRank = 0;
    std::vector<int32_t> TableScores;

    bool operator==(const TGameResult&) const = default;
};

// The high-score entry made with this game's result.
struct TReplayEntry {
    bool Present = false;
    std::string Name;
    int32_t Score = 0;
    int64_t Date = 0;  // seconds since 1970, UTC
};

// A game played for the online table: the run token the server gave when
// it started, and who played it. A game without a token was played offline.
struct TOnlinePlay {
    std::string Token;
    std::string PlayerName;
    std::string PlayerId;  // random, the same for all games of one player

    bool Present() const { return !Token.empty(); }
    bool operator==(const TOnlinePlay&) const = default;
};

struct TReplay {
    TReplayStart Start;
    std::vector<uint8_t> Events;
    TGameResult Result;
    TReplayEntry Entry;
    TOnlinePlay Online;
};

enum class TReplayFault { None, CantOpen, NotAReplay, UnknownVersion, Damaged };

// Version 1 holds offline games; version 2 adds the online play. A game is
// written in the oldest version that holds it, so offline games stay as
// they were.
constexpr uint16_t kReplayVersion = 1;
constexpr uint16_t kOnlineReplayVersion = 2;

// Puts back the part of a game's state that its recording keeps.
void RestoreRecordedState(const game::TGameState& recorded, game::TGameState& state);

std::vector<uint8_t> EncodeReplay(const TReplay& replay);
// The whole file, its checksum included.
TReplayFault DecodeReplay(const std::vector<uint8_t>& bytes, TReplay& replay);
// The file without its checksum: every field read and checked.
TReplayFault DecodeReplayFields(const uint8_t* data, size_t size, TReplay& replay);

TReplayFault ReadReplayFile(const std::string& path, TReplay& replay);

// Digests of what a game's course depends on in the program directory: the
// level files and the tunes there are (a level without its own tune draws
// one of them), and the picture and sound sections of the settings file.
uint64_t LevelsDigest(const std::string& programDir);
// The same for a set whose levels and tunes lie in these folders (each
// with its trailing separator).
uint64_t LevelsDigest(const std::string& levelsFolder, const std::string& musicFolder);
uint64_t CatalogueDigest(const std::string& programDir);

// The place a score takes in a table with these scores, as Insert would put
// it (1 to 7), or 0 when it does not qualify.
int32_t HighScoreRank(const std::vector<int32_t>& tableScores, int32_t score);

// "score 120 (recorded 130), lives 0 (recorded 1)"; empty when equal.
std::string DescribeDifference(const TGameResult& recorded, const TGameResult& replayed);

}  // namespace replay

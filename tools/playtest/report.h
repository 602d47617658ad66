// What the runs add up to, per level and for whole games, for each player
// profile: tables, JSON, and the tuning targets checked one by one.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "profiles.h"
#include "runs.h"

namespace playtest {

// What a level is, whoever plays it: its name, and how soon a player who
// never moves, or holds one arrow, is caught.
struct LevelInfo {
    int level = 0;
    std::string name;
    int nameWidth = 0;                             // "Level: " + name on the status panel, pixels
    int nameRoom = 0;                              // what the panel has
    std::vector<Catch> stillCatch;                 // per seed
    std::vector<std::array<Catch, 4>> arrowCatch;  // per seed: up, right, down, left

    Catch FirstStillCatch() const;  // the earliest over the seeds
    // The latest over the seeds; seconds -1 when some seed was never caught.
    Catch LastStillCatch() const;
    Catch FirstArrowCatch(int* arrow = nullptr) const;
};

// One profile's games on one level.
struct LevelSummary {
    int level = 0;
    std::vector<LevelRun> runs;

    double ClearRate() const;           // percent
    double MedianClearSeconds() const;  // -1 when never cleared
    double LivesLostPerGame() const;
    double DotsLeftOnFailure() const;  // -1 when it never failed
    std::array<int, 3> Deaths() const;
    int Stuck() const;
    std::string StuckPlace() const;  // where monsters were stuck most often, and the longest stay
    int KeyAppeared() const;
    int GatesOpened() const;
    int TimedOut() const;
    std::vector<std::string> Errors() const;
};

struct ProfileSummary {
    Profile profile;
    std::vector<LevelSummary> levels;  // in the order of Summary::levels
    std::vector<GameRun> games;        // whole games from level 1
};

struct Summary {
    int intervalMs = 0;
    int gamesPerLevel = 0;
    int catchSeeds = 0;
    double firstCatchLimit = 0;
    std::vector<LevelInfo> levels;
    std::vector<ProfileSummary> profiles;
    double wallSeconds = 0;
    double cpuSeconds = 0;
    int processes = 0;
    bool oneFile = false;  // a level file alone: the targets of the shipped set do not apply
};

struct Target {
    std::string text;
    bool met = false;
    std::string detail;
};

// The tuning targets that the runs in the summary can judge.
std::vector<Target> CheckTargets(const Summary& summary);

std::string Table(const Summary& summary);  // Markdown
std::string Json(const Summary& summary, const std::vector<Target>& targets);

}  // namespace playtest

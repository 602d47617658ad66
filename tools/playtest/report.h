// What the runs add up to, per level and for whole games: a table, JSON,
// and the tuning targets checked one by one.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "runs.h"

namespace playtest {

struct LevelSummary {
    int level = 0;
    std::string name;
    int nameWidth = 0;  // "Level: " + name on the status panel, pixels
    int nameRoom = 0;   // what the panel has
    std::vector<LevelRun> runs;
    std::vector<Catch> stillCatch;                 // per seed
    std::vector<std::array<Catch, 4>> arrowCatch;  // per seed: up, right, down, left

    // Derived figures.
    double ClearRate() const;           // percent
    double MedianClearSeconds() const;  // -1 when never cleared
    double LivesLostPerGame() const;
    double MedianLivesLost() const;
    double DotsLeftOnFailure() const;  // -1 when it never failed
    Catch FirstStillCatch() const;     // the earliest over the seeds
    Catch FirstArrowCatch(int* arrow = nullptr) const;
    std::array<int, 3> Deaths() const;
    int Stuck() const;
    std::string StuckPlace() const;  // where monsters were stuck most often
    int KeyAppeared() const;
    int GatesOpened() const;
    int TimedOut() const;
    std::vector<std::string> Errors() const;
};

struct Summary {
    int intervalMs = 0;
    int delayMs = 0;
    int gamesPerLevel = 0;
    int catchSeeds = 0;
    double firstCatchLimit = 0;
    std::vector<LevelSummary> levels;
    std::vector<GameRun> games;  // whole games from level 1
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

// The players the playtest stands in for. A level set has to suit more than
// one kind of player, so every figure is measured for each of them, and each
// has targets of its own.
//
// They differ in how late the hand follows the eye (and how evenly), how far
// ahead they think, how often they take a wrong branch at a crossing, and
// whether they know that a boss comes for a hero within five cells.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "bot.h"

namespace playtest {

struct ProfileTargets {
    double firstLevelsClear = 0;    // levels 1 to 3 cleared at least this often (percent)
    double lowestClear = -1;        // no level below this (percent); -1: no such target
    bool smoothFall = false;        // no level more than 15 points below the one before but after a password
    double lateLow = -1;            // levels 25 to 30: at least this (percent); -1: no lower bound
    double lateHigh = -1;           // and at most this; -1: no upper bound
    int wholeReach = 0;             // half of the whole games reach this level (0: no such target)
    double wholeCompleteShare = 0;  // at least this share of the whole games wins all levels
};

struct Profile {
    std::string name;
    std::string description;
    BotOptions bot;
    ProfileTargets targets;
};

const std::vector<Profile>& Profiles();
std::optional<Profile> FindProfile(const std::string& name);

}  // namespace playtest

#include "profiles.h"

namespace playtest {

const std::vector<Profile>& Profiles() {
    static const std::vector<Profile> profiles = [] {
        Profile expert{
            "expert",
            "150 ms, presses on time; thinks 6 cells ahead; no wrong branches; plans around bosses",
            {},
            {}};
        expert.bot.delayMs = 150;
        expert.bot.lookahead = 6;
        expert.targets.lateLow = 60;
        expert.targets.wholeCompleteShare = 0.25;

        Profile regular{"regular",
                        "250 ms, presses up to 40 ms early; thinks 4 cells ahead; a wrong branch at 3% of "
                        "crossings; plans around bosses",
                        {},
                        {}};
        regular.bot.delayMs = 250;
        regular.bot.jitterMs = 40;
        regular.bot.lookahead = 4;
        regular.bot.wrongBranchPercent = 3;
        regular.targets.firstLevelsClear = 90;
        regular.targets.smoothFall = true;
        regular.targets.lateLow = 30;
        regular.targets.lateHigh = 60;
        regular.targets.wholeReach = 7;

        Profile casual{"casual",
                       "400 ms, presses up to 60 ms early; thinks 2 cells ahead; a wrong branch at 8% of "
                       "crossings; takes a boss for "
                       "an ordinary monster",
                       {},
                       {}};
        casual.bot.delayMs = 400;
        casual.bot.jitterMs = 60;
        casual.bot.lookahead = 2;
        casual.bot.wrongBranchPercent = 8;
        casual.bot.knowsBosses = false;
        casual.targets.firstLevelsClear = 80;
        casual.targets.lowestClear = 20;
        casual.targets.wholeReach = 4;
        return std::vector<Profile>{expert, regular, casual};
    }();
    return profiles;
}

std::optional<Profile> FindProfile(const std::string& name) {
    for (const Profile& p : Profiles()) {
        if (p.name == name) return p;
    }
    return std::nullopt;
}

}  // namespace playtest

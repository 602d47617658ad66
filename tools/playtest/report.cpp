#include "report.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <numeric>
#include <set>

namespace playtest {

namespace {

// The levels that follow a password may start easier than the one before.
const std::set<int> kPasswordLevels = {7, 13, 19, 25};
constexpr double kMaxDrop = 15;
// A still player must not be caught before the monsters could fairly reach
// it, and must be caught in the end: a level must hold no safe spot.
constexpr double kStillCatchEarliest = 3;
constexpr double kStillCatchLatest = 30;
constexpr double kArrowCatchEarliest = 2;

double Median(std::vector<double> values) {
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string Format(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// A number of seconds, or a dash when it never happened.
std::string SecondsOrDash(double seconds, const char* format = "%.1f") {
    return seconds < 0 ? "-" : Format(format, seconds);
}

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string JsonNumber(double value) { return value < 0 ? "null" : Format("%.3f", value); }

const char* const kArrowNames[4] = {"up", "right", "down", "left"};
const char* const kKindNames[3] = {"ordinary", "boss", "ghost"};

std::string KindName(int kind) { return kind >= 0 && kind < 3 ? kKindNames[kind] : "?"; }

std::string CatchText(const Catch& c, const std::string& how) {
    return c.seconds < 0 ? "none" : Format("%.2f s (", c.seconds) + how + KindName(c.kind) + ")";
}

}  // namespace

double LevelSummary::ClearRate() const {
    if (runs.empty()) return 0;
    const auto cleared = std::count_if(runs.begin(), runs.end(), [](const LevelRun& r) { return r.cleared; });
    return 100.0 * double(cleared) / double(runs.size());
}

double LevelSummary::MedianClearSeconds() const {
    std::vector<double> seconds;
    for (const LevelRun& r : runs) {
        if (r.cleared) seconds.push_back(r.seconds);
    }
    return Median(seconds);
}

double LevelSummary::LivesLostPerGame() const {
    if (runs.empty()) return 0;
    double lost = 0;
    for (const LevelRun& r : runs) lost += r.livesLost;
    return lost / double(runs.size());
}

double LevelSummary::DotsLeftOnFailure() const {
    std::vector<double> left;
    for (const LevelRun& r : runs) {
        if (!r.cleared) left.push_back(r.dotsLeft);
    }
    return left.empty() ? -1 : std::accumulate(left.begin(), left.end(), 0.0) / double(left.size());
}

namespace {

bool Earlier(const Catch& c, const Catch& than) {
    return c.seconds >= 0 && (than.seconds < 0 || c.seconds < than.seconds);
}

}  // namespace

Catch LevelInfo::FirstStillCatch() const {
    Catch first;
    for (const Catch& c : stillCatch) {
        if (Earlier(c, first)) first = c;
    }
    return first;
}

Catch LevelInfo::LastStillCatch() const {
    Catch last;
    for (const Catch& c : stillCatch) {
        if (c.seconds < 0) return {};
        if (c.seconds > last.seconds) last = c;
    }
    return last;
}

Catch LevelInfo::FirstArrowCatch(int* arrow) const {
    Catch first;
    for (const auto& seed : arrowCatch) {
        for (int a = 0; a < 4; ++a) {
            if (Earlier(seed[size_t(a)], first)) {
                first = seed[size_t(a)];
                if (arrow) *arrow = a;
            }
        }
    }
    return first;
}

std::array<int, 3> LevelSummary::Deaths() const {
    std::array<int, 3> deaths{};
    for (const LevelRun& r : runs) {
        for (size_t k = 0; k < 3; ++k) deaths[k] += r.deathsByKind[k];
    }
    return deaths;
}

int LevelSummary::Stuck() const {
    int stuck = 0;
    for (const LevelRun& r : runs) stuck += r.stuckMonsters;
    return stuck;
}

std::string LevelSummary::StuckPlace() const {
    std::map<std::pair<int, int>, int> places;
    double longest = 0;
    for (const LevelRun& r : runs) {
        if (!r.stuckMonsters) continue;
        ++places[{r.stuckAt.x, r.stuckAt.y}];
        longest = std::max(longest, r.stuckSeconds);
    }
    if (places.empty()) return "-";
    const auto most = std::max_element(places.begin(), places.end(),
                                       [](const auto& a, const auto& b) { return a.second < b.second; });
    return "cell " + std::to_string(most->first.first) + "," + std::to_string(most->first.second) +
           Format(", up to %.0f s", longest);
}

int LevelSummary::KeyAppeared() const {
    return int(std::count_if(runs.begin(), runs.end(), [](const LevelRun& r) { return r.keyAppeared; }));
}

int LevelSummary::GatesOpened() const {
    return int(std::count_if(runs.begin(), runs.end(), [](const LevelRun& r) { return r.gatesOpened; }));
}

int LevelSummary::TimedOut() const {
    return int(std::count_if(runs.begin(), runs.end(), [](const LevelRun& r) { return r.timedOut; }));
}

std::vector<std::string> LevelSummary::Errors() const {
    std::set<std::string> errors;
    for (const LevelRun& r : runs) {
        if (!r.error.empty()) errors.insert(r.error);
    }
    return {errors.begin(), errors.end()};
}

namespace {

class TargetList {
public:
    void Add(const std::string& text, bool met, const std::string& detail) {
        targets_.push_back({text, met, detail});
    }
    std::vector<Target> Take() { return std::move(targets_); }

private:
    std::vector<Target> targets_;
};

// Collects the levels that miss a target, with a word on each.
struct Misses {
    bool met = true;
    std::string detail;
    void Miss(const std::string& what) {
        met = false;
        detail += what + "; ";
    }
};

std::string LevelTag(int level) { return "level " + std::to_string(level); }

void CheckLevelInfo(const Summary& s, TargetList& targets) {
    Misses early, late, arrow, names;
    bool stillLooked = false, arrowLooked = false;
    for (const LevelInfo& l : s.levels) {
        const std::string tag = LevelTag(l.level);
        if (!l.stillCatch.empty()) {
            stillLooked = true;
            const double first = l.FirstStillCatch().seconds;
            if (first >= 0 && first < kStillCatchEarliest) early.Miss(tag + Format(" at %.2f s", first));
            const double last = l.LastStillCatch().seconds;
            if (last < 0 || last > kStillCatchLatest)
                late.Miss(tag + (last < 0 ? std::string(" never") : Format(" at %.2f s", last)));
        }
        if (!l.arrowCatch.empty()) {
            arrowLooked = true;
            int which = 0;
            const double t = l.FirstArrowCatch(&which).seconds;
            if (t >= 0 && t < kArrowCatchEarliest)
                arrow.Miss(tag + " (" + kArrowNames[which] + Format(") at %.2f s", t));
        }
        if (l.nameWidth > l.nameRoom) names.Miss(tag + " (" + std::to_string(l.nameWidth) + " px)");
    }
    if (stillLooked) {
        targets.Add("no level catches a player who never moves in the first 3 seconds", early.met,
                    early.detail);
        targets.Add("every level catches a player who never moves within 30 seconds (no safe spot)", late.met,
                    late.detail);
    }
    if (arrowLooked) {
        targets.Add("no level catches a player holding one arrow in the first 2 seconds", arrow.met,
                    arrow.detail);
    }
    targets.Add("every level name fits the status panel", names.met, names.detail);
}

void CheckProfile(const Summary& s, const ProfileSummary& p, TargetList& targets) {
    const ProfileTargets& want = p.profile.targets;
    const std::string who = p.profile.name + ": ";
    const bool numbered = !s.oneFile;
    Misses first, lowest, fall, late, stuck, errors;
    bool anyFirst = false, anyLate = false, anyRuns = false;
    int bossEarly = 0, deathsEarly = 0, bossAll = 0, deathsAll = 0;
    const LevelSummary* previous = nullptr;
    for (const LevelSummary& l : p.levels) {
        if (l.runs.empty()) continue;
        anyRuns = true;
        const std::string tag = LevelTag(l.level);
        const double rate = l.ClearRate();
        if (l.level <= 3) {
            anyFirst = true;
            if (rate < want.firstLevelsClear) first.Miss(tag + Format(" %.0f%%", rate));
        }
        if (want.lowestClear >= 0 && rate < want.lowestClear) lowest.Miss(tag + Format(" %.0f%%", rate));
        if (previous && previous->level == l.level - 1 && !kPasswordLevels.count(l.level) &&
            rate < previous->ClearRate() - kMaxDrop) {
            fall.Miss(tag + Format(" %.0f%% after ", rate) + Format("%.0f%%", previous->ClearRate()));
        }
        if (l.level >= 25 && l.level <= 30) {
            anyLate = true;
            if ((want.lateLow >= 0 && rate < want.lateLow) || (want.lateHigh >= 0 && rate > want.lateHigh))
                late.Miss(tag + Format(" %.0f%%", rate));
        }
        const auto deaths = l.Deaths();
        const int all = deaths[0] + deaths[1] + deaths[2];
        bossAll += deaths[1];
        deathsAll += all;
        if (l.level <= 12) {
            bossEarly += deaths[1];
            deathsEarly += all;
        }
        if (l.Stuck()) stuck.Miss(tag + ": " + std::to_string(l.Stuck()) + " (" + l.StuckPlace() + ")");
        for (const std::string& e : l.Errors()) errors.Miss(tag + ": " + e);
        previous = &l;
    }
    if (numbered && anyFirst && want.firstLevelsClear > 0) {
        targets.Add(who + Format("levels 1 to 3 cleared at least %.0f%% of the time", want.firstLevelsClear),
                    first.met, first.detail);
    }
    if (numbered && anyRuns && want.lowestClear >= 0) {
        targets.Add(who + Format("no level cleared less than %.0f%% of the time", want.lowestClear),
                    lowest.met, lowest.detail);
    }
    if (numbered && anyRuns && want.smoothFall) {
        targets.Add(
            who + "no level clears more than 15 points less than the one before (but after a password)",
            fall.met, fall.detail);
    }
    if (numbered && anyLate && (want.lateLow >= 0 || want.lateHigh >= 0)) {
        std::string range = want.lateHigh < 0 ? Format("at least %.0f%%", want.lateLow)
                            : want.lateLow < 0
                                ? Format("at most %.0f%%", want.lateHigh)
                                : Format("%.0f", want.lateLow) + Format(" to %.0f%%", want.lateHigh);
        targets.Add(who + "levels 25 to 30 cleared " + range + " of the time", late.met, late.detail);
    }
    if (numbered && deathsEarly > 0) {
        targets.Add(who + "bosses cause at most half of the deaths on levels 1 to 12",
                    2 * bossEarly <= deathsEarly,
                    std::to_string(bossEarly) + " of " + std::to_string(deathsEarly) + " deaths");
    }
    if (numbered && deathsAll > 0 && anyLate) {
        targets.Add(who + "bosses cause at most 60% of all deaths", 10 * bossAll <= 6 * deathsAll,
                    std::to_string(bossAll) + " of " + std::to_string(deathsAll) + " deaths");
    }
    if (anyRuns) {
        targets.Add(
            who + "no monster keeps to a 5 x 5-cell box for more than 10 s while the hero is 6 cells away",
            stuck.met, stuck.detail);
        targets.Add(who + "no level shows a message (a broken level or picture)", errors.met, errors.detail);
    }
    if (!p.games.empty()) {
        const long n = long(p.games.size());
        if (want.wholeReach > 0) {
            const auto reached = std::count_if(p.games.begin(), p.games.end(), [&](const GameRun& g) {
                return g.reached >= want.wholeReach;
            });
            targets.Add(who + "whole games: at least half reach level " + std::to_string(want.wholeReach),
                        2 * reached >= n, std::to_string(reached) + " of " + std::to_string(n));
        }
        if (want.wholeCompleteShare > 0) {
            const auto won =
                std::count_if(p.games.begin(), p.games.end(), [](const GameRun& g) { return g.completed; });
            targets.Add(
                who + Format("whole games: at least %.0f%% win every level", 100 * want.wholeCompleteShare),
                double(won) >= want.wholeCompleteShare * double(n),
                std::to_string(won) + " of " + std::to_string(n));
        }
    }
}

}  // namespace

std::vector<Target> CheckTargets(const Summary& s) {
    TargetList targets;
    const double cellsPerSecond = s.intervalMs > 0 ? 1000.0 / s.intervalMs * 8 / kCell : 0;
    targets.Add(
        "the hero moves 10 to 15.6 cells a second (a frame every 16 to 25 ms)",
        s.intervalMs >= 16 && s.intervalMs <= 25,
        Format("%.1f cells a second at ", cellsPerSecond) + std::to_string(s.intervalMs) + " ms a frame");
    CheckLevelInfo(s, targets);
    for (const ProfileSummary& p : s.profiles) CheckProfile(s, p, targets);
    return targets.Take();
}

namespace {

std::string ProfileTable(const Summary& s, const ProfileSummary& p) {
    std::string out = "### " + p.profile.name + "\n\n" + p.profile.description + ".\n\n";
    out +=
        "| level | name | clear | median s to clear | lives lost a game | dots left on failure | "
        "deaths ordinary/boss/ghost | stuck monsters | key appeared / gates opened |\n";
    out += "|---:|---|---:|---:|---:|---:|---|---|---|\n";
    for (size_t i = 0; i < p.levels.size(); ++i) {
        const LevelSummary& l = p.levels[i];
        const LevelInfo& info = s.levels[i];
        const auto deaths = l.Deaths();
        std::string keys = "-";
        if (l.KeyAppeared() || l.GatesOpened())
            keys = std::to_string(l.KeyAppeared()) + " / " + std::to_string(l.GatesOpened());
        std::string stuck = std::to_string(l.Stuck());
        if (l.Stuck()) stuck += " (" + l.StuckPlace() + ")";
        out += "| " + std::to_string(l.level) + " | " + info.name + " | ";
        out += l.runs.empty()
                   ? "- | - | - | - | "
                   : Format("%.0f%%", l.ClearRate()) + " | " + SecondsOrDash(l.MedianClearSeconds()) + " | " +
                         Format("%.2f", l.LivesLostPerGame()) + " | " +
                         SecondsOrDash(l.DotsLeftOnFailure(), "%.0f") + " | ";
        out += std::to_string(deaths[0]) + "/" + std::to_string(deaths[1]) + "/" + std::to_string(deaths[2]) +
               " | " + stuck + " | " + keys + " |\n";
    }
    if (!p.games.empty()) {
        std::string list;
        int won = 0;
        for (const GameRun& g : p.games) {
            list += (list.empty() ? "" : ", ") + std::to_string(g.reached) + (g.completed ? " (won)" : "");
            won += g.completed;
        }
        out += "\nWhole games from level 1 (3 lives, " + std::to_string(p.games.size()) +
               " seeds), the last level reached: " + list + "; " + std::to_string(won) + " won.\n";
    }
    return out + "\n";
}

std::string WatchTable(const Summary& s) {
    std::string out = "### A player who never moves, and one who holds one arrow\n\n";
    out += "| level | name | still: first catch | still: last catch | one arrow: first catch |\n";
    out += "|---:|---|---:|---:|---:|\n";
    for (const LevelInfo& l : s.levels) {
        int arrow = 0;
        const Catch arrowCatch = l.FirstArrowCatch(&arrow);
        const Catch last = l.LastStillCatch();
        out += "| " + std::to_string(l.level) + " | " + l.name + " | ";
        out += (l.stillCatch.empty() ? "-" : CatchText(l.FirstStillCatch(), "")) + " | ";
        out += (l.stillCatch.empty() ? "-" : last.seconds < 0 ? "never" : CatchText(last, "")) + " | ";
        out += (l.arrowCatch.empty() ? "-" : CatchText(arrowCatch, std::string(kArrowNames[arrow]) + ", ")) +
               " |\n";
    }
    return out + "\n";
}

}  // namespace

std::string Table(const Summary& s) {
    std::string out;
    out += Format("Frame interval %.0f ms", s.intervalMs) +
           Format(" (hero %.1f cells a second), ", 1000.0 / s.intervalMs * 8 / kCell);
    out += std::to_string(s.gamesPerLevel) + " games a level for each profile, " +
           std::to_string(s.catchSeeds) + " seeds for the first catches (looked for " +
           Format("%.0f s).\n\n", s.firstCatchLimit);
    for (const ProfileSummary& p : s.profiles) out += ProfileTable(s, p);
    if (std::any_of(s.levels.begin(), s.levels.end(),
                    [](const LevelInfo& l) { return !l.stillCatch.empty(); }))
        out += WatchTable(s);
    const std::vector<Target> targets = CheckTargets(s);
    out += "| target | met | detail |\n|---|---|---|\n";
    for (const Target& t : targets) {
        out += "| " + t.text + " | " + (t.met ? "yes" : "**no**") + " | " + t.detail + " |\n";
    }
    out += Format("\n%.0f s of wall time", s.wallSeconds) +
           Format(", %.0f s of processor time in ", s.cpuSeconds) + std::to_string(s.processes) +
           " processes.\n";
    return out;
}

std::string Json(const Summary& s, const std::vector<Target>& targets) {
    std::string out = "{\n";
    out += "  \"interval_ms\": " + std::to_string(s.intervalMs) + ",\n";
    out += "  \"games_per_level\": " + std::to_string(s.gamesPerLevel) + ",\n";
    out += "  \"levels\": [";
    for (size_t i = 0; i < s.levels.size(); ++i) {
        const LevelInfo& l = s.levels[i];
        int arrow = 0;
        const Catch arrowCatch = l.FirstArrowCatch(&arrow);
        const Catch stillCatch = l.FirstStillCatch();
        out += i ? ",\n    {" : "\n    {";
        out += "\"level\": " + std::to_string(l.level) + ", \"name\": " + JsonString(l.name);
        out += ", \"name_width\": " + std::to_string(l.nameWidth) +
               ", \"name_room\": " + std::to_string(l.nameRoom);
        out += ", \"first_catch_still\": " + JsonNumber(stillCatch.seconds);
        out += ", \"first_catch_still_by\": " +
               (stillCatch.seconds < 0 ? "null" : JsonString(KindName(stillCatch.kind)));
        out +=
            ", \"last_catch_still\": " + JsonNumber(l.stillCatch.empty() ? -1 : l.LastStillCatch().seconds);
        out += ", \"first_catch_one_arrow\": " + JsonNumber(arrowCatch.seconds);
        out +=
            ", \"first_catch_arrow\": " + (arrowCatch.seconds < 0 ? "null" : JsonString(kArrowNames[arrow]));
        out += ", \"first_catch_one_arrow_by\": " +
               (arrowCatch.seconds < 0 ? "null" : JsonString(KindName(arrowCatch.kind))) + "}";
    }
    out += "\n  ],\n  \"profiles\": [";
    for (size_t pi = 0; pi < s.profiles.size(); ++pi) {
        const ProfileSummary& p = s.profiles[pi];
        out += std::string(pi ? "," : "") + "\n    {\"name\": " + JsonString(p.profile.name) +
               ", \"delay_ms\": " + std::to_string(p.profile.bot.delayMs) + ", \"levels\": [";
        for (size_t i = 0; i < p.levels.size(); ++i) {
            const LevelSummary& l = p.levels[i];
            const auto deaths = l.Deaths();
            out += i ? ",\n      {" : "\n      {";
            out += "\"level\": " + std::to_string(l.level) + ", \"games\": " + std::to_string(l.runs.size());
            out += ", \"clear_rate\": " + JsonNumber(l.runs.empty() ? -1 : l.ClearRate());
            out += ", \"median_seconds_to_clear\": " + JsonNumber(l.MedianClearSeconds());
            out += ", \"lives_lost_per_game\": " + JsonNumber(l.runs.empty() ? -1 : l.LivesLostPerGame());
            out += ", \"dots_left_on_failure\": " + JsonNumber(l.DotsLeftOnFailure());
            out += ", \"timed_out\": " + std::to_string(l.TimedOut());
            out += ", \"deaths\": {\"ordinary\": " + std::to_string(deaths[0]) +
                   ", \"boss\": " + std::to_string(deaths[1]) + ", \"ghost\": " + std::to_string(deaths[2]) +
                   "}";
            out += ", \"stuck_monsters\": " + std::to_string(l.Stuck());
            out += ", \"key_appeared\": " + std::to_string(l.KeyAppeared());
            out += ", \"gates_opened\": " + std::to_string(l.GatesOpened());
            out += ", \"errors\": [";
            const auto errors = l.Errors();
            for (size_t e = 0; e < errors.size(); ++e) out += (e ? ", " : "") + JsonString(errors[e]);
            out += "]}";
        }
        out += "\n    ], \"whole_games\": [";
        for (size_t i = 0; i < p.games.size(); ++i) {
            out += (i ? ", " : "") + std::string("{\"reached\": ") + std::to_string(p.games[i].reached) +
                   ", \"completed\": " + (p.games[i].completed ? "true" : "false") + "}";
        }
        out += "]}";
    }
    out += "\n  ],\n  \"targets\": [";
    for (size_t i = 0; i < targets.size(); ++i) {
        out += std::string(i ? ",\n    " : "\n    ") + "{\"target\": " + JsonString(targets[i].text) +
               ", \"met\": " + (targets[i].met ? "true" : "false") +
               ", \"detail\": " + JsonString(targets[i].detail) + "}";
    }
    out += "\n  ],\n";
    out += "  \"wall_seconds\": " + JsonNumber(s.wallSeconds) + ",\n";
    out += "  \"cpu_seconds\": " + JsonNumber(s.cpuSeconds) + ",\n";
    out += "  \"processes\": " + std::to_string(s.processes) + "\n}\n";
    return out;
}

}  // namespace playtest

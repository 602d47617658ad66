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

double LevelSummary::MedianLivesLost() const {
    std::vector<double> lost;
    for (const LevelRun& r : runs) lost.push_back(r.livesLost);
    return Median(lost);
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

Catch LevelSummary::FirstStillCatch() const {
    Catch first;
    for (const Catch& c : stillCatch) {
        if (Earlier(c, first)) first = c;
    }
    return first;
}

Catch LevelSummary::FirstArrowCatch(int* arrow) const {
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
    for (const LevelRun& r : runs) {
        if (r.stuckMonsters) ++places[{r.stuckAt.x, r.stuckAt.y}];
    }
    if (places.empty()) return "-";
    const auto most = std::max_element(places.begin(), places.end(),
                                       [](const auto& a, const auto& b) { return a.second < b.second; });
    return "cell " + std::to_string(most->first.first) + "," + std::to_string(most->first.second);
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

std::vector<Target> CheckTargets(const Summary& s) {
    std::vector<Target> targets;
    const auto add = [&](const std::string& text, bool met, const std::string& detail) {
        targets.push_back({text, met, detail});
    };
    const double cellsPerSecond = s.intervalMs > 0 ? 1000.0 / s.intervalMs * 8 / kCell : 0;
    add("the hero moves 10 to 15 cells a second", cellsPerSecond >= 10 && cellsPerSecond <= 15,
        Format("%.1f cells a second at ", cellsPerSecond) + std::to_string(s.intervalMs) + " ms a frame");

    std::string still, arrow, easy, drops, late, stuck, names, errors;
    bool stillMet = true, arrowMet = true, easyMet = true, dropsMet = true, lateMet = true;
    int bossDeaths = 0, allDeaths = 0, stuckCount = 0, wide = 0, failedRuns = 0;
    const LevelSummary* previous = nullptr;
    for (const LevelSummary& l : s.levels) {
        const std::string tag = "level " + std::to_string(l.level);
        if (!l.stillCatch.empty()) {
            const double t = l.FirstStillCatch().seconds;
            if (t >= 0 && t <= 3) {
                stillMet = false;
                still += tag + Format(" at %.2f s; ", t);
            }
        }
        if (!l.arrowCatch.empty()) {
            int which = 0;
            const double t = l.FirstArrowCatch(&which).seconds;
            if (t >= 0 && t <= 2) {
                arrowMet = false;
                arrow += tag + " (" + kArrowNames[which] + Format(") at %.2f s; ", t);
            }
        }
        if (!l.runs.empty()) {
            if (l.level <= 3 && (l.ClearRate() < 90 || l.MedianLivesLost() > 0)) {
                easyMet = false;
                easy += tag + Format(" clears %.0f%%", l.ClearRate()) +
                        Format(", median lives lost %.1f; ", l.MedianLivesLost());
            }
            if (previous && previous->level == l.level - 1 && !previous->runs.empty() &&
                !kPasswordLevels.count(l.level) && l.ClearRate() < previous->ClearRate() - kMaxDrop) {
                dropsMet = false;
                drops +=
                    tag + Format(" %.0f%% after ", l.ClearRate()) + Format("%.0f%%; ", previous->ClearRate());
            }
            if (l.level >= 25 && l.level <= 30 && l.ClearRate() > 60) {
                lateMet = false;
                late += tag + Format(" %.0f%%; ", l.ClearRate());
            }
            if (l.level <= 12) {
                const auto deaths = l.Deaths();
                bossDeaths += deaths[1];
                allDeaths += deaths[0] + deaths[1] + deaths[2];
            }
            stuckCount += l.Stuck();
            if (l.Stuck()) stuck += tag + ": " + std::to_string(l.Stuck()) + " (" + l.StuckPlace() + "); ";
            for (const std::string& e : l.Errors()) errors += tag + ": " + e + "; ";
            for (const LevelRun& r : l.runs) failedRuns += !r.error.empty();
            previous = &l;
        }
        if (l.nameWidth > l.nameRoom) {
            ++wide;
            names += tag + " (" + std::to_string(l.nameWidth) + " px); ";
        }
    }
    const auto any = [&](auto pred) { return std::any_of(s.levels.begin(), s.levels.end(), pred); };
    if (any([](const LevelSummary& l) { return !l.stillCatch.empty(); })) {
        add("no level catches a player who never moves in the first 3 seconds", stillMet, still);
    }
    if (any([](const LevelSummary& l) { return !l.arrowCatch.empty(); })) {
        add("no level catches a player holding one arrow in the first 2 seconds", arrowMet, arrow);
    }
    const bool numbered = !s.oneFile;
    if (numbered && any([](const LevelSummary& l) { return l.level <= 3 && !l.runs.empty(); })) {
        add("levels 1 to 3: clear rate at least 90%, median lives lost 0", easyMet, easy);
    }
    if (any([](const LevelSummary& l) { return !l.runs.empty(); })) {
        if (numbered) {
            add("no level clears more than 15 points less than the one before (but after a password)",
                dropsMet, drops);
        }
        if (numbered && any([](const LevelSummary& l) { return l.level >= 25 && !l.runs.empty(); })) {
            add("levels 25 to 30: clear rate at most 60%", lateMet, late);
        }
        if (numbered && allDeaths > 0) {
            add("bosses cause at most half of the deaths on levels 1 to 12", 2 * bossDeaths <= allDeaths,
                std::to_string(bossDeaths) + " of " + std::to_string(allDeaths) + " deaths");
        }
        add("no monster stays within 2 cells of one place for more than 10 s", stuckCount == 0, stuck);
        add("no level shows a message (a broken level or picture)", failedRuns == 0, errors);
    }
    add("every level name fits the status panel", wide == 0, names);
    if (!s.games.empty()) {
        const auto seventh =
            std::count_if(s.games.begin(), s.games.end(), [](const GameRun& g) { return g.reached >= 7; });
        add("whole games from level 1: at least half reach level 7", 2 * seventh >= long(s.games.size()),
            std::to_string(seventh) + " of " + std::to_string(s.games.size()));
    }
    return targets;
}

std::string Table(const Summary& s) {
    std::string out;
    out += Format("Frame interval %.0f ms", s.intervalMs) +
           Format(" (hero %.1f cells a second), ", 1000.0 / s.intervalMs * 8 / kCell);
    out += Format("bot delay %.0f ms, ", s.delayMs) + std::to_string(s.gamesPerLevel) + " games a level, " +
           std::to_string(s.catchSeeds) + " seeds for the first catches (looked for " +
           Format("%.0f s).\n\n", s.firstCatchLimit);
    out +=
        "| level | name | clear | median s to clear | lives lost a game | dots left on failure | "
        "first catch, still | first catch, one arrow | deaths ordinary/boss/ghost | stuck monsters | "
        "key appeared / gates opened |\n";
    out += "|---:|---|---:|---:|---:|---:|---:|---:|---|---:|---|\n";
    for (const LevelSummary& l : s.levels) {
        int arrow = 0;
        const Catch arrowCatch = l.FirstArrowCatch(&arrow);
        const auto deaths = l.Deaths();
        std::string keys = "-";
        if (l.KeyAppeared() || l.GatesOpened()) {
            keys = std::to_string(l.KeyAppeared()) + " / " + std::to_string(l.GatesOpened());
        }
        out += "| " + std::to_string(l.level) + " | " + l.name + " | ";
        out += l.runs.empty()
                   ? "- | - | - | - | "
                   : Format("%.0f%%", l.ClearRate()) + " | " + SecondsOrDash(l.MedianClearSeconds()) + " | " +
                         Format("%.2f", l.LivesLostPerGame()) + " | " +
                         SecondsOrDash(l.DotsLeftOnFailure(), "%.0f") + " | ";
        out += (l.stillCatch.empty() ? "-" : CatchText(l.FirstStillCatch(), "")) + " | ";
        out += l.arrowCatch.empty() ? "-" : CatchText(arrowCatch, std::string(kArrowNames[arrow]) + ", ");
        out += " | " + std::to_string(deaths[0]) + "/" + std::to_string(deaths[1]) + "/" +
               std::to_string(deaths[2]) + " | " + std::to_string(l.Stuck()) + " | " + keys + " |\n";
    }
    if (!s.games.empty()) {
        std::string list;
        for (const GameRun& g : s.games) {
            list += (list.empty() ? "" : ", ") + std::to_string(g.reached) + (g.completed ? " (won)" : "");
        }
        out += "\nWhole games from level 1 (3 lives, " + std::to_string(s.games.size()) +
               " seeds), the last level reached: " + list + ".\n";
    }
    const std::vector<Target> targets = CheckTargets(s);
    out += "\n| target | met | detail |\n|---|---|---|\n";
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
    out += "  \"delay_ms\": " + std::to_string(s.delayMs) + ",\n";
    out += "  \"games_per_level\": " + std::to_string(s.gamesPerLevel) + ",\n";
    out += "  \"levels\": [";
    for (size_t i = 0; i < s.levels.size(); ++i) {
        const LevelSummary& l = s.levels[i];
        int arrow = 0;
        const Catch arrowCatch = l.FirstArrowCatch(&arrow);
        const Catch stillCatch = l.FirstStillCatch();
        const auto deaths = l.Deaths();
        out += i ? ",\n    {" : "\n    {";
        out += "\"level\": " + std::to_string(l.level) + ", \"name\": " + JsonString(l.name);
        out += ", \"name_width\": " + std::to_string(l.nameWidth) +
               ", \"name_room\": " + std::to_string(l.nameRoom);
        out += ", \"games\": " + std::to_string(l.runs.size());
        out += ", \"clear_rate\": " + JsonNumber(l.runs.empty() ? -1 : l.ClearRate());
        out += ", \"median_seconds_to_clear\": " + JsonNumber(l.MedianClearSeconds());
        out += ", \"lives_lost_per_game\": " + JsonNumber(l.runs.empty() ? -1 : l.LivesLostPerGame());
        out += ", \"median_lives_lost\": " + JsonNumber(l.MedianLivesLost());
        out += ", \"dots_left_on_failure\": " + JsonNumber(l.DotsLeftOnFailure());
        out += ", \"timed_out\": " + std::to_string(l.TimedOut());
        out += ", \"first_catch_still\": " + JsonNumber(stillCatch.seconds);
        out += ", \"first_catch_still_by\": " +
               (stillCatch.seconds < 0 ? "null" : JsonString(KindName(stillCatch.kind)));
        out += ", \"first_catch_one_arrow\": " + JsonNumber(arrowCatch.seconds);
        out +=
            ", \"first_catch_arrow\": " + (arrowCatch.seconds < 0 ? "null" : JsonString(kArrowNames[arrow]));
        out += ", \"first_catch_one_arrow_by\": " +
               (arrowCatch.seconds < 0 ? "null" : JsonString(KindName(arrowCatch.kind)));
        out += ", \"deaths\": {\"ordinary\": " + std::to_string(deaths[0]) +
               ", \"boss\": " + std::to_string(deaths[1]) + ", \"ghost\": " + std::to_string(deaths[2]) + "}";
        out += ", \"stuck_monsters\": " + std::to_string(l.Stuck());
        out += ", \"key_appeared\": " + std::to_string(l.KeyAppeared());
        out += ", \"gates_opened\": " + std::to_string(l.GatesOpened());
        out += ", \"errors\": [";
        const auto errors = l.Errors();
        for (size_t e = 0; e < errors.size(); ++e) out += (e ? ", " : "") + JsonString(errors[e]);
        out += "]}";
    }
    out += "\n  ],\n  \"whole_games\": [";
    for (size_t i = 0; i < s.games.size(); ++i) {
        out += (i ? ", " : "") + std::string("{\"reached\": ") + std::to_string(s.games[i].reached) +
               ", \"completed\": " + (s.games[i].completed ? "true" : "false") + "}";
    }
    out += "],\n  \"targets\": [";
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

// playtest: a bot plays the levels many times and reports how hard each one
// is. Every run is a fresh copy of the game in its own process (the game
// keeps its state in process-wide values), so runs go side by side on every
// processor and each gives the same result for the same seed.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "game_driver.h"
#include "profiles.h"
#include "report.h"
#include "runs.h"

namespace fs = std::filesystem;
using namespace playtest;

namespace {

constexpr const char* kUsage =
    "usage: playtest [options] [LEVEL_FILE]\n"
    "  LEVEL_FILE        play this level file alone (its .bmp beside it, if there is one)\n"
    "  --data DIR        the program directory (default: the one above this tool)\n"
    "  --levels A[-B]    which of its levels (default: all)\n"
    "  --games N         bot games a level, each with 3 lives (default 10)\n"
    "  --catch-seeds N   seeds for the first catch of a still and a one-arrow player (default 5)\n"
    "  --catch-seconds S how long to wait for that first catch (default 60)\n"
    "  --whole-games N   also N whole games from level 1 (default 0)\n"
    "  --seed S          the first seed (default 1)\n"
    "  --profiles LIST   the players, by name, separated by commas, or 'all' (default regular):\n"
    "                    expert, regular, casual\n"
    "  --delay MS, --jitter MS, --lookahead N, --wrong-branches PERCENT, --bosses-unknown\n"
    "                    change those traits of every profile chosen\n"
    "  --timer MS        the frame interval (default: Timer of the settings file)\n"
    "  --max-seconds S   a level not cleared after S seconds of play is a failure (default 300)\n"
    "  --jobs N          runs at once (default: the number of processors)\n"
    "  --json FILE       write the results as JSON\n"
    "  --markdown FILE   write the table into FILE between '<!-- playtest -->' and '<!-- /playtest -->'\n"
    "  --check           exit with 1 when a tuning target is not met\n"
    "  --demo-script F   instead: the first profile plays level 1 from the title screen (seed --seed) and\n"
    "                    F gets its keys as a script for munchora-headless (the build's demo)\n";

constexpr const char* kMarkBegin = "<!-- playtest -->";
constexpr const char* kMarkEnd = "<!-- /playtest -->";

struct Options {
    std::string data;
    std::string levelFile;
    int firstLevel = 1;
    int lastLevel = 0;  // 0: the last one there is
    int games = 10;
    int catchSeeds = 5;
    int wholeGames = 0;
    uint32_t seed = 1;
    std::vector<Profile> profiles{*FindProfile("regular")};
    int timerMs = 0;
    Limits limits;
    int jobs = 0;
    std::string json;
    std::string markdown;
    bool check = false;
    std::string demoScript;
};

int UsageError(const std::string& why) {
    std::cerr << "playtest: " << why << "\n" << kUsage;
    return 2;
}

bool ParseInt(const char* text, int& value, int low) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (!*text || *end || v < low || v > 1000000) return false;
    value = int(v);
    return true;
}

std::string Trailing(std::string dir) {
    if (dir.empty() || dir.back() != '/') dir += '/';
    return dir;
}

// A program directory whose only level is the given file: the settings,
// pictures and music are the real ones, linked.
std::string ProgramDirFor(const std::string& data, const std::string& levelFile, std::string& error) {
    char pattern[] = "/tmp/playtest-XXXXXX";
    if (!mkdtemp(pattern)) {
        error = "can't make a directory in /tmp";
        return {};
    }
    const fs::path dir = pattern;
    std::error_code ec;
    for (const char* entry : {"Munchora.ini", "Data", "Music"})
        fs::create_symlink(fs::absolute(data + entry), dir / entry, ec);
    fs::create_directory(dir / "Levels", ec);
    fs::copy_file(levelFile, dir / "Levels" / "Level01.map", ec);
    if (ec) {
        error = "can't read " + levelFile;
        return {};
    }
    // Its own background when it has one, else any picture will do.
    fs::path background = fs::path(levelFile).replace_extension(".bmp");
    if (!fs::exists(background)) background = data + "Levels/Level01.bmp";
    fs::copy_file(background, dir / "Levels" / "Level01.bmp", ec);
    return Trailing(dir.string());
}

// "all", or names separated by commas.
bool ParseProfiles(const std::string& list, std::vector<Profile>& profiles) {
    if (list == "all") {
        profiles = Profiles();
        return true;
    }
    std::vector<Profile> chosen;
    std::istringstream in(list);
    for (std::string name; std::getline(in, name, ',');) {
        const std::optional<Profile> profile = FindProfile(name);
        if (!profile) return false;
        chosen.push_back(*profile);
    }
    if (chosen.empty()) return false;
    profiles = chosen;
    return true;
}

void ChangeTrait(BotOptions& bot, const std::string& trait, int value) {
    if (trait == "--delay") bot.delayMs = value;
    if (trait == "--jitter") bot.jitterMs = value;
    if (trait == "--lookahead") bot.lookahead = value;
    if (trait == "--wrong-branches") bot.wrongBranchPercent = value;
    if (trait == "--margin") bot.margin = value;
    if (trait == "--bosses-unknown") bot.knowsBosses = false;
}

uint32_t Mix(uint32_t a, uint32_t b, uint32_t c) {
    uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u ^ (c + 0x165667B1u) * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    return h;
}

enum class JobKind { Level, Catch, Game };

struct Job {
    JobKind kind;
    size_t profile;
    int level;
    int index;
    uint32_t seed;
};

// Runs one job in this process and says what came of it in one line.
std::string RunJob(GameDriver& driver, const Job& job, const Options& options) {
    std::ostringstream out;
    switch (job.kind) {
        case JobKind::Level: {
            const LevelRun r =
                PlayLevel(driver, job.level, job.seed, options.profiles[job.profile].bot, options.limits);
            out << "L " << job.profile << ' ' << job.level << ' ' << r.cleared << ' ' << r.timedOut << ' '
                << r.seconds << ' ' << r.livesLost << ' ' << r.dotsLeft << ' ' << r.deathsByKind[0] << ' '
                << r.deathsByKind[1] << ' ' << r.deathsByKind[2] << ' ' << r.stuckMonsters << ' '
                << r.stuckAt.x << ' ' << r.stuckAt.y << ' ' << r.stuckSeconds << ' ' << r.keyAppeared << ' '
                << r.gatesOpened << ' ' << r.error;
            break;
        }
        case JobKind::Catch: {
            out << "C " << job.level;
            for (const uint16_t key : {uint16_t(0), kKeyUp, kKeyRight, kKeyDown, kKeyLeft}) {
                const Catch c = FirstCatch(driver, job.level, job.seed, key, options.limits);
                out << ' ' << c.seconds << ' ' << c.kind;
            }
            break;
        }
        case JobKind::Game: {
            const GameRun g = PlayGame(driver, job.seed, options.profiles[job.profile].bot, options.limits);
            out << "G " << job.profile << ' ' << job.index << ' ' << g.reached << ' ' << g.completed;
            if (!g.levels.empty() && !g.levels.back().error.empty()) {
                std::fprintf(stderr, "playtest: %s, whole game %d (seed %u), level %d: %s\n",
                             options.profiles[job.profile].name.c_str(), job.index, job.seed, g.reached,
                             g.levels.back().error.c_str());
            }
            break;
        }
    }
    return out.str();
}

void TakeResult(const std::string& line, Summary& summary, std::map<int, size_t>& byLevel) {
    std::istringstream in(line);
    char kind = 0;
    in >> kind;
    size_t profile = 0;
    if (kind != 'C') {
        in >> profile;
        if (profile >= summary.profiles.size()) return;
    }
    if (kind == 'G') {
        GameRun g;
        in >> g.number >> g.reached >> g.completed;
        // Runs end in any order; the report lists the games as they were asked for.
        std::vector<GameRun>& games = summary.profiles[profile].games;
        const auto place =
            std::upper_bound(games.begin(), games.end(), g,
                             [](const GameRun& a, const GameRun& b) { return a.number < b.number; });
        games.insert(place, g);
        return;
    }
    int level = 0;
    in >> level;
    if (!byLevel.count(level)) return;
    LevelInfo& l = summary.levels[byLevel[level]];
    if (kind == 'L') {
        LevelRun r;
        r.level = level;
        in >> r.cleared >> r.timedOut >> r.seconds >> r.livesLost >> r.dotsLeft >> r.deathsByKind[0] >>
            r.deathsByKind[1] >> r.deathsByKind[2] >> r.stuckMonsters >> r.stuckAt.x >> r.stuckAt.y >>
            r.stuckSeconds >> r.keyAppeared >> r.gatesOpened;
        std::getline(in >> std::ws, r.error);
        summary.profiles[profile].levels[byLevel[level]].runs.push_back(r);
    } else if (kind == 'C') {
        Catch still;
        std::array<Catch, 4> arrows{};
        in >> still.seconds >> still.kind;
        for (Catch& c : arrows) in >> c.seconds >> c.kind;
        l.stillCatch.push_back(still);
        l.arrowCatch.push_back(arrows);
    }
}

// Runs every job in its own child of this process, `jobs` at a time.
void RunAll(GameDriver& driver, const std::vector<Job>& jobs, const Options& options, int processes,
            Summary& summary, std::map<int, size_t>& byLevel) {
    struct Child {
        int pipe;
        const Job* job;
    };
    std::map<pid_t, Child> running;
    size_t next = 0;
    while (next < jobs.size() || !running.empty()) {
        while (next < jobs.size() && int(running.size()) < processes) {
            int fds[2];
            if (pipe(fds) != 0) {
                std::perror("playtest: pipe");
                std::exit(1);
            }
            std::fflush(nullptr);
            const pid_t pid = fork();
            if (pid < 0) {
                std::perror("playtest: fork");
                std::exit(1);
            }
            if (pid == 0) {
                close(fds[0]);
                const std::string line = RunJob(driver, jobs[next], options) + "\n";
                if (write(fds[1], line.data(), line.size()) != ssize_t(line.size())) _exit(1);
                _exit(0);
            }
            close(fds[1]);
            running[pid] = {fds[0], &jobs[next]};
            ++next;
        }
        int status = 0;
        const pid_t pid = wait(&status);
        if (pid < 0) break;
        const auto child = running.find(pid);
        if (child == running.end()) continue;
        std::string line;
        char buffer[4096];
        for (ssize_t n; (n = read(child->second.pipe, buffer, sizeof buffer)) > 0;)
            line.append(buffer, size_t(n));
        close(child->second.pipe);
        const Job& job = *child->second.job;
        running.erase(child);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || line.empty()) {
            std::fprintf(stderr, "playtest: the run of level %d, seed %u, ended abnormally\n", job.level,
                         job.seed);
            if (job.kind == JobKind::Level && byLevel.count(job.level)) {
                LevelRun r;
                r.level = job.level;
                r.error = "the run ended abnormally";
                summary.profiles[job.profile].levels[byLevel[job.level]].runs.push_back(r);
            }
            continue;
        }
        TakeResult(line, summary, byLevel);
    }
}

bool WriteMarkdown(const std::string& path, const std::string& table, const std::string& command) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    std::string doc = text.str();
    const size_t begin = doc.find(kMarkBegin);
    const size_t end = doc.find(kMarkEnd);
    const std::string block = std::string(kMarkBegin) + "\nMade by `" + command + "`.\n\n" + table + kMarkEnd;
    if (begin == std::string::npos || end == std::string::npos || end < begin) {
        doc += (doc.empty() ? "" : "\n") + block + "\n";
    } else {
        doc.replace(begin, end + std::strlen(kMarkEnd) - begin, block);
    }
    std::ofstream out(path);
    out << doc;
    return bool(out);
}

double CpuSeconds() {
    double total = 0;
    for (const int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage usage{};
        getrusage(who, &usage);
        total += double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                 double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }
    return total;
}

}  // namespace

// The demo is kept only when the bot cleared the level without losing a
// life: another --seed makes another game.
int WriteDemoScript(GameDriver& driver, const Options& options) {
    const DemoGame demo = PlayDemo(driver, options.seed, options.profiles.front().bot, options.limits);
    const LevelRun& level = demo.level;
    std::printf("seed %u: level 1 %s in %.1f s, %d lives lost, score %d\n", options.seed,
                level.cleared ? "cleared" : "not cleared", level.seconds, level.livesLost, demo.score);
    if (!level.cleared || level.livesLost > 0 || !demo.ended) {
        std::fprintf(stderr, "playtest: not a demo worth showing; try another --seed\n");
        return 1;
    }
    std::ofstream out(options.demoScript);
    out << "# The demo game: the playtest bot's keys (build/tools/playtest --demo-script FILE --profiles "
        << options.profiles.front().name << " --seed " << options.seed
        << "),\n# played by the build with the headless runner (see CMakeLists.txt).\n"
        << demo.script;
    if (!out) return UsageError("can't write " + options.demoScript);
    return 0;
}

int main(int argc, char** argv) {
    Options options;
    std::error_code ec;
    options.data = fs::read_symlink("/proc/self/exe", ec).parent_path().parent_path().string();
    std::vector<std::pair<std::string, int>> traits;  // applied once the profiles are chosen
    std::string command = argv[0];
    for (int i = 1; i < argc; ++i) command += std::string(" ") + argv[i];
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        const auto number = [&](int& into, int low) {
            if (!value || !ParseInt(value, into, low)) return false;
            ++i;
            return true;
        };
        int seed = 0;
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (arg == "--data" && value) {
            options.data = argv[++i];
        } else if (arg == "--levels" && value) {
            const std::string range = argv[++i];
            const size_t dash = range.find('-');
            const std::string first = range.substr(0, dash);
            const std::string last = dash == std::string::npos ? first : range.substr(dash + 1);
            if (!ParseInt(first.c_str(), options.firstLevel, 1) ||
                !ParseInt(last.c_str(), options.lastLevel, 1) || options.lastLevel < options.firstLevel) {
                return UsageError("bad --levels " + range);
            }
        } else if (arg == "--games") {
            if (!number(options.games, 0)) return UsageError("bad --games");
        } else if (arg == "--catch-seeds") {
            if (!number(options.catchSeeds, 0)) return UsageError("bad --catch-seeds");
        } else if (arg == "--catch-seconds") {
            int seconds = 0;
            if (!number(seconds, 1)) return UsageError("bad --catch-seconds");
            options.limits.firstCatchSeconds = seconds;
        } else if (arg == "--whole-games") {
            if (!number(options.wholeGames, 0)) return UsageError("bad --whole-games");
        } else if (arg == "--seed") {
            if (!number(seed, 0)) return UsageError("bad --seed");
            options.seed = uint32_t(seed);
        } else if (arg == "--profiles" && value) {
            if (!ParseProfiles(argv[++i], options.profiles)) return UsageError("bad --profiles");
        } else if (arg == "--delay" || arg == "--jitter" || arg == "--lookahead" ||
                   arg == "--wrong-branches" || arg == "--margin") {
            int v = 0;
            if (!number(v, 0)) return UsageError("bad " + arg);
            traits.emplace_back(arg, v);
        } else if (arg == "--bosses-unknown") {
            traits.emplace_back(arg, 0);
        } else if (arg == "--timer") {
            if (!number(options.timerMs, 1)) return UsageError("bad --timer");
        } else if (arg == "--max-seconds") {
            int seconds = 0;
            if (!number(seconds, 1)) return UsageError("bad --max-seconds");
            options.limits.levelSeconds = seconds;
        } else if (arg == "--jobs") {
            if (!number(options.jobs, 1)) return UsageError("bad --jobs");
        } else if (arg == "--json" && value) {
            options.json = argv[++i];
        } else if (arg == "--markdown" && value) {
            options.markdown = argv[++i];
        } else if (arg == "--demo-script" && value) {
            options.demoScript = argv[++i];
        } else if (arg == "--check") {
            options.check = true;
        } else if (arg[0] != '-' && options.levelFile.empty()) {
            options.levelFile = arg;
        } else {
            return UsageError("unknown argument '" + arg + "'");
        }
    }
    for (Profile& profile : options.profiles) {
        for (const auto& [trait, v] : traits) ChangeTrait(profile.bot, trait, v);
    }
    options.data = Trailing(options.data);
    std::string programDir = options.data;
    if (!options.levelFile.empty()) {
        std::string error;
        programDir = ProgramDirFor(options.data, options.levelFile, error);
        if (programDir.empty()) return UsageError(error);
    }

    const auto started = std::chrono::steady_clock::now();
    GameDriver driver(programDir, options.timerMs);
    if (!driver.Messages().empty()) {
        std::cerr << "playtest: the game could not start: " << driver.Messages().front() << "\n";
        return 1;
    }
    if (!options.demoScript.empty()) return WriteDemoScript(driver, options);
    const int count = driver.LevelCount();
    const int last = options.lastLevel ? std::min(options.lastLevel, count) : count;
    if (count == 0 || options.firstLevel > last) return UsageError("no such levels in " + programDir);

    Summary summary;
    summary.intervalMs = driver.IntervalMs();
    summary.gamesPerLevel = options.games;
    summary.catchSeeds = options.catchSeeds;
    summary.firstCatchLimit = options.limits.firstCatchSeconds;
    summary.oneFile = !options.levelFile.empty();
    std::map<int, size_t> byLevel;
    // Every profile plays the same seeds, so their figures compare game for game.
    std::vector<Job> jobs;
    for (size_t p = 0; p < options.profiles.size(); ++p) {
        for (int i = 0; i < options.wholeGames; ++i)
            jobs.push_back({JobKind::Game, p, 1, i, Mix(options.seed, 0, uint32_t(i))});
    }
    // The longest runs first, so the last ones to end are short.
    for (int level = last; level >= options.firstLevel; --level) {
        for (size_t p = 0; p < options.profiles.size(); ++p) {
            for (int i = 0; i < options.games; ++i)
                jobs.push_back(
                    {JobKind::Level, p, level, i, Mix(options.seed, uint32_t(level), uint32_t(i))});
        }
    }
    for (int level = last; level >= options.firstLevel; --level) {
        for (int i = 0; i < options.catchSeeds; ++i) {
            jobs.push_back(
                {JobKind::Catch, 0, level, i, Mix(options.seed, uint32_t(level), 1000u + uint32_t(i))});
        }
    }
    for (int level = options.firstLevel; level <= last; ++level) {
        LevelInfo l;
        l.level = level;
        l.name = driver.LevelName(level);
        l.nameWidth = driver.PanelNameWidth(l.name);
        l.nameRoom = GameDriver::PanelRoom();
        byLevel[level] = summary.levels.size();
        summary.levels.push_back(l);
    }
    for (const Profile& profile : options.profiles) {
        ProfileSummary p{profile, {}, {}};
        for (const LevelInfo& l : summary.levels) p.levels.push_back({l.level, {}});
        summary.profiles.push_back(p);
    }
    const long processors = sysconf(_SC_NPROCESSORS_ONLN);
    summary.processes = options.jobs ? options.jobs : int(std::max(1L, processors));
    RunAll(driver, jobs, options, summary.processes, summary, byLevel);
    summary.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    summary.cpuSeconds = CpuSeconds();
    if (!options.levelFile.empty()) fs::remove_all(programDir, ec);

    const std::vector<Target> targets = CheckTargets(summary);
    const std::string table = Table(summary);
    std::cout << table;
    if (!options.json.empty()) {
        std::ofstream out(options.json);
        out << Json(summary, targets);
        if (!out) return UsageError("can't write " + options.json);
    }
    if (!options.markdown.empty() && !WriteMarkdown(options.markdown, table, command)) {
        return UsageError("can't write " + options.markdown);
    }
    const bool allMet = std::all_of(targets.begin(), targets.end(), [](const Target& t) { return t.met; });
    return options.check && !allMet ? 1 : 0;
}

#include "runs.h"

#include <algorithm>
#include <deque>
#include <map>
#include <set>

namespace playtest {

namespace {

constexpr double kStuckSeconds = 10.0;
constexpr int kStuckBox = 4 * kCell;  // a box of 5 x 5 cells: 4 cells from the first to the last
constexpr int kFarAway = 6 * kCell;   // a monster this far from every hero is not chasing
constexpr double kSampleSeconds = 0.1;

// Monsters that keep to one small patch of the maze for long while no hero
// is near: a corner they circle in, a corridor they bounce along.
class StuckWatch {
public:
    void Sample(const Facts& facts, double now) {
        if (now < nextSample_) return;
        nextSample_ = now + kSampleSeconds;
        std::map<const void*, std::deque<Point>> tracks;
        for (const MonsterFact& m : facts.monsters) {
            const bool near = std::any_of(facts.heroes.begin(), facts.heroes.end(), [&](const SpriteView& h) {
                return std::max(std::abs(h.x - m.x), std::abs(h.y - m.y)) < kFarAway;
            });
            if (!m.moving || near) continue;
            std::deque<Point> track = tracks_.count(m.id) ? std::move(tracks_[m.id]) : std::deque<Point>{};
            track.push_back({now, m.x, m.y});
            while (!InBox(track)) track.pop_front();
            const double stayed = now - track.front().t;
            if (stayed > kStuckSeconds) {
                if (counted_.insert(m.id).second && stuck_++ == 0) firstAt_ = BoxCentre(track);
                longest_ = std::max(longest_, stayed);
            }
            tracks[m.id] = std::move(track);
        }
        tracks_ = std::move(tracks);
    }
    int Stuck() const { return stuck_; }
    Cell FirstAt() const { return firstAt_; }
    double Longest() const { return longest_; }

private:
    struct Point {
        double t;
        int x, y;
    };
    struct Box {
        int minX, maxX, minY, maxY;
    };
    static Box Bounds(const std::deque<Point>& track) {
        Box b{track.front().x, track.front().x, track.front().y, track.front().y};
        for (const Point& p : track) {
            b.minX = std::min(b.minX, p.x);
            b.maxX = std::max(b.maxX, p.x);
            b.minY = std::min(b.minY, p.y);
            b.maxY = std::max(b.maxY, p.y);
        }
        return b;
    }
    static bool InBox(const std::deque<Point>& track) {
        const Box b = Bounds(track);
        return b.maxX - b.minX <= kStuckBox && b.maxY - b.minY <= kStuckBox;
    }
    static Cell BoxCentre(const std::deque<Point>& track) {
        const Box b = Bounds(track);
        return CellOf((b.minX + b.maxX) / 2 - kMazeLeft, (b.minY + b.maxY) / 2 - kMazeTop);
    }
    std::map<const void*, std::deque<Point>> tracks_;
    std::set<const void*> counted_;
    double nextSample_ = 0;
    int stuck_ = 0;
    Cell firstAt_;
    double longest_ = 0;
};

// Watches one level being played and fills its record.
class LevelWatch {
public:
    explicit LevelWatch(int level) { run_.level = level; }

    // After each frame; false once the level is over, won or lost.
    bool Update(const GameDriver& driver, const Facts& facts, double startedAt, const Limits& limits) {
        const double now = driver.Seconds() - startedAt;
        if (facts.caughtBy >= 0) {
            ++run_.livesLost;
            ++run_.deathsByKind[size_t(facts.caughtBy)];
        }
        if (!facts.playing || facts.levelNumber != run_.level) {
            run_.seconds = now;
            if (!driver.Messages().empty()) run_.error = driver.Messages().front();
            return false;
        }
        run_.keyAppeared = run_.keyAppeared || facts.keyPlaced;
        run_.gatesOpened = run_.gatesOpened || facts.gateOpen;
        run_.dotsLeft = facts.dotTotal - facts.dotsEaten;
        stuck_.Sample(facts, now);
        run_.stuckMonsters = stuck_.Stuck();
        run_.stuckAt = stuck_.FirstAt();
        run_.stuckSeconds = stuck_.Longest();
        run_.seconds = now;
        if (facts.allDotsEaten) {
            run_.cleared = true;
            return false;
        }
        if (now >= limits.levelSeconds) {
            run_.timedOut = true;
            return false;
        }
        return true;
    }
    const LevelRun& Run() const { return run_; }

private:
    LevelRun run_;
    StuckWatch stuck_;
};

BotOptions Seeded(BotOptions options, uint32_t seed) {
    options.seed = seed;
    return options;
}

// The name a runner script gives a key the bot presses.
const char* ScriptKeyName(uint16_t key) {
    switch (key) {
        case kKeyLeft: return "Left";
        case kKeyUp: return "Up";
        case kKeyRight: return "Right";
        case kKeyDown: return "Down";
        default: return "";
    }
}

// The bot plays the level that has just started until it is won or lost.
// With a script, its keys are pressed as the script's lines and added to it.
LevelRun PlayStartedLevel(GameDriver& driver, int level, uint32_t seed, const BotOptions& options,
                          const Limits& limits, std::string* script = nullptr) {
    Bot bot(Seeded(options, seed), driver.IntervalMs());
    LevelWatch watch(level);
    const double startedAt = driver.Seconds();
    for (;;) {
        if (const uint16_t key = bot.Play(driver.Look())) {
            if (script) {
                *script += std::to_string(driver.FramesRun() + 1) + " key " + ScriptKeyName(key) + "\n";
                driver.PressAsScript(key);
            } else {
                driver.Press(key);
            }
        }
        driver.Frame();
        if (!watch.Update(driver, driver.Inspect(), startedAt, limits)) break;
    }
    return watch.Run();
}

}  // namespace

LevelRun PlayLevel(GameDriver& driver, int level, uint32_t seed, const BotOptions& options,
                   const Limits& limits) {
    driver.Start(level, 3, seed);
    return PlayStartedLevel(driver, level, seed, options, limits);
}

Catch FirstCatch(GameDriver& driver, int level, uint32_t seed, uint16_t key, const Limits& limits) {
    driver.Start(level, 3, seed);
    if (key) driver.Press(key);
    while (driver.Seconds() < limits.firstCatchSeconds) {
        driver.Frame();
        const Facts facts = driver.Inspect();
        if (facts.caughtBy >= 0) return {driver.Seconds(), facts.caughtBy};
        if (!facts.playing || facts.allDotsEaten) break;
    }
    return {};
}

GameRun PlayGame(GameDriver& driver, uint32_t seed, const BotOptions& options, const Limits& limits) {
    GameRun game;
    driver.Start(1, 0, seed);
    for (;;) {
        const Facts facts = driver.Inspect();
        if (!facts.playing) break;
        game.reached = facts.levelNumber;
        game.levels.push_back(
            PlayStartedLevel(driver, facts.levelNumber, seed + uint32_t(facts.levelNumber), options, limits));
        if (!game.levels.back().cleared) break;
        // The level-complete picture waits for a press of fire.
        for (int frames = 0; frames < 1000 && !driver.Inspect().levelDone; ++frames) driver.Frame();
        if (!driver.Inspect().levelDone) {
            game.levels.back().cleared = false;
            game.levels.back().error = "the level was cleared but never ended";
            break;
        }
        driver.Frame();
        driver.PressFire();
        driver.Frame();
        game.completed = driver.Inspect().gameComplete;
    }
    return game;
}

DemoGame PlayDemo(GameDriver& driver, uint32_t seed, const BotOptions& options, const Limits& limits) {
    DemoGame demo;
    // The keys in frames the runner counts from the program's start.
    const auto pressAt = [&](int frame, uint16_t key, const char* name) {
        while (driver.FramesRun() + 1 < frame) driver.Frame();
        demo.script += std::to_string(frame) + " key " + name + "\n";
        driver.PressAsScript(key);
        driver.Frame();
    };
    pressAt(3, platform::vk::Space, "Space");  // the title to the menu
    pressAt(6, platform::vk::Enter, "Enter");  // New Game
    if (!driver.Inspect().playing) return demo;
    demo.level = PlayStartedLevel(driver, 1, seed, options, limits, &demo.script);
    // The finished level's picture stays a moment and waits for fire; the
    // game is left once the next level shows.
    const int second = 1000 / std::max(1, driver.IntervalMs());
    for (int frames = 0; frames < 10 * second && !driver.Inspect().levelDone; ++frames) driver.Frame();
    const int done = driver.FramesRun() + 1 + second * 3 / 2;
    pressAt(done, platform::vk::Space, "Space");
    pressAt(done + second, platform::vk::Escape, "Escape");
    pressAt(done + second + 5, 'Y', "Y");
    demo.score = driver.Score();
    demo.ended = !driver.Inspect().playing;
    return demo;
}

}  // namespace playtest

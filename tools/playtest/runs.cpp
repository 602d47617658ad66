#include "runs.h"

#include <algorithm>
#include <deque>
#include <map>

namespace playtest {

namespace {

constexpr double kStuckSeconds = 10.0;
constexpr int kStuckBox = 4 * kCell;  // within 2 cells either way of one place
constexpr double kSampleSeconds = 0.1;
constexpr int kChaseRange = 4 * kCell;

// Monsters that stay in one small patch of the maze for too long.
class StuckWatch {
public:
    void Sample(const Facts& facts, double now) {
        if (now < nextSample_) return;
        nextSample_ = now + kSampleSeconds;
        std::map<const void*, Track> tracks;
        for (const MonsterFact& m : facts.monsters) {
            // A monster on the hero's heels is chasing, not stuck.
            const bool chasing =
                std::any_of(facts.heroes.begin(), facts.heroes.end(), [&](const SpriteView& h) {
                    return std::max(std::abs(h.x - m.x), std::abs(h.y - m.y)) <= kChaseRange;
                });
            if (!m.moving || chasing) continue;
            Track track = tracks_.count(m.id) ? std::move(tracks_[m.id]) : Track{};
            track.samples.push_back({now, m.x, m.y});
            while (track.samples.size() > 1 && track.samples[1].t <= now - kStuckSeconds)
                track.samples.pop_front();
            if (!track.counted && track.samples.front().t <= now - kStuckSeconds && Small(track)) {
                track.counted = true;
                if (stuck_++ == 0) firstAt_ = CellOf(m.x - kMazeLeft, m.y - kMazeTop);
            }
            tracks[m.id] = std::move(track);
        }
        tracks_ = std::move(tracks);
    }
    int Stuck() const { return stuck_; }
    Cell FirstAt() const { return firstAt_; }

private:
    struct Point {
        double t;
        int x, y;
    };
    struct Track {
        std::deque<Point> samples;
        bool counted = false;
    };
    static bool Small(const Track& track) {
        int minX = track.samples.front().x, maxX = minX, minY = track.samples.front().y, maxY = minY;
        for (const Point& p : track.samples) {
            minX = std::min(minX, p.x);
            maxX = std::max(maxX, p.x);
            minY = std::min(minY, p.y);
            maxY = std::max(maxY, p.y);
        }
        return maxX - minX <= kStuckBox && maxY - minY <= kStuckBox;
    }
    std::map<const void*, Track> tracks_;
    double nextSample_ = 0;
    int stuck_ = 0;
    Cell firstAt_;
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

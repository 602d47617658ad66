#include "bot.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace playtest {

namespace {

// A monster stands this many frames after it first shows, then moves.
constexpr int kAppearFrames = 31;
// A red ball frightens the monsters for ten seconds; the last three they
// blink, and the bot counts them dangerous again from then on.
constexpr double kFrightenedSeconds = 7.0;
constexpr double kSlowSeconds = 5.0;
constexpr double kPatientSeconds = 5.0;
constexpr int kSegment = 4;  // frames from one cell centre to the next
// A hero that can reach this many cells before any monster is not cornered.
constexpr int kEscapeCells = 8;

Dir DirOfSuffix(std::string_view suffix) {
    if (suffix == "Up") return kUp;
    if (suffix == "Right") return kRight;
    if (suffix == "Down") return kDown;
    if (suffix == "Left") return kLeft;
    return kNone;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool IsLyingBonus(std::string_view image) {
    return image == "BonusMoney" || image == "BonusLife" || image == "BonusSlow" || image == "BonusDouble" ||
           image == "BonusKillAll" || image == "BonusKill" || image == "BonusKeyboard";
}

Cell SpriteCell(const SpriteView& s) { return CellOf(s.x - kMazeLeft, s.y - kMazeTop); }

}  // namespace

Bot::Bot(const BotOptions& options, int intervalMs)
    : options_(options),
      delayFrames_(int(std::lround(double(options.delayMs) / std::max(1, intervalMs)))),
      jitterFrames_(int(std::lround(double(options.jitterMs) / std::max(1, intervalMs)))),
      framesPerSecond_(1000 / std::max(1, intervalMs)),
      random_(options.seed * 2654435761u + 1) {}

uint32_t Bot::Random(uint32_t n) {
    random_ = random_ * 1664525u + 1013904223u;
    return uint32_t((uint64_t(random_) * n) >> 32);
}

uint16_t Bot::KeyFor(Dir d) const {
    static constexpr uint16_t kKeys[4] = {kKeyUp, kKeyRight, kKeyDown, kKeyLeft};
    return kKeys[keysSwapped_ ? Reverse(d) : d];
}

Bot::Seen Bot::Perceive(const Screen& screen) {
    Seen seen;
    maze_ = Maze(screen);
    const int dots = int(std::count(screen.cells.begin(), screen.cells.end(), kCellDot));
    if (dots != dotsSeen_) lastProgress_ = frame_;
    dotsSeen_ = dots;
    int redBalls = 0, keyboardChanges = 0, slowPictures = 0;
    std::map<std::pair<int, int>, int64_t> appearing;
    for (const SpriteView& s : screen.sprites) {
        const std::string_view image = s.image;
        const int px = s.x - kMazeLeft, py = s.y - kMazeTop;
        if (image == "GateHorizShut" || image == "GateVertShut") {
            const Cell c = SpriteCell(s);
            maze_.SetGateShut(c.x, c.y, true);
        } else if (image == "Appearence" ||
                   (StartsWith(image, "P") && DirOfSuffix(image.substr(1)) != kNone)) {
            const Hero hero{px, py, image == "Appearence" ? kNone : DirOfSuffix(image.substr(1)), kNone};
            if (seen.heroAlive) {
                seen.others.push_back(hero);
            } else {
                seen.heroAlive = true;
                seen.hero = hero;
            }
        } else if (image == "RedBall") {
            ++redBalls;
            seen.redBalls.push_back(SpriteCell(s));
        } else if (image == "BonusKey") {
            seen.key = SpriteCell(s);
        } else if (image == "Key") {
            keyTaken_ = true;
        } else if (image == "KeyboardChange") {
            ++keyboardChanges;
        } else if (image == "Slow") {
            ++slowPictures;
        } else if (IsLyingBonus(image)) {
            seen.bonuses.push_back(SpriteCell(s));
        } else {
            for (const auto& [prefix, kind] :
                 {std::pair{"Enemy", MonsterKind::Ordinary}, std::pair{"Victim", MonsterKind::Ordinary},
                  std::pair{"Boss", MonsterKind::Boss}, std::pair{"Ghost", MonsterKind::Ghost}}) {
                if (!StartsWith(image, prefix)) continue;
                const std::string_view rest = image.substr(std::string_view(prefix).size());
                Monster m{kind, px, py, DirOfSuffix(rest), 0, false};
                if (rest == "Appearence") {
                    const std::pair<int, int> where{int(kind) * 100000 + px, py};
                    const auto known = appearing_.find(where);
                    const int64_t since = known == appearing_.end() ? frame_ : known->second;
                    appearing[where] = since;
                    m.appearSteps = std::max(0, kAppearFrames - int(frame_ - since));
                } else if (m.dir == kNone) {
                    break;  // dying
                }
                m.edible = StartsWith(image, "Victim") && frame_ < frightenedUntil_;
                seen.monsters.push_back(m);
                break;
            }
        }
    }
    appearing_ = std::move(appearing);
    Track(seen.monsters);
    // A red ball gone under the hero frightens the monsters.
    if (redBallsSeen_ >= 0 && redBalls < redBallsSeen_) {
        frightenedUntil_ = frame_ + int64_t(kFrightenedSeconds * framesPerSecond_);
    }
    redBallsSeen_ = redBalls;
    // Each new "opposite keys" picture turns the arrows round.
    if (keyboardChanges > keyboardChangesSeen_) keysSwapped_ = !keysSwapped_;
    keyboardChangesSeen_ = keyboardChanges;
    // The slow bonus holds the monsters back for five seconds.
    if (slowPictures > slowPicturesSeen_) slowUntil_ = frame_ + int64_t(kSlowSeconds * framesPerSecond_);
    slowPicturesSeen_ = slowPictures;
    return seen;
}

void Bot::Track(std::vector<Monster>& monsters) {
    // Each monster is the one of the last frame of its kind within one move.
    std::vector<Tracked> now;
    std::vector<bool> taken(tracked_.size(), false);
    for (Monster& m : monsters) {
        Tracked t{m, 0, 0};
        for (size_t i = 0; i < tracked_.size(); ++i) {
            const Monster& before = tracked_[i].monster;
            if (taken[i] || before.kind != m.kind || std::abs(before.x - m.x) + std::abs(before.y - m.y) > 8)
                continue;
            taken[i] = true;
            const bool stood =
                before.x == m.x && before.y == m.y && m.appearSteps == 0 && before.appearSteps == 0;
            t.stood = (tracked_[i].stood << 1 | unsigned(stood)) & 0xF;
            t.frames = tracked_[i].frames + 1;
            break;
        }
        // One that stood still in the last frames moves every other step:
        // on the next one if it stood on the last.
        m.slow = t.stood != 0 && frame_ < slowUntil_;
        m.skipNext = m.slow && !(t.stood & 1);
        m.slowSteps = int(slowUntil_ - frame_);
        now.push_back(t);
    }
    tracked_ = std::move(now);
}

uint16_t Bot::Play(const Screen& screen) {
    ++frame_;
    if (!screen.playing) return 0;
    const Seen seen = Perceive(screen);
    if (seen.heroAlive && !heroWasAlive_) {
        // A new hero waits for a key, with the arrows the right way round.
        pending_.clear();
        wish_ = kNone;
        keysSwapped_ = false;
    }
    heroWasAlive_ = seen.heroAlive;
    if (!seen.heroAlive) {
        pending_.clear();
        return 0;
    }
    if (const std::optional<Dir> choice = Decide(seen)) {
        const int64_t planned = frame_ + delayFrames_;
        // An unsteady hand presses early, as people do, so that a turn is
        // rarely missed: the game keeps a key until the way is open.
        int64_t when = planned;
        if (jitterFrames_ > 0) when -= int64_t(Random(uint32_t(jitterFrames_ + 1)));
        // A hand does not press in another order than it decided.
        if (!pending_.empty()) when = std::max(when, pending_.back().frame);
        pending_.push_back({std::max(when, frame_), planned, *choice});
    }
    uint16_t key = 0;
    while (!pending_.empty() && pending_.front().frame <= frame_) {
        const Dir d = pending_.front().dir;
        pending_.pop_front();
        if (d != wish_) {
            wish_ = d;
            key = KeyFor(d);
        }
    }
    return key;
}

std::optional<Dir> Bot::Decide(const Seen& seen) {
    // Where everybody will be when a key pressed now lands: the hero with the
    // keys already on their way, the monsters by their rules.
    Hero hero = seen.hero;
    hero.wish = wish_;
    std::vector<Hero> others = seen.others;
    std::vector<Monster> monsters = seen.monsters;
    auto press = pending_.begin();
    for (int k = 0; k < delayFrames_; ++k) {
        for (; press != pending_.end() && press->planned <= frame_ + k; ++press) hero.wish = press->dir;
        StepHero(maze_, hero, keyTaken_);
        for (Hero& other : others) {
            other.wish = hero.wish;
            StepHero(maze_, other, keyTaken_);
        }
        // What it eats on the way will be gone by then.
        maze_.EatAt(hero.x, hero.y);
        for (Monster& m : monsters) StepMonster(maze_, m, hero, options_.knowsBosses);
    }
    if (!AtCellCentre(hero.x, hero.y)) {
        lastDecidedAt_.reset();
        return std::nullopt;
    }

    const Cell here = CellOf(hero.x, hero.y);
    const std::vector<int> distance = TargetDistances(seen, here);
    const int horizon = kSegment * (options_.lookahead + 1);
    // A player kept from the dots for long takes more and more risk.
    const double stalled = double(frame_ - lastProgress_) / framesPerSecond_;
    const int enough = stalled < kPatientSeconds       ? horizon
                       : stalled < 2 * kPatientSeconds ? horizon * 3 / 4
                       : stalled < 3 * kPatientSeconds ? horizon / 2
                                                       : 0;
    std::optional<Dir> best;
    int bestSurvival = -1, bestCost = 0;
    uint32_t bestTie = 0;
    for (Dir d : {kUp, kRight, kDown, kLeft}) {
        Cell next;
        if (!maze_.HeroStep(here, d, keyTaken_, next)) continue;
        const int survival = std::min(enough, Survive(hero, others, monsters, d, options_.lookahead));
        const int cost = distance.empty() ? 0 : distance[size_t(next.y * maze_.Width() + next.x)];
        // Ties keep the hero going its way, else a coin decides.
        const uint32_t tie = d == hero.dir ? 0 : 1 + Random(1000);
        const bool better =
            !best || survival > bestSurvival ||
            (survival == bestSurvival && (cost < bestCost || (cost == bestCost && tie < bestTie)));
        if (better) {
            best = d;
            bestSurvival = survival;
            bestCost = cost;
            bestTie = tie;
        }
    }
    if (best) {
        if (const std::optional<Dir> wrong = WrongBranch(here, hero.dir, *best)) return wrong;
    }
    return best;
}

std::optional<Dir> Bot::WrongBranch(Cell here, Dir heading, Dir chosen) {
    if (options_.wrongBranchPercent <= 0 || lastDecidedAt_ == here) return std::nullopt;
    lastDecidedAt_ = here;
    std::vector<Dir> others;
    int ways = 0;
    for (Dir d : {kUp, kRight, kDown, kLeft}) {
        Cell next;
        if (d == Reverse(heading) || !maze_.HeroStep(here, d, keyTaken_, next)) continue;
        ++ways;
        if (d != chosen) others.push_back(d);
    }
    // Only where the way forks: a corridor or a corner leaves nothing to misread.
    if (ways < 2 || others.empty() || Random(100) >= uint32_t(options_.wrongBranchPercent))
        return std::nullopt;
    return others[Random(uint32_t(others.size()))];
}

int Bot::Survive(const Hero& start, std::vector<Hero> others, std::vector<Monster> monsters, Dir first,
                 int depth) const {
    Hero hero = start;
    hero.wish = first;
    int frames = 0;
    for (int f = 0; f < kSegment; ++f) {
        StepHero(maze_, hero, keyTaken_);
        for (Hero& other : others) {
            other.wish = first;
            StepHero(maze_, other, keyTaken_);
        }
        for (Monster& m : monsters) StepMonster(maze_, m, hero, options_.knowsBosses);
        ++frames;
        for (const Monster& m : monsters) {
            if (Touches(hero, m, options_.margin)) return frames;
            for (const Hero& other : others) {
                if (Touches(other, m, options_.margin)) return frames;
            }
        }
        if (AtCellCentre(hero.x, hero.y) && (hero.x != start.x || hero.y != start.y)) break;
    }
    frames = kSegment;
    // A way that ends in a corner is worse than a way with room to run.
    if (depth == 0) return CanEscape(hero, monsters) ? frames : frames - 1;
    // The best way on from the next cell centre; turning back only from a dead end.
    const Cell here = CellOf(hero.x, hero.y);
    int best = 0;
    bool any = false;
    for (int pass = 0; pass < 2 && !any; ++pass) {
        for (Dir d : {kUp, kRight, kDown, kLeft}) {
            if (pass == 0 && d == Reverse(hero.dir)) continue;
            Cell next;
            if (!maze_.HeroStep(here, d, keyTaken_, next)) continue;
            any = true;
            best = std::max(best, Survive(hero, others, monsters, d, depth - 1));
            if (best >= kSegment * depth) return frames + best;
        }
    }
    return frames + best;
}

bool Bot::CanEscape(const Hero& hero, const std::vector<Monster>& monsters) const {
    const int w = maze_.Width(), h = maze_.Height();
    const auto index = [w](Cell c) { return size_t(c.y * w + c.x); };
    // When the first monster can be in each cell, in frames: those that walk
    // the corridors as far as the maze lets them, ghosts straight across.
    constexpr int kNever = 1 << 20;
    std::vector<int> monsterTime(size_t(w * h), kNever);
    std::vector<std::vector<Cell>> byStep;
    for (const Monster& m : monsters) {
        if (m.edible) continue;
        const Cell at = CellOf(m.x, m.y);
        if (!maze_.Inside(at.x, at.y)) continue;
        if (m.kind == MonsterKind::Ghost) {
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    const int t = m.appearSteps + 2 * kSegment * (std::abs(x - at.x) + std::abs(y - at.y));
                    monsterTime[index({x, y})] = std::min(monsterTime[index({x, y})], t);
                }
            }
            continue;
        }
        const size_t step = size_t((m.appearSteps + kSegment - 1) / kSegment);
        if (byStep.size() <= step) byStep.resize(step + 1);
        byStep[step].push_back(at);
    }
    std::vector<int> walked(size_t(w * h), -1);
    for (size_t step = 0; step < byStep.size(); ++step) {
        for (size_t i = 0; i < byStep[step].size(); ++i) {
            const Cell c = byStep[step][i];
            if (walked[index(c)] >= 0) continue;
            walked[index(c)] = int(step);
            monsterTime[index(c)] = std::min(monsterTime[index(c)], int(step) * kSegment);
            for (Dir d : {kUp, kRight, kDown, kLeft}) {
                Cell next;
                if (!maze_.HeroStep(c, d, true, next) || maze_.GateShut(next.x, next.y) ||
                    walked[index(next)] >= 0) {
                    continue;
                }
                if (byStep.size() <= step + 1) byStep.resize(step + 2);
                byStep[step + 1].push_back(next);
            }
        }
    }
    // The cells the hero reaches first, with a little room to spare.
    const Cell start = CellOf(hero.x, hero.y);
    if (!maze_.Inside(start.x, start.y)) return true;
    std::vector<int> heroTime(size_t(w * h), -1);
    std::vector<Cell> queue{start};
    heroTime[index(start)] = 0;
    for (size_t i = 0; i < queue.size(); ++i) {
        if (int(queue.size()) >= kEscapeCells) return true;
        for (Dir d : {kUp, kRight, kDown, kLeft}) {
            Cell next;
            if (!maze_.HeroStep(queue[i], d, keyTaken_, next) || heroTime[index(next)] >= 0) continue;
            const int t = heroTime[index(queue[i])] + kSegment;
            if (t + kSegment / 2 >= monsterTime[index(next)]) continue;
            heroTime[index(next)] = t;
            queue.push_back(next);
        }
    }
    return int(queue.size()) >= kEscapeCells;
}

std::vector<int> Bot::TargetDistances(const Seen& seen, Cell heroCell) const {
    const int w = maze_.Width(), h = maze_.Height();
    const auto index = [w](Cell c) { return size_t(c.y * w + c.x); };
    const auto fill = [&](const std::vector<Cell>& from) {
        std::vector<int> dist(size_t(w * h), -1);
        std::vector<Cell> queue;
        for (const Cell c : from) {
            if (!maze_.Inside(c.x, c.y) || dist[index(c)] >= 0) continue;
            dist[index(c)] = 0;
            queue.push_back(c);
        }
        for (size_t i = 0; i < queue.size(); ++i) {
            for (Dir d : {kUp, kRight, kDown, kLeft}) {
                Cell next;
                if (!maze_.HeroStep(queue[i], d, keyTaken_, next) || dist[index(next)] >= 0) continue;
                dist[index(next)] = dist[index(queue[i])] + 1;
                queue.push_back(next);
            }
        }
        return dist;
    };
    if (!maze_.Inside(heroCell.x, heroCell.y)) return {};
    const std::vector<int> reach = fill({heroCell});
    const auto reachable = [&](Cell c) { return maze_.Inside(c.x, c.y) && reach[index(c)] >= 0; };
    std::vector<Cell> targets;
    if (seen.key && !keyTaken_ && reachable(*seen.key)) targets.push_back(*seen.key);
    if (targets.empty()) {
        for (const std::vector<Cell>* near : {&seen.redBalls, &seen.bonuses}) {
            for (const Cell c : *near) {
                if (reachable(c) && reach[index(c)] <= options_.nearCells) targets.push_back(c);
            }
        }
    }
    if (targets.empty()) {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                if (maze_.Code(x, y) == kCellDot && reach[index({x, y})] >= 0) targets.push_back({x, y});
            }
        }
    }
    if (targets.empty()) return {};
    std::vector<int> dist = fill(targets);
    // Cells that lead nowhere near a target come last.
    for (int& d : dist) {
        if (d < 0) d = w * h;
    }
    return dist;
}

}  // namespace playtest

#include "model.h"

#include <array>
#include <cmath>

namespace playtest {

namespace {

constexpr int kHeroSpeed = 8;
constexpr int kMonsterSpeed = 8;
constexpr int kGhostSpeed = 4;
// A boss follows the shortest way to a hero at most this many cells away.
constexpr int kBossSight = 5;

bool IsGate(int code) { return code == kCellGateHoriz || code == kCellGateVert; }

// The monsters' corner cells: the right column and bottom row are taken one
// pixel inside, so a monster in the first column looks at the second too.
std::array<Cell, 4> MonsterCorners(int px, int py) {
    const int left = (px + 1) / kCell, right = (px - 1) / kCell + 1;
    const int top = (py + 1) / kCell, bottom = (py - 1) / kCell + 1;
    return {Cell{left, top}, Cell{left, bottom}, Cell{right, top}, Cell{right, bottom}};
}

// Through the open edges: past the right edge to 0, past the left one to the
// last column (an ordinary monster one column short of it).
void Wrap(const Maze& maze, int& px, int& py, int inset) {
    if (px < 0) px = maze.WrapMaxX() - inset;
    if (px > maze.WrapMaxX()) px = 0;
    if (py < 0) py = maze.WrapMaxY() - inset;
    if (py > maze.WrapMaxY()) py = 0;
}

// The direction whose next position is nearest to the hero's corner, or
// farthest from it; blocked moves and a move onto the corner itself count as
// impossible. Ties go to the lower direction.
Dir Pick(const Maze& maze, const Monster& m, const Hero& hero, int speed, bool anyMove, bool farthest) {
    double dist[4];
    for (int d = 0; d < 4; ++d) {
        const int qx = m.x + kDx[d] * speed, qy = m.y + kDy[d] * speed;
        dist[d] = anyMove || maze.MonsterFits(qx, qy) ? std::hypot(hero.x - qx, hero.y - qy) : 0.0;
    }
    int pick = dist[0] != 0 ? 0 : dist[1] != 0 ? 1 : dist[2] != 0 ? 2 : 3;
    for (int d = 0; d < 4; ++d) {
        if (farthest ? dist[d] > dist[pick] : dist[d] > 0 && dist[d] < dist[pick]) pick = d;
    }
    return Dir(pick);
}

// The boss's first step on a shortest way to the hero within its sight.
Dir BossRoute(const Maze& maze, const Monster& m, const Hero& hero) {
    const Cell target = CellOf(hero.x, hero.y);
    const Cell self = CellOf(m.x, m.y);
    if (!maze.Inside(target.x, target.y) || target == self) return kNone;
    const int w = maze.Width(), h = maze.Height();
    std::vector<int8_t> dist(size_t(w * h), -1);
    std::vector<Cell> queue{target};
    dist[size_t(target.y * w + target.x)] = 0;
    for (size_t i = 0; i < queue.size(); ++i) {
        const Cell c = queue[i];
        const int here = dist[size_t(c.y * w + c.x)];
        if (here >= kBossSight || c == self) continue;
        for (int d = 0; d < 4; ++d) {
            const int nx = c.x + kDx[d], ny = c.y + kDy[d];
            if (!maze.Inside(nx, ny) || dist[size_t(ny * w + nx)] >= 0) continue;
            if (maze.Code(nx, ny) == kCellWall || maze.GateShut(nx, ny)) continue;
            dist[size_t(ny * w + nx)] = int8_t(here + 1);
            queue.push_back({nx, ny});
        }
    }
    if (!maze.Inside(self.x, self.y)) return kNone;
    const int mine = dist[size_t(self.y * w + self.x)];
    if (mine <= 0) return kNone;
    for (Dir d : {kUp, kDown, kLeft, kRight}) {
        const int nx = self.x + kDx[d], ny = self.y + kDy[d];
        if (maze.Inside(nx, ny) && dist[size_t(ny * w + nx)] == mine - 1) return d;
    }
    return kNone;
}

bool BossBlockedAhead(const Maze& maze, const Monster& m) {
    if (m.dir == kNone) return true;
    const int cx = m.x / kCell + kDx[m.dir], cy = m.y / kCell + kDy[m.dir];
    const int code = maze.Code(cx, cy);
    return code == kCellWall || (IsGate(code) && maze.GateShut(cx, cy));
}

}  // namespace

Maze::Maze(const Screen& screen)
    : width_(screen.width), height_(screen.height), cells_(screen.cells), shut_(cells_.size(), 0) {}

int Maze::Code(int x, int y) const {
    if (x < -1 || y < -1 || x > width_ || y > height_) return kCellWall;
    if (!Inside(x, y)) return kCellEmpty;
    return cells_[size_t(y * width_ + x)];
}

void Maze::SetGateShut(int x, int y, bool shut) {
    if (Inside(x, y)) shut_[size_t(y * width_ + x)] = shut;
}

void Maze::EatAt(int px, int py) {
    const Cell c = CellOf(px, py);
    if (Inside(c.x, c.y) && cells_[size_t(c.y * width_ + c.x)] == kCellDot)
        cells_[size_t(c.y * width_ + c.x)] = kCellEmpty;
}

bool Maze::HeroBlocks(int code, bool keyTaken) const {
    return code == kCellWall || (IsGate(code) && !keyTaken);
}

bool Maze::HeroFits(int px, int py, bool keyTaken) const {
    const int left = (px + 1) / kCell, right = (px + kCell - 1) / kCell;
    const int top = (py + 1) / kCell, bottom = (py + kCell - 1) / kCell;
    for (const Cell c : {Cell{left, top}, Cell{left, bottom}, Cell{right, top}, Cell{right, bottom}}) {
        if (HeroBlocks(Code(c.x, c.y), keyTaken)) return false;
    }
    return true;
}

bool Maze::MonsterFits(int px, int py) const {
    for (const Cell c : MonsterCorners(px, py)) {
        const int code = Code(c.x, c.y);
        if (code == kCellWall || (IsGate(code) && GateShut(c.x, c.y))) return false;
    }
    return true;
}

bool Maze::HeroStep(Cell from, Dir d, bool keyTaken, Cell& to) const {
    to = {from.x + kDx[d], from.y + kDy[d]};
    if (to.x < 0) to.x = width_ - 1;
    if (to.x >= width_) to.x = 0;
    if (to.y < 0) to.y = height_ - 1;
    if (to.y >= height_) to.y = 0;
    return !HeroBlocks(Code(to.x, to.y), keyTaken) &&
           HeroFits(from.x * kCell + kDx[d] * kHeroSpeed, from.y * kCell + kDy[d] * kHeroSpeed, keyTaken);
}

void StepHero(const Maze& maze, Hero& hero, bool keyTaken) {
    Wrap(maze, hero.x, hero.y, 0);
    if (AtCellCentre(hero.x, hero.y) && hero.wish != kNone &&
        maze.HeroFits(hero.x + kDx[hero.wish] * kHeroSpeed, hero.y + kDy[hero.wish] * kHeroSpeed, keyTaken)) {
        hero.dir = hero.wish;
    }
    if (hero.dir == kNone) return;
    const int nx = hero.x + kDx[hero.dir] * kHeroSpeed, ny = hero.y + kDy[hero.dir] * kHeroSpeed;
    if (maze.HeroFits(nx, ny, keyTaken)) {
        hero.x = nx;
        hero.y = ny;
    }
}

void StepMonster(const Maze& maze, Monster& m, const Hero& hero, bool bossRoutes) {
    if (m.slow && --m.slowSteps < 0) m.slow = false;
    if (m.slow) {
        const bool skip = m.skipNext;
        m.skipNext = !skip;
        if (skip) return;
    }
    if (m.appearSteps > 0) {
        --m.appearSteps;
        return;
    }
    switch (m.kind) {
        case MonsterKind::Ordinary: {
            // Straight on until blocked, then the way nearest to the hero (a
            // frightened one: the farthest).
            Wrap(maze, m.x, m.y, kCell);
            for (int tries = 0; tries < 4; ++tries) {
                if (m.dir != kNone &&
                    maze.MonsterFits(m.x + kDx[m.dir] * kMonsterSpeed, m.y + kDy[m.dir] * kMonsterSpeed)) {
                    m.x += kDx[m.dir] * kMonsterSpeed;
                    m.y += kDy[m.dir] * kMonsterSpeed;
                    return;
                }
                m.dir = Pick(maze, m, hero, kMonsterSpeed, false, m.edible);
            }
            return;
        }
        case MonsterKind::Boss: {
            Wrap(maze, m.x, m.y, 0);
            if (AtCellCentre(m.x, m.y)) {
                Dir d = bossRoutes ? BossRoute(maze, m, hero) : kNone;
                if (d == kNone)
                    d = BossBlockedAhead(maze, m) ? Pick(maze, m, hero, kMonsterSpeed, false, false) : m.dir;
                m.dir = d;
            }
            m.x += kDx[m.dir] * kMonsterSpeed;
            m.y += kDy[m.dir] * kMonsterSpeed;
            return;
        }
        case MonsterKind::Ghost: {
            // Half speed, straight through walls and gates.
            Wrap(maze, m.x, m.y, 0);
            if (AtCellCentre(m.x, m.y)) m.dir = Pick(maze, m, hero, kGhostSpeed, true, false);
            m.x += kDx[m.dir] * kGhostSpeed;
            m.y += kDy[m.dir] * kGhostSpeed;
            return;
        }
    }
}

bool Touches(const Hero& hero, const Monster& m, int margin) {
    if (m.appearSteps > 0 || m.edible) return false;
    return std::abs(hero.x - m.x) < kCell + margin && std::abs(hero.y - m.y) < kCell + margin;
}

}  // namespace playtest

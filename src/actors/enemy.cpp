// What the monster kinds share, and the collection that counts them. The
// grid tests round and divide as game/maze_geometry.h explains.
#include "actors/enemy.h"

#include <array>
#include <cmath>

#include "actors/bonus.h"
#include "actors/enemy_kinds.h"
#include "actors/game.h"
#include "actors/player.h"
#include "game/globals.h"
#include "game/level.h"
#include "game/maze_geometry.h"
#include "game/random.h"
#include "game/services.h"

namespace actors {

namespace {

using game::kMazeOrigin;
using game::Nearest;

// The cell of a sprite's centre.
void CentreCell(const engine::TSprite& s, int& x, int& y) {
    x = game::PixelToCell(s.X + s.Width * 0.5);
    y = game::PixelToCell(s.Y + s.Height * 0.5);
}

bool InsideMaze(int x, int y) {
    return x >= 0 && x < game::State.GameLevel.MapWidth && y >= 0 && y < game::State.GameLevel.MapHeight;
}

void LowerAliveCount(uint8_t (&alive)[game::MonsterKindCount], game::TMonsterKind kind) {
    if (kind < game::MonsterKindCount && alive[kind] > 0) --alive[kind];
}

}  // namespace

// ---- TEnemySprite ------------------------------------------------------------

TEnemySprite::TEnemySprite(engine::TSprite* root, int32_t x, int32_t y) : TXSprite(root) {
    AppearCountdown = 32;
    Active = false;
    Slow = false;
    X = game::CellToPixel(x);
    Y = game::CellToPixel(y);
    SetZ(0);
}

void TEnemySprite::HandleCollision(engine::TSprite*, bool&) {}

void TEnemySprite::Activate() {
    AppearCountdown = -1;
    FrameSpeed = 0.5;
    Looping = true;
    Active = true;
    Speed = 8;
    SetZ(4);
}

bool TEnemySprite::AtCellCentre() const {
    const double x0 = X - kMazeOrigin;
    const double y0 = Y - kMazeOrigin;
    const int left = Nearest(x0 + 1) / Width;
    const int right = Nearest(x0 - 1 + Width) / Width;
    const int top = Nearest(y0 + 1) / Height;
    const int bottom = Nearest(y0 - 1 + Height) / Height;
    return left == right && top == bottom;
}

bool TEnemySprite::CanMoveTo(double x, double y) const {
    const double x0 = x - kMazeOrigin;
    const double y0 = y - kMazeOrigin;
    const int left = Nearest(x0 + 1) / Width;
    const int right = Nearest(x0 - 1) / Width + 1;
    const int top = Nearest(y0 + 1) / Height;
    const int bottom = Nearest(y0 - 1) / Height + 1;
    const std::array<std::array<int, 2>, 4> corners{
        {{left, top}, {left, bottom}, {right, top}, {right, bottom}}};

    // One shut gate under any corner blocks every gate cell under the
    // corners; open gates block nothing.
    bool gatesBlock = false;
    engine::ForEachChild<const TGateSprite>(*Engine, [&](const TGateSprite& gate) {
        if (gate.IsOpen) return true;
        const int gx = Nearest((gate.X - kMazeOrigin) / Width);
        const int gy = Nearest((gate.Y - kMazeOrigin) / Height);
        for (const auto& c : corners) {
            if (c[0] == gx && c[1] == gy) gatesBlock = true;
        }
        return !gatesBlock;
    });
    for (const auto& c : corners) {
        const int32_t code = game::GetCell(game::State.GameLevel, c[0], c[1]);
        if (code == game::CellWall) return false;
        if (gatesBlock && (code == game::CellGateHoriz || code == game::CellGateVert)) return false;
    }
    return true;
}

void TEnemySprite::OffsetByDirection(double& x, double& y, uint8_t direction) const {
    switch (direction) {
        case DirUp: y -= Speed; break;
        case DirRight: x += Speed; break;
        case DirDown: y += Speed; break;
        case DirLeft: x -= Speed; break;
        case DirNone:
            x = X;
            y = Y;
            break;
        default: break;
    }
}

// A breadth-first search from the player's cell. It gives every cell it
// reaches the value 100 + its shortest distance, in a scratch copy of the
// map, exactly as a depth-first fill that re-enters cells reached before by
// a longer way would: walls and shut gates are not entered, the fill keeps
// inside the maze, and it does not spread beyond the monster's own cell. A
// cell whose own code is already 100 or more counts as reached at that
// distance and is entered only by a shorter way.
uint8_t TEnemySprite::RouteDirection() const {
    const TPlayerSprite* player = FindPlayer();
    if (player == nullptr) return DirNone;
    int px, py, mx, my;
    CentreCell(*player, px, py);
    if (!InsideMaze(px, py)) return DirNone;
    CentreCell(*this, mx, my);
    if (mx == px && my == py) return DirNone;

    game::TMazeMap copy = game::State.GameLevel;
    auto at = [&copy](int x, int y) -> int32_t& { return copy.Map[y + 1][x + 1]; };
    std::array<std::array<int, 2>, game::MapRows * game::MapColumns> queue;
    size_t head = 0, tail = 0;
    at(px, py) = 100;
    queue[tail++] = {px, py};
    static constexpr int kSteps[4][2] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};  // up, down, left, right
    while (head < tail) {
        const auto [x, y] = queue[head++];
        if (x == mx && y == my) continue;
        const int32_t next = at(x, y) + 1;
        for (const auto& step : kSteps) {
            const int nx = x + step[0];
            const int ny = y + step[1];
            if (!InsideMaze(nx, ny)) continue;
            const int32_t code = at(nx, ny);
            if (code == game::CellWall || GateShutAt(nx, ny)) continue;
            if (code >= 100 && code <= next) continue;
            at(nx, ny) = next;
            queue[tail++] = {nx, ny};
        }
    }

    const int32_t d = game::GetCell(copy, mx, my);
    if (d < 100 || d - 100 > 5) return DirNone;
    static constexpr uint8_t kDirections[4] = {DirUp, DirDown, DirLeft, DirRight};
    for (int i = 0; i < 4; ++i) {
        const int nx = mx + kSteps[i][0];
        const int ny = my + kSteps[i][1];
        if (InsideMaze(nx, ny) && at(nx, ny) == d - 1) return kDirections[i];
    }
    return DirNone;
}

bool TEnemySprite::GateShutAt(int32_t x, int32_t y) {
    const TGame* current = CurrentGame();
    return current != nullptr && current->GateMarks[y + 1][x + 1] == 1;
}

bool TEnemySprite::SlowPhase() {
    if (!Slow) return false;
    ++SlowCounter;
    return SlowCounter % 2 != 0;
}

bool TEnemySprite::AppearancePhase() {
    if (AppearCountdown == 0) Activate();
    if (AppearCountdown > 0) {
        --AppearCountdown;
        return true;
    }
    return false;
}

void TEnemySprite::WrapAround(double leftTopInsetX, double leftTopInsetY) {
    if (X < kMazeOrigin) X = game::State.WrapMaxX + kMazeOrigin - leftTopInsetX;
    if (X > game::State.WrapMaxX + kMazeOrigin) X = kMazeOrigin;
    if (Y < kMazeOrigin) Y = game::State.WrapMaxY + kMazeOrigin - leftTopInsetY;
    if (Y > game::State.WrapMaxY + kMazeOrigin) Y = kMazeOrigin;
}

void TEnemySprite::SetUpKind(game::TMonsterKind kind, const std::string& appearImage,
                             const std::string& deathImage, int32_t scoreValue) {
    Kind = kind;
    ShowImage(*this, FindImage(appearImage));
    FrameSpeed = 0.125;
    Looping = false;
    Direction = static_cast<uint8_t>(game::Random(4));
    Speed = 0;
    DeathImage = FindImage(deathImage);
    DeathSpeed = 0.125;
    ScoreValue = scoreValue;
}

// ---- TEnemyCollection ----------------------------------------------------------

TEnemyCollection::TEnemyCollection(engine::TSprite* root) : SpriteRoot(root) {}

void TEnemyCollection::AddMonster(int32_t kind, int32_t x, int32_t y) {
    const TGame* current = CurrentGame();
    if (current != nullptr && current->AllDotsEaten) return;
    switch (kind) {
        case game::mkOrdinary: new TBasicEnemy(SpriteRoot, x, y); break;
        case game::mkBoss: new TBossSprite(SpriteRoot, x, y); break;
        case game::mkGhost: new TGhostSprite(SpriteRoot, x, y); break;
        default: return;
    }
    ++AliveCount[kind];
}

void TEnemyCollection::RemoveAll() {
    engine::ForEachChild<TEnemySprite>(*SpriteRoot, [this](TEnemySprite& monster) {
        monster.Kill();
        LowerAliveCount(AliveCount, monster.Kind);
    });
}

void TEnemyCollection::KillAllActive() {
    engine::ForEachChild<TEnemySprite>(*SpriteRoot, [this](TEnemySprite& monster) {
        // One eaten a moment before is still active while it dies: it has
        // been scored and counted already.
        if (!monster.Active || monster.IsDying) return;
        monster.StartDeath();
        game::State.Player.Score += monster.ScoreValue;
        LowerAliveCount(AliveCount, monster.Kind);
        game::State.Player.Monsters += 1;
    });
}

void TEnemyCollection::KillMonster(TEnemySprite* monster) {
    game::State.Player.Score += monster->ScoreValue;
    game::Services().PlaySound("Victim");
    LowerAliveCount(AliveCount, monster->Kind);
    monster->StartDeath();
    game::State.Player.Monsters += 1;
}

void TEnemyCollection::MakeVictims() {
    engine::ForEachChild<TBasicEnemy>(*SpriteRoot, [](TBasicEnemy& monster) { monster.SetHunting(false); });
}

void TEnemyCollection::TickVictims() {
    engine::ForEachChild<TBasicEnemy>(*SpriteRoot, [](TBasicEnemy& monster) {
        if (monster.VictimTicks > 0) --monster.VictimTicks;
    });
}

}  // namespace actors

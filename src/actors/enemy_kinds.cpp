// The three monster kinds and how each one chooses its way.
#include "actors/enemy_kinds.h"

#include <cmath>
#include <string>

#include "actors/game.h"
#include "actors/player.h"
#include "game/globals.h"
#include "game/level.h"
#include "game/maze_geometry.h"

namespace actors {

namespace {

using game::Nearest;

// Straight-line distance from the end of each move to the player's top-left
// corner; 0 for a move that is impossible (when tested) or that ends exactly
// on that corner. False when there is no player to aim at.
bool MoveDistances(const TEnemySprite& monster, bool testMoves, double (&dist)[4]) {
    const TPlayerSprite* player = FindPlayer();
    if (player == nullptr) return false;
    for (uint8_t d = 0; d < 4; ++d) {
        double qx = monster.X;
        double qy = monster.Y;
        monster.OffsetByDirection(qx, qy, d);
        dist[d] = !testMoves || monster.CanMoveTo(qx, qy)
                      ? std::sqrt((player->X - qx) * (player->X - qx) + (player->Y - qy) * (player->Y - qy))
                      : 0.0;
    }
    return true;
}

// Start from the first of up, right, down with a distance, else left; ties
// keep the lower direction code.
uint8_t FirstWithDistance(const double (&dist)[4]) {
    for (uint8_t d = 0; d < 3; ++d) {
        if (dist[d] != 0) return d;
    }
    return DirLeft;
}

uint8_t NearestMove(const double (&dist)[4]) {
    uint8_t near = FirstWithDistance(dist);
    for (uint8_t d = 0; d < 4; ++d) {
        if (dist[d] > 0 && dist[d] < dist[near]) near = d;
    }
    return near;
}

uint8_t FarthestMove(const double (&dist)[4]) {
    uint8_t far = FirstWithDistance(dist);
    for (uint8_t d = 0; d < 4; ++d) {
        if (dist[d] > dist[far]) far = d;
    }
    return far;
}

// The walking picture; Width and Height keep the appearance picture's size.
void ShowWalking(TEnemySprite& monster, const std::string& prefix) {
    monster.Image = FindImage(prefix + DirectionNames[monster.Direction]);
    monster.FrameCount = monster.Image->PatternCount();
}

}  // namespace

// ---- the ordinary monster -------------------------------------------------------

TBasicEnemy::TBasicEnemy(engine::TSprite* root, int32_t x, int32_t y) : TEnemySprite(root, x, y) {
    SetUpKind(game::mkOrdinary, "EnemyAppearence", "EnemyDeath", 1000);
    Hunting = true;
    VictimTicks = 0;
}

void TBasicEnemy::Step(int moveCount) {
    TXSprite::Step(moveCount);
    if (SlowPhase() || AppearancePhase() || IsDying) return;

    enum class Look { Hunting, Victim, Blinking };
    Look look = Hunting ? Look::Hunting : Look::Victim;
    // The step in which victim time runs out still shows the victim.
    if (VictimTicks == 0) {
        Hunting = true;
    } else if (VictimTicks >= 1 && VictimTicks <= 29) {
        look = Look::Blinking;
    }

    WrapAround(Width, Height);

    double qx = X;
    double qy = Y;
    for (;;) {
        qx = X;
        qy = Y;
        OffsetByDirection(qx, qy, Direction);
        if (CanMoveTo(qx, qy)) break;
        // The choice depends on the position only: when it names a move
        // that cannot be made, asking again would give the same answer for
        // ever (walled in, or the only way ends on the player's corner).
        // The monster then stays where it is for this step.
        const uint8_t choice = ChooseDirection();
        if (choice == Direction) {
            qx = X;
            qy = Y;
            break;
        }
        Direction = choice;
    }
    X = qx;
    Y = qy;

    if (Direction < 4) {
        bool enemyLook = look == Look::Hunting;
        if (look == Look::Blinking) enemyLook = Nearest(VictimTicks / 3.0) % 2 != 0;
        ShowWalking(*this, enemyLook ? "Enemy" : "Victim");
    }
}

uint8_t TBasicEnemy::ChooseDirection() const {
    double dist[4];
    // With nobody to aim at the monster keeps its way.
    if (!MoveDistances(*this, true, dist)) return Direction;
    return Hunting ? NearestMove(dist) : FarthestMove(dist);
}

void TBasicEnemy::SetHunting(bool value) {
    if (!Active) return;
    Hunting = value;
    if (!value) VictimTicks = 100;
}

// ---- the boss ---------------------------------------------------------------------

TBossSprite::TBossSprite(engine::TSprite* root, int32_t x, int32_t y) : TEnemySprite(root, x, y) {
    SetUpKind(game::mkBoss, "BossAppearence", "BossDeath", 5000);
}

void TBossSprite::Step(int moveCount) {
    Speed = 8;
    TXSprite::Step(moveCount);
    WrapAround(0, 0);
    if (SlowPhase() || AppearancePhase() || IsDying) return;

    if (AtCellCentre()) {
        uint8_t d = RouteDirection();
        if (d == DirNone) d = BlockedAhead(Direction) ? NearestDirection() : Direction;
        Direction = d;
    }
    // The decisions keep the boss clear of walls; its moves are not tested.
    OffsetByDirection(X, Y, Direction);
    if (Direction != DirNone) ShowWalking(*this, "Boss");
}

bool TBossSprite::BlockedAhead(uint8_t direction) const {
    int32_t c = game::PixelToCell(X);
    int32_t r = game::PixelToCell(Y);
    switch (direction) {
        case DirUp: --r; break;
        case DirRight: ++c; break;
        case DirDown: ++r; break;
        case DirLeft: --c; break;
        default: break;
    }
    const int32_t code = game::GetCell(game::State.GameLevel, c, r);
    if (code == game::CellWall) return true;
    return (code == game::CellGateHoriz || code == game::CellGateVert) && GateShutAt(c, r);
}

uint8_t TBossSprite::NearestDirection() const {
    double dist[4];
    if (!MoveDistances(*this, true, dist)) return Direction;
    return NearestMove(dist);
}

// ---- the ghost --------------------------------------------------------------------

TGhostSprite::TGhostSprite(engine::TSprite* root, int32_t x, int32_t y) : TEnemySprite(root, x, y) {
    // Drawn above everything from the start.
    SetZ(100);
    SetUpKind(game::mkGhost, "GhostAppearence", "GhostDeath", 10000);
}

void TGhostSprite::Activate() {
    AppearCountdown = -1;
    FrameSpeed = 0.5;
    Looping = true;
    Speed = 4;
    Active = true;
}

void TGhostSprite::Step(int moveCount) {
    TXSprite::Step(moveCount);
    WrapAround(0, 0);
    if (SlowPhase() || AppearancePhase() || IsDying) return;

    Speed = 4;
    if (AtCellCentre()) Direction = NearestDirection();
    OffsetByDirection(X, Y, Direction);
    if (Direction != DirNone) ShowWalking(*this, "Ghost");
}

uint8_t TGhostSprite::NearestDirection() const {
    double dist[4];
    if (!MoveDistances(*this, false, dist)) return Direction;
    return NearestMove(dist);
}

}  // namespace actors

#include "actors/enemy.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "actors/bonus.h"
#include "actors/enemy_kinds.h"
#include "game/random.h"
#include "maze_fixture.h"

namespace {

using namespace actors;
using actors_test::At;

std::vector<std::string> Open(int w, int h) {
    return std::vector<std::string>(size_t(h), std::string(size_t(w), '.'));
}

class Monsters : public actors_test::MazeFixture {};

// ---- the grid tests ------------------------------------------------------------

TEST_F(Monsters, AtCellCentreOnlyOnWholeCells) {
    StartGame(Open(5, 5), 4, 4);
    auto* monster = Active<TBasicEnemy>(1, 2, DirUp);
    EXPECT_TRUE(monster->AtCellCentre());
    monster->X += 8;
    EXPECT_FALSE(monster->AtCellCentre());
    monster->X += 24;
    EXPECT_TRUE(monster->AtCellCentre());
    monster->Y -= 4;
    EXPECT_FALSE(monster->AtCellCentre());
}

// Integer division truncates toward zero, so in column 0 and row 0 the far
// corner is looked up one cell further on than elsewhere.
TEST_F(Monsters, CanMoveToInColumnZeroAlsoTestsColumnOne) {
    StartGame({".....", ".#..#", "....."}, 2, 2);
    auto* edge = Active<TBasicEnemy>(0, 0, DirDown);
    EXPECT_FALSE(edge->CanMoveTo(At(0), At(0) + 8));  // meets the wall at (1, 1)
    EXPECT_FALSE(edge->CanMoveTo(At(0) + 8, At(0)));  // row 0 likewise looks at row 1
    auto* inner = Active<TBasicEnemy>(3, 0, DirDown);
    EXPECT_TRUE(inner->CanMoveTo(At(3), At(0) + 8));  // the wall at (4, 1) is not looked at
    auto* lower = Active<TBasicEnemy>(0, 2, DirRight);
    EXPECT_TRUE(lower->CanMoveTo(At(0) + 8, At(2)));
    EXPECT_FALSE(inner->CanMoveTo(At(3) + 8, At(0) + 32));  // into the wall at (4, 1)
}

TEST_F(Monsters, OnlyAShutGateBlocksAMonster) {
    StartGame({"...", ".I.", "..."}, 0, 2);
    auto gates = All<TGateSprite>();
    ASSERT_EQ(gates.size(), 1u);
    auto* monster = Active<TBasicEnemy>(1, 0, DirDown);
    EXPECT_FALSE(monster->CanMoveTo(At(1), At(0) + 8));
    gates[0]->IsOpen = true;
    EXPECT_TRUE(monster->CanMoveTo(At(1), At(0) + 8));
}

TEST_F(Monsters, OffsetByDirectionMovesThePointBySpeed) {
    StartGame(Open(3, 3), 0, 0);
    auto* monster = Active<TBasicEnemy>(1, 1, DirUp);
    double x = 100, y = 200;
    monster->OffsetByDirection(x, y, DirLeft);
    EXPECT_EQ(x, 92);
    monster->OffsetByDirection(x, y, DirDown);
    EXPECT_EQ(y, 208);
    monster->OffsetByDirection(x, y, DirNone);
    EXPECT_EQ(x, At(1));
    EXPECT_EQ(y, At(1));
    EXPECT_EQ(monster->X, At(1));  // the monster itself stays
}

// ---- the route search ----------------------------------------------------------

TEST_F(Monsters, RouteReachesFiveStepsButNotSix) {
    StartGame({"#########", ".........", "#########"}, 0, 1);
    EXPECT_EQ(Active<TBossSprite>(5, 1, DirUp)->RouteDirection(), DirLeft);
    EXPECT_EQ(Active<TBossSprite>(6, 1, DirUp)->RouteDirection(), DirNone);
    // The route bends round walls: 5 steps through the open row.
    StartGame({".#...", "...#.", "#...."}, 0, 0);
    EXPECT_EQ(Active<TBossSprite>(3, 2, DirUp)->RouteDirection(), DirLeft);
    EXPECT_EQ(Active<TBossSprite>(4, 2, DirUp)->RouteDirection(), DirNone);
}

TEST_F(Monsters, RouteDoesNotPassAShutGate) {
    StartGame({"#######", "..I....", "#######"}, 0, 1);
    auto* boss = Active<TBossSprite>(4, 1, DirUp);
    EXPECT_EQ(boss->RouteDirection(), DirLeft);
    game_->GateMarks[1 + 1][2 + 1] = 1;
    EXPECT_EQ(boss->RouteDirection(), DirNone);
}

TEST_F(Monsters, RouteTiesGoUpThenDownThenLeft) {
    StartGame(Open(5, 5), 2, 2);
    EXPECT_EQ(Active<TBossSprite>(1, 1, DirUp)->RouteDirection(), DirDown);  // down and right
    EXPECT_EQ(Active<TBossSprite>(3, 3, DirUp)->RouteDirection(), DirUp);    // up and left
    EXPECT_EQ(Active<TBossSprite>(3, 1, DirUp)->RouteDirection(), DirDown);  // down and left
    EXPECT_EQ(Active<TBossSprite>(2, 2, DirUp)->RouteDirection(), DirNone);  // the player's own cell
    Place(Player(), At(2) + 10, At(2));  // the centre decides: still cell (2, 2)
    EXPECT_EQ(Active<TBossSprite>(2, 3, DirUp)->RouteDirection(), DirUp);
    Place(Player(), At(-2), At(2));  // centre outside the maze
    EXPECT_EQ(Active<TBossSprite>(1, 2, DirUp)->RouteDirection(), DirNone);
}

// ---- the ordinary monster's choice ------------------------------------------------

TEST_F(Monsters, ChooseDirectionTiesGoToTheLowerCode) {
    StartGame(Open(5, 5), 0, 0);
    auto* monster = Active<TBasicEnemy>(2, 2, DirUp);
    Place(Player(), At(2) + 8, At(2) - 8);  // up and right both end 8 away
    EXPECT_EQ(monster->ChooseDirection(), DirUp);
    Place(Player(), At(2) - 8, At(2) + 8);  // down and left
    EXPECT_EQ(monster->ChooseDirection(), DirDown);
}

TEST_F(Monsters, AMoveEndingOnThePlayersCornerCountsAsImpossible) {
    StartGame(Open(5, 5), 0, 0);
    auto* monster = Active<TBasicEnemy>(2, 2, DirUp);
    Place(Player(), At(2) + 8, At(2));
    EXPECT_EQ(monster->ChooseDirection(), DirUp);  // up and down at 11.3; right is left out
    monster->Hunting = false;
    EXPECT_EQ(monster->ChooseDirection(), DirLeft);  // a victim takes the farthest
}

TEST_F(Monsters, ChooseDirectionSkipsWalls) {
    StartGame({".....", "..#..", ".....", ".....", "....."}, 2, 0);
    auto* monster = Active<TBasicEnemy>(2, 2, DirUp);
    EXPECT_EQ(monster->ChooseDirection(), DirRight);  // up is walled; right and left tie
}

TEST_F(Monsters, OrdinaryMonsterRunsStraightAndTurnsAtWalls) {
    StartGame({".....", ".....", "....#", "....."}, 3, 0);
    auto* monster = Active<TBasicEnemy>(1, 2, DirRight);
    monster->Step(1);
    EXPECT_EQ(monster->X, At(1) + 8);
    EXPECT_EQ(monster->Image->Name(), "EnemyRight");
    for (int i = 0; i < 7; ++i) monster->Step(1);
    EXPECT_EQ(monster->X, At(3));  // passes the side openings without turning
    monster->Step(1);              // the wall: up is nearest to the player above
    EXPECT_EQ(monster->Direction, DirUp);
    EXPECT_EQ(monster->Y, At(2) - 8);
    EXPECT_EQ(monster->Image->Name(), "EnemyUp");
}

TEST_F(Monsters, AWalledInMonsterStaysWhereItIs) {
    StartGame({"#####", "#.#..", "#####"}, 4, 1);
    auto* monster = Active<TBasicEnemy>(1, 1, DirUp);
    monster->Step(1);
    EXPECT_EQ(monster->X, At(1));
    EXPECT_EQ(monster->Y, At(1));
    EXPECT_EQ(monster->Direction, DirLeft);
}

TEST_F(Monsters, VictimBlinksByItsRemainingTicks) {
    StartGame(Open(5, 5), 0, 0);
    struct Case {
        int ticks;
        const char* image;
    };
    for (const Case& c : {Case{28, "EnemyRight"}, Case{24, "VictimRight"}, Case{30, "VictimRight"},
                          Case{100, "VictimRight"}, Case{1, "VictimRight"}, Case{2, "EnemyRight"}}) {
        auto* monster = Active<TBasicEnemy>(1, 1, DirRight);
        monster->SetHunting(false);
        monster->VictimTicks = c.ticks;
        monster->Step(1);
        EXPECT_EQ(monster->Image->Name(), c.image) << c.ticks;
        EXPECT_FALSE(monster->Hunting);
    }
}

TEST_F(Monsters, VictimHuntsAgainInTheStepAfterItsTimeRanOut) {
    StartGame(Open(5, 5), 0, 0);
    auto* monster = Active<TBasicEnemy>(1, 1, DirRight);
    monster->SetHunting(false);
    EXPECT_EQ(monster->VictimTicks, 100);
    monster->VictimTicks = 0;
    monster->Step(1);
    EXPECT_TRUE(monster->Hunting);
    EXPECT_EQ(monster->Image->Name(), "VictimRight");
    monster->Step(1);
    EXPECT_EQ(monster->Image->Name(), "EnemyRight");
}

TEST_F(Monsters, AnAppearingMonsterStaysAHunter) {
    StartGame(Open(5, 5), 0, 0);
    auto* monster = new TBasicEnemy(root_, 1, 1);
    monster->SetHunting(false);
    EXPECT_TRUE(monster->Hunting);
    EXPECT_EQ(monster->VictimTicks, 0);
}

// ---- appearance, slow phase, wrap-around -------------------------------------------

TEST_F(Monsters, AppearanceLastsThirtyTwoStepsThenTheMonsterMoves) {
    StartGame(Open(5, 5), 4, 4);
    game::State.RandSeed = 0x80000000u;  // the next draw of random(4) gives 2
    auto* monster = new TBasicEnemy(root_, 2, 1);
    EXPECT_EQ(monster->Direction, DirDown);
    EXPECT_EQ(monster->Image->Name(), "EnemyAppearence");
    EXPECT_EQ(monster->Z(), 0);
    EXPECT_EQ(monster->Speed, 0);
    for (int i = 0; i < 32; ++i) monster->Step(1);
    EXPECT_FALSE(monster->Active);
    EXPECT_EQ(monster->Y, At(1));
    monster->Step(1);
    EXPECT_TRUE(monster->Active);
    EXPECT_EQ(monster->Z(), 4);
    EXPECT_EQ(monster->Y, At(1) + 8);
    EXPECT_EQ(monster->FrameSpeed, 0.5);
    EXPECT_TRUE(monster->Looping);
}

TEST_F(Monsters, GhostIsDrawnOnTopFromTheStartAndMovesAtHalfSpeed) {
    StartGame(Open(5, 5), 4, 1);
    auto* ghost = new TGhostSprite(root_, 0, 1);
    EXPECT_EQ(ghost->Z(), 100);
    EXPECT_EQ(ghost->Kind, 2);
    EXPECT_EQ(ghost->ScoreValue, 10000);
    for (int i = 0; i < 33; ++i) ghost->Step(1);
    EXPECT_TRUE(ghost->Active);
    EXPECT_EQ(ghost->Z(), 100);
    EXPECT_EQ(ghost->Speed, 4);
    EXPECT_EQ(ghost->X, At(0) + 4);
    EXPECT_EQ(ghost->Image->Name(), "GhostRight");
}

TEST_F(Monsters, SlowMonstersActOnEverySecondStep) {
    StartGame(Open(5, 5), 4, 4);
    auto* monster = Active<TBasicEnemy>(0, 0, DirRight);
    auto* boss = Active<TBossSprite>(0, 1, DirRight);
    monster->Slow = true;
    boss->Slow = true;
    for (int i = 0; i < 4; ++i) {
        monster->Step(1);
        boss->Step(1);
    }
    EXPECT_EQ(monster->X, At(0) + 16);
    EXPECT_EQ(boss->X, At(0) + 16);
    EXPECT_EQ(monster->SlowCounter, 4);
}

// A 17-column maze: leaving through the left edge, the ordinary monster
// comes back in column 15, boss and ghost in column 16; each then moves on.
TEST_F(Monsters, WrapAroundTheLeftAndRightEdges) {
    StartGame(Open(17, 17), 14, 0);
    auto* monster = Active<TBasicEnemy>(0, 0, DirLeft);
    auto* boss = Active<TBossSprite>(0, 0, DirLeft);
    auto* ghost = Active<TGhostSprite>(0, 0, DirLeft);
    monster->X = boss->X = 12;
    ghost->X = 16;
    monster->Step(1);
    boss->Step(1);
    ghost->Step(1);
    EXPECT_EQ(monster->X, 500 - 8);
    EXPECT_EQ(boss->X, 532 - 8);
    EXPECT_EQ(ghost->X, 532 - 4);

    Place(Player(), At(2), At(0));
    monster->Direction = boss->Direction = ghost->Direction = DirRight;
    monster->X = boss->X = 540;
    ghost->X = 536;
    monster->Step(1);
    boss->Step(1);
    ghost->Step(1);
    EXPECT_EQ(monster->X, 20 + 8);
    EXPECT_EQ(boss->X, 20 + 8);
    EXPECT_EQ(ghost->X, 20 + 4);
}

TEST_F(Monsters, WrapAroundTheTopAndBottomEdges) {
    StartGame(Open(17, 17), 0, 14);
    auto* monster = Active<TBasicEnemy>(0, 0, DirUp);
    auto* boss = Active<TBossSprite>(0, 0, DirUp);
    auto* ghost = Active<TGhostSprite>(0, 0, DirUp);
    monster->Y = boss->Y = 12;
    ghost->Y = 16;
    monster->Step(1);
    boss->Step(1);
    ghost->Step(1);
    EXPECT_EQ(monster->Y, 500 - 8);
    EXPECT_EQ(boss->Y, 532 - 8);
    EXPECT_EQ(ghost->Y, 532 - 4);

    Place(Player(), At(0), At(2));
    monster->Direction = boss->Direction = ghost->Direction = DirDown;
    monster->Y = boss->Y = 540;
    ghost->Y = 536;
    monster->Step(1);
    boss->Step(1);
    ghost->Step(1);
    EXPECT_EQ(monster->Y, 20 + 8);
    EXPECT_EQ(boss->Y, 20 + 8);
    EXPECT_EQ(ghost->Y, 20 + 4);
}

// ---- boss and ghost ------------------------------------------------------------------

TEST_F(Monsters, BossTurnsAtAShutGateAndPassesAnOpenOne) {
    StartGame({"############", "...I........", "############"}, 11, 1);
    auto* gate = All<TGateSprite>().at(0);
    gate->Step(1);  // marks its cell as shut
    auto* boss = Active<TBossSprite>(2, 1, DirRight);
    EXPECT_TRUE(boss->BlockedAhead(DirRight));
    boss->Step(1);
    EXPECT_EQ(boss->Direction, DirLeft);
    EXPECT_EQ(boss->X, At(2) - 8);

    gate->IsOpen = true;
    game_->GateMarks[2][4] = 0;
    auto* through = Active<TBossSprite>(2, 1, DirRight);
    EXPECT_FALSE(through->BlockedAhead(DirRight));
    through->Step(1);
    EXPECT_EQ(through->Direction, DirRight);
    EXPECT_EQ(through->X, At(2) + 8);
}

TEST_F(Monsters, BossDecidesOnlyAtCellCentres) {
    StartGame(Open(5, 5), 2, 2);
    auto* boss = Active<TBossSprite>(1, 2, DirLeft);
    boss->X = At(1) + 8;  // one step right of a centre, the player just beyond
    boss->Step(1);
    EXPECT_EQ(boss->X, At(1));
    boss->Step(1);  // at the centre it turns toward the player
    EXPECT_EQ(boss->Direction, DirRight);
    EXPECT_EQ(boss->X, At(1) + 8);
}

TEST_F(Monsters, BossLooksThroughTheRingAtTheEdge) {
    StartGame({"...", "#..", "..."}, 2, 2);
    auto* boss = Active<TBossSprite>(0, 0, DirLeft);
    EXPECT_FALSE(boss->BlockedAhead(DirLeft));  // the ring is open
    EXPECT_TRUE(boss->BlockedAhead(DirDown));
    Place(*boss, At(-2), At(0));
    EXPECT_TRUE(boss->BlockedAhead(DirLeft));  // beyond the ring all is wall
}

TEST_F(Monsters, GhostGoesThroughWallsButNotOntoThePlayersCorner) {
    StartGame({"...", ".#.", "..."}, 2, 1);
    auto* ghost = Active<TGhostSprite>(0, 1, DirUp);
    for (int i = 0; i < 8; ++i) ghost->Step(1);
    EXPECT_EQ(ghost->X, At(1));  // inside the wall
    EXPECT_EQ(ghost->Direction, DirRight);

    auto* close = Active<TGhostSprite>(0, 0, DirLeft);
    Place(Player(), At(0) + 4, At(0));
    close->Step(1);
    EXPECT_EQ(close->Direction, DirUp);  // right would end on the corner: up and down tie
}

// ---- the collection ----------------------------------------------------------------

TEST_F(Monsters, AddMonsterCountsByKind) {
    StartGame(Open(5, 5), 0, 0);
    TEnemyCollection& enemies = *game_->Enemies;
    enemies.AddMonster(0, 1, 1);
    enemies.AddMonster(0, 2, 1);
    enemies.AddMonster(1, 3, 3);
    enemies.AddMonster(2, 4, 4);
    enemies.AddMonster(3, 4, 4);
    EXPECT_EQ(enemies.AliveCount[0], 2);
    EXPECT_EQ(enemies.AliveCount[1], 1);
    EXPECT_EQ(enemies.AliveCount[2], 1);
    ASSERT_EQ(All<TEnemySprite>().size(), 4u);
    EXPECT_EQ(All<TBossSprite>().at(0)->X, At(3));

    game_->AllDotsEaten = true;
    enemies.AddMonster(0, 1, 1);
    EXPECT_EQ(enemies.AliveCount[0], 2);
    EXPECT_EQ(All<TEnemySprite>().size(), 4u);
}

TEST_F(Monsters, RemoveAllNeverTakesACountBelowZero) {
    StartGame(Open(5, 5), 0, 0);
    TEnemyCollection& enemies = *game_->Enemies;
    for (int i = 0; i < 3; ++i) enemies.AddMonster(0, 1 + i, 1);
    for (auto* monster : All<TBasicEnemy>()) monster->Activate();
    enemies.KillMonster(All<TBasicEnemy>().at(2));
    EXPECT_EQ(enemies.AliveCount[0], 2);
    enemies.RemoveAll();
    EXPECT_EQ(enemies.AliveCount[0], 0);
    for (auto* monster : All<TEnemySprite>()) EXPECT_TRUE(monster->IsDead());
    EXPECT_EQ(game::State.Player.Score, 1000);  // only the one killed with a score
}

TEST_F(Monsters, KillAllActiveLeavesTheDyingAlone) {
    StartGame(Open(5, 5), 0, 0);
    TEnemyCollection& enemies = *game_->Enemies;
    for (int i = 0; i < 3; ++i) enemies.AddMonster(0, 1 + i, 1);
    enemies.AddMonster(1, 1, 3);  // still appearing
    for (auto* monster : All<TBasicEnemy>()) monster->Activate();
    enemies.KillMonster(All<TBasicEnemy>().at(0));
    EXPECT_NE(Events().find("sound Victim"), std::string::npos);
    EXPECT_EQ(game::State.Player.Score, 1000);
    EXPECT_EQ(game::State.Player.Monsters, 1);
    const size_t soundsBefore = Events().size();

    // The one eaten a moment before is still dying: scored and counted once.
    enemies.KillAllActive();
    EXPECT_EQ(game::State.Player.Score, 3000);
    EXPECT_EQ(game::State.Player.Monsters, 3);
    EXPECT_EQ(enemies.AliveCount[0], 0);
    EXPECT_EQ(enemies.AliveCount[1], 1);
    EXPECT_EQ(Events().size(), soundsBefore);  // no sound
    for (auto* monster : All<TBasicEnemy>()) EXPECT_TRUE(monster->IsDying);
    EXPECT_FALSE(All<TBossSprite>().at(0)->IsDying);
}

TEST_F(Monsters, KilledMonsterPlaysItsDeathAndGoes) {
    StartGame(Open(5, 5), 0, 0);
    auto* boss = Active<TBossSprite>(2, 2, DirUp);
    game_->Enemies->KillMonster(boss);
    EXPECT_EQ(game::State.Player.Score, 5000);
    EXPECT_FALSE(boss->CanCollide);
    EXPECT_EQ(boss->Image->Name(), "BossDeath");
    EXPECT_EQ(boss->DeathTicks, 32);
    for (int i = 0; i < 31; ++i) boss->Step(1);
    EXPECT_FALSE(boss->IsDead());
    EXPECT_EQ(boss->Y, At(2));  // a dying monster does not move
    boss->Step(1);
    EXPECT_TRUE(boss->IsDead());
}

TEST_F(Monsters, VictimTimeRunsOnTheMainTimer) {
    StartGame(Open(5, 5), 0, 0);
    auto* victim = Active<TBasicEnemy>(1, 1, DirUp);
    auto* hunter = Active<TBasicEnemy>(2, 1, DirUp);
    auto* appearing = new TBasicEnemy(root_, 3, 1);
    game_->Enemies->MakeVictims();
    EXPECT_FALSE(victim->Hunting);
    EXPECT_EQ(victim->VictimTicks, 100);
    EXPECT_TRUE(appearing->Hunting);
    hunter->SetHunting(true);
    hunter->VictimTicks = 0;

    Ticks(2);
    EXPECT_EQ(victim->VictimTicks, 98);
    EXPECT_EQ(hunter->VictimTicks, 0);
}

}  // namespace

namespace {

// Many frames of a busy level: the ordinary monsters never overlap a wall
// or a gate, the boss never enters a wall, and everybody stays inside the
// maze's wrap range. (A monster walking along row 0 or column 0 also looks
// one row or column further on, so this maze keeps its edges walled but for
// the tunnels.)
TEST_F(Monsters, ThousandsOfFramesKeepEveryoneInTheCorridors) {
    StartGame({"####.####", "#.......#", "#.##.##.#", "...#I#...", "#D.....D#", "#.##.##.#", "####.####"}, 4,
              4,
              "EnemyCount=4\nEnemyPointX=1\nEnemyPointY=1\nBossCount=1\nBossPointX=7\nBossPointY=1\n"
              "GhostCount=1\nGhostPointX=4\nGhostPointY=1");
    Player().CanMove = false;  // a target that stands still
    // The cell of a pixel, rounding down also left of the maze.
    auto cell = [](double p) { return int(std::floor((p - 20) / 32)); };
    auto open = [](int x, int y) {
        const int32_t code = game::GetCell(game::State.GameLevel, x, y);
        return code != game::CellWall && code != game::CellGateHoriz;
    };
    // Steps in which each kind changed its position.
    std::map<const TEnemySprite*, std::pair<double, double>> last;
    int moves[3] = {0, 0, 0};
    for (int frame = 0; frame < 4000; ++frame) {
        if (frame % 10 == 0) Ticks(1);
        if (frame == 1500) game_->Enemies->MakeVictims();
        Step();
        for (auto* monster : All<TEnemySprite>()) {
            ASSERT_GE(monster->X, 12);
            ASSERT_LE(monster->X, game::State.WrapMaxX + 28);
            ASSERT_GE(monster->Y, 12);
            ASSERT_LE(monster->Y, game::State.WrapMaxY + 28);
            if (!monster->Active || monster->IsDying || dynamic_cast<TGhostSprite*>(monster)) continue;
            const int left = cell(monster->X + 1), right = cell(monster->X + 30);
            const int top = cell(monster->Y + 1), bottom = cell(monster->Y + 30);
            if (last.count(monster) && last[monster] != std::make_pair(monster->X, monster->Y))
                ++moves[monster->Kind];
            last[monster] = {monster->X, monster->Y};
            ASSERT_TRUE(open(left, top) && open(left, bottom) && open(right, top) && open(right, bottom))
                << "frame " << frame << " at " << monster->X << "," << monster->Y;
        }
    }
    EXPECT_GT(moves[0], 4 * 3000);
    EXPECT_GT(moves[1], 3000);
    EXPECT_EQ(game_->Enemies->AliveCount[0], 4);
    EXPECT_EQ(game_->Enemies->AliveCount[1], 1);
    EXPECT_EQ(game_->Enemies->AliveCount[2], 1);
    EXPECT_EQ(All<TEnemySprite>().size(), 6u);
}

}  // namespace

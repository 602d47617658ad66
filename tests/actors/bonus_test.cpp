#include "actors/bonus.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actors/enemy_kinds.h"
#include "game/tasks.h"
#include "maze_fixture.h"

namespace {

using namespace actors;
using actors_test::At;

// Empty floor all round, one dot, the player's start at (1, 1).
const std::vector<std::string> kRoom = {".______", "_______", "_______", "_______", "_______"};

class Bonuses : public actors_test::MazeFixture {
protected:
    void SetUp() override {
        MazeFixture::SetUp();
        StartGame(kRoom, 1, 1);
    }

    // The bonuses lying in the maze, not taken and not removed.
    std::vector<TBonusSprite*> Lying() {
        std::vector<TBonusSprite*> lying;
        for (auto* bonus : All<TBonusSprite>()) {
            if (!bonus->IsDead() && !bonus->IsDying) lying.push_back(bonus);
        }
        return lying;
    }

    // Spawns a bonus of the kind and lets the player take it.
    TBonusSprite* Take(int kind) {
        actors::SpawnBonus(kind);
        auto lying = Lying();
        EXPECT_EQ(lying.size(), 1u);
        TBonusSprite* bonus = lying.at(0);
        Place(Player(), bonus->X, bonus->Y);
        bonus->Step(1);
        return bonus;
    }
};

TEST_F(Bonuses, ExtraScoreIsTakenByTouchingIt) {
    actors::SpawnBonus(1);
    ASSERT_EQ(Lying().size(), 1u);
    TBonusSprite* bonus = Lying()[0];
    EXPECT_EQ(bonus->Image->Name(), "BonusMoney");
    EXPECT_EQ(bonus->Z(), 3);
    EXPECT_FALSE(bonus->Permanent);
    // Away from the player's start.
    EXPECT_TRUE(bonus->X >= At(3) || bonus->Y >= At(3));

    auto* monster = Active<TBasicEnemy>(0, 0, DirUp);
    Place(*monster, bonus->X, bonus->Y);
    bonus->Step(1);
    EXPECT_FALSE(bonus->IsDying);  // monsters do not take bonuses

    Place(Player(), bonus->X + 16, bonus->Y);
    Player().FramePos = 1.5;
    Player().FrameSpeed = 0.25;
    bonus->Step(1);
    EXPECT_EQ(game::State.Player.Score, 10000);
    EXPECT_EQ(game::State.Player.Bonuses, 1);
    EXPECT_EQ(services_.MessageText, "Extra score");
    EXPECT_EQ(services_.MessageMs, 5000u);
    EXPECT_NE(Events().find("sound BonusMoney"), std::string::npos);
    EXPECT_TRUE(bonus->IsDying);
    EXPECT_FALSE(bonus->CanCollide);
    EXPECT_EQ(bonus->Image->Name(), "Money");
    EXPECT_EQ(Player().FramePos, 0.0);
    EXPECT_EQ(Player().FrameSpeed, 1.0);

    // The taken picture of 3 patterns plays once at 0.25: 12 steps.
    for (int i = 0; i < 11; ++i) bonus->Step(1);
    EXPECT_FALSE(bonus->IsDead());
    bonus->Step(1);
    EXPECT_TRUE(bonus->IsDead());
    EXPECT_EQ(game::State.Player.Score, 10000);
}

TEST_F(Bonuses, TwoPlayersTouchingABonusTakeItOnce) {
    actors::SpawnBonus(1);
    TBonusSprite* bonus = Lying().at(0);
    auto* second = new TPlayerSprite(root_, 0, 0);
    Place(Player(), bonus->X - 16, bonus->Y);
    Place(*second, bonus->X + 16, bonus->Y);
    bonus->Step(1);
    EXPECT_EQ(game::State.Player.Score, 10000);
    EXPECT_EQ(game::State.Player.Bonuses, 1);
}

TEST_F(Bonuses, ExtraLifeAndASecondPlayer) {
    Take(2);
    EXPECT_EQ(game::State.Lives, 4);
    EXPECT_EQ(services_.MessageText, "Extra life");

    Take(4);
    EXPECT_EQ(game::State.Lives, 5);
    EXPECT_EQ(game::State.PlayersAlive, 2);
    auto players = All<TPlayerSprite>();
    ASSERT_EQ(players.size(), 2u);
    EXPECT_EQ(players[1]->X, At(1));
    EXPECT_EQ(players[1]->Y, At(1));
    EXPECT_EQ(services_.MessageText, "Ready!");  // the new player says so after the bonus message

    // With two players alive no second-player bonus is placed.
    actors::SpawnBonus(4);
    EXPECT_TRUE(Lying().empty());
}

TEST_F(Bonuses, KindsBeyondSevenOnlyRemoveTheLyingBonus) {
    TBonusSprite* key = actors::CreateKeyBonus(6, 4);
    for (int kind : {8, 9, 10, 0}) {
        actors::SpawnBonus(1);
        TBonusSprite* money = nullptr;
        for (auto* bonus : Lying()) {
            if (bonus != key) money = bonus;
        }
        ASSERT_NE(money, nullptr);
        actors::SpawnBonus(kind);
        EXPECT_TRUE(money->IsDead()) << kind;
        ASSERT_EQ(Lying().size(), 1u) << kind;
        EXPECT_EQ(Lying()[0], key);
        root_->FlushDead();
    }
}

TEST_F(Bonuses, TheKeyOpensTheDoors) {
    TBonusSprite* key = actors::CreateKeyBonus(5, 3);
    EXPECT_TRUE(key->Permanent);
    EXPECT_EQ(key->X, At(5));
    EXPECT_EQ(key->Y, At(3));
    EXPECT_EQ(key->Image->Name(), "BonusKey");
    EXPECT_FALSE(game_->DoorsOpen);
    Place(Player(), key->X, key->Y);
    key->Step(1);
    EXPECT_TRUE(game_->DoorsOpen);
    EXPECT_EQ(services_.MessageText, "Now you can open doors");
    EXPECT_NE(Events().find("sound BonusKey"), std::string::npos);
    EXPECT_EQ(key->Image->Name(), "Key");
}

TEST_F(Bonuses, KillAllKillsTheActiveMonsters) {
    auto* first = Active<TBasicEnemy>(6, 0, DirUp);
    auto* second = Active<TBossSprite>(6, 1, DirUp);
    auto* appearing = new TGhostSprite(root_, 6, 2);
    Take(5);
    EXPECT_TRUE(first->IsDying);
    EXPECT_TRUE(second->IsDying);
    EXPECT_FALSE(appearing->IsDying);
    EXPECT_EQ(game::State.Player.Score, 6000);
    EXPECT_EQ(game::State.Player.Monsters, 2);
    EXPECT_EQ(services_.MessageText, "All monsters are killed");
}

TEST_F(Bonuses, KillOneForGoodLowersTheLevelsCount) {
    StartGame(kRoom, 1, 1, "EnemyCount=4");
    TEnemyCollection& enemies = *game_->Enemies;
    enemies.AddMonster(2, 6, 4);  // an appearing ghost comes first but is not active
    for (int i = 0; i < 4; ++i) enemies.AddMonster(0, 3 + i, 0);
    for (auto* monster : All<TBasicEnemy>()) monster->Activate();

    Take(6);
    EXPECT_EQ(game::State.GameLevel.MonsterCount[0], 3);
    EXPECT_EQ(enemies.AliveCount[0], 3);
    auto basics = All<TBasicEnemy>();
    EXPECT_TRUE(basics[0]->IsDying);
    EXPECT_FALSE(basics[1]->IsDying);
    EXPECT_EQ(game::State.Player.Score, 1000);
    EXPECT_EQ(game::State.Player.Monsters, 1);
    EXPECT_NE(Events().find("sound Victim"), std::string::npos);

    // From now on the spawn keeps three.
    actors::SpawnMonsters();
    EXPECT_EQ(All<TBasicEnemy>().size(), 4u);
}

TEST_F(Bonuses, KillOneWithoutAnActiveMonsterDoesNothing) {
    StartGame(kRoom, 1, 1, "EnemyCount=4");
    game_->Enemies->AddMonster(0, 5, 0);
    Take(6);
    EXPECT_EQ(game::State.GameLevel.MonsterCount[0], 4);
    EXPECT_FALSE(All<TBasicEnemy>()[0]->IsDying);
    EXPECT_EQ(game::State.Player.Bonuses, 1);
}

TEST_F(Bonuses, OppositeKeysTakenTwiceGiveTheKeysBack) {
    Player().Direction = DirRight;
    game::State.LastKey = 39;
    Take(7);
    EXPECT_EQ(game::State.LastKey, 37);
    EXPECT_EQ(Player().Direction, DirLeft);
    EXPECT_EQ(Player().KeyLeft, 39);
    EXPECT_EQ(Player().KeyRight, 37);
    EXPECT_EQ(Player().KeyUp, 40);
    EXPECT_EQ(Player().KeyDown, 38);
    EXPECT_EQ(services_.MessageText, "Use opposite keys");

    game::State.LastKey = 40;
    Player().Direction = DirUp;
    Take(7);
    EXPECT_EQ(game::State.LastKey, 38);
    EXPECT_EQ(Player().Direction, DirDown);
    EXPECT_EQ(Player().KeyLeft, 37);
    EXPECT_EQ(Player().KeyRight, 39);
    EXPECT_EQ(Player().KeyUp, 38);
    EXPECT_EQ(Player().KeyDown, 40);
}

// Each slow bonus ends on the 51st main-timer tick after it was taken; the
// frame speed halves and doubles with each of them.
TEST_F(Bonuses, TwoSlowBonusesEndOneAfterTheOther) {
    auto* monster = Active<TBasicEnemy>(6, 4, DirUp);
    Take(3);
    EXPECT_EQ(services_.MessageText, "Monsters are now slow");
    EXPECT_TRUE(monster->Slow);
    EXPECT_EQ(monster->FrameSpeed, 0.25);
    Ticks(20);
    Take(3);
    EXPECT_EQ(monster->FrameSpeed, 0.125);
    EXPECT_EQ(game_->SlowTasks.size(), 2u);

    Ticks(30);
    EXPECT_TRUE(monster->Slow);
    Ticks(1);
    EXPECT_FALSE(monster->Slow);
    EXPECT_EQ(monster->FrameSpeed, 0.25);
    Ticks(19);
    EXPECT_EQ(monster->FrameSpeed, 0.25);
    Ticks(1);
    EXPECT_FALSE(monster->Slow);
    EXPECT_EQ(monster->FrameSpeed, 0.5);
    Ticks(100);
    EXPECT_EQ(monster->FrameSpeed, 0.5);
}

TEST_F(Bonuses, RedBallMakesVictimsAndGivesNoScore) {
    StartGame({"...D..", "......"}, 0, 1);
    auto balls = All<TRedBallSprite>();
    ASSERT_EQ(balls.size(), 1u);
    TRedBallSprite* ball = balls[0];
    EXPECT_EQ(ball->Z(), 1);
    auto* monster = Active<TBasicEnemy>(5, 1, DirUp);
    ball->Step(1);
    EXPECT_FALSE(ball->IsDead());

    Place(Player(), At(3) - 24, At(0));
    Player().FrameSpeed = 0;
    ball->Step(1);
    EXPECT_TRUE(ball->IsDead());
    EXPECT_NE(Events().find("sound RedBallEaten"), std::string::npos);
    EXPECT_FALSE(monster->Hunting);
    EXPECT_EQ(monster->VictimTicks, 100);
    EXPECT_EQ(Player().FrameSpeed, 1.0);
    EXPECT_EQ(game::State.Player.Score, 0);
    EXPECT_EQ(game::GetCell(game::State.GameLevel, 3, 0), game::CellRedBall);
}

// ---- gates ------------------------------------------------------------------------------

class Gates : public actors_test::MazeFixture {
protected:
    void SetUp() override {
        MazeFixture::SetUp();
        StartGame({".......", ".......", "...I...", ".......", "J......"}, 0, 0);
        gate_ = All<TGateSprite>().at(1);  // created column by column: the J gate first
    }
    int32_t Mark() const { return game_->GateMarks[2 + 1][3 + 1]; }

    TGateSprite* gate_ = nullptr;
};

TEST_F(Gates, GatesStartShut) {
    auto* vertical = All<TGateSprite>().at(0);
    EXPECT_EQ(vertical->Image->Name(), "GateVertShut");
    EXPECT_EQ(vertical->OpenImage->Name(), "GateVertOpen");
    EXPECT_EQ(gate_->Image->Name(), "GateHorizShut");
    EXPECT_EQ(gate_->Z(), 2);
    EXPECT_FALSE(gate_->IsOpen);
    gate_->Step(1);
    EXPECT_EQ(Mark(), 1);
}

TEST_F(Gates, OnlyAPlayerWithTheKeyOpensAGate) {
    Place(Player(), At(3), At(1));
    gate_->Step(1);
    EXPECT_FALSE(gate_->IsOpen);  // no key yet

    game_->DoorsOpen = true;
    Place(Player(), At(5), At(3));  // two across, one down: 71.6 pixels
    gate_->Step(1);
    EXPECT_FALSE(gate_->IsOpen);
    EXPECT_EQ(Mark(), 1);

    Place(Player(), At(5), At(2));  // two cells straight away: 64 pixels
    gate_->Step(1);
    EXPECT_TRUE(gate_->IsOpen);
    EXPECT_EQ(Mark(), 0);
    EXPECT_EQ(gate_->Image->Name(), "GateHorizOpen");
    EXPECT_EQ(gate_->FrameSpeed, 0.5);
    EXPECT_EQ(gate_->FramePos, 0.0);

    Place(Player(), At(5), At(3));
    gate_->Step(1);
    EXPECT_FALSE(gate_->IsOpen);
    EXPECT_EQ(Mark(), 1);
    EXPECT_EQ(gate_->Image->Name(), "GateHorizShut");
}

TEST_F(Gates, AMonsterKeepsAnOpenGateOpenButNeverOpensOne) {
    auto* monster = new TBasicEnemy(root_, 3, 1);
    gate_->Step(1);
    EXPECT_FALSE(gate_->IsOpen);

    game_->DoorsOpen = true;
    Place(Player(), At(4), At(2));
    gate_->Step(1);
    EXPECT_TRUE(gate_->IsOpen);
    Place(Player(), At(0), At(0));
    gate_->Step(1);
    EXPECT_TRUE(gate_->IsOpen);  // the monster beside it holds it

    Place(*monster, At(6), At(4));
    gate_->Step(1);
    EXPECT_FALSE(gate_->IsOpen);
}

}  // namespace

#include "actors/player.h"

#include "actor_fixture.h"
#include "actors/enemy_kinds.h"
#include "game/globals.h"
#include "game/level.h"
#include "platform/input.h"

namespace {

using namespace game;
using actors::DotsLayer;
using actors::TPlayerSprite;
class PlayerRules : public actors_test::ActorFixture {
protected:
    void SetUp() override {
        ActorFixture::SetUp();
        for (const auto& picture : testing_support::GameScreenPictures())
            AddImage(picture.name, picture.patterns);
        for (const std::string& sound : testing_support::GameScreenSounds()) services_.AddSound(sound);
    }

    // The level after CurrentLevel starts, as entering the game screen does.
    void EnterGame() {
        if (game::State.CurrentLevel == 0) game::State.Lives = 3;
        ++game::State.CurrentLevel;
        StartLevel(game::State.CurrentLevel);
    }
    actors::TGame& Game() { return *game_; }

    // Enters a one-row corridor level (walls above and below, and a dot out
    // of reach, as a level needs one) with the player on column `startX`.
    void EnterCorridor(const std::string& row, int startX) {
        const std::string wall(row.size(), 'B');
        WriteLevel(1, "PlayerPointX=" + std::to_string(startX) + "\nPlayerPointY=1",
                   {wall, row, "A" + wall.substr(1)});
        EnterGame();
    }
    // An active ordinary monster on a cell, hunting.
    actors::TBasicEnemy* HunterAt(int x, int y) {
        auto* monster = new actors::TBasicEnemy(root_, x, y);
        monster->Activate();
        return monster;
    }
    // x' of the player: its distance from the maze's left edge.
    static int Offset(const TPlayerSprite& player) { return int(player.X) - 20; }
};

TEST_F(PlayerRules, TurnsOnlyAtCellCentres) {
    EnterCorridor("BCCCCCB", 1);
    TPlayerSprite& player = Player();
    game::State.LastKey = platform::vk::Right;
    Step();
    EXPECT_EQ(Offset(player), 40);
    game::State.LastKey = platform::vk::Left;  // between two centres: no reversing yet
    Step(3);
    EXPECT_EQ(Offset(player), 64);
    EXPECT_EQ(player.Direction, actors::DirRight);
    Step();
    EXPECT_EQ(Offset(player), 56);
    EXPECT_EQ(player.Direction, actors::DirLeft);
}

TEST_F(PlayerRules, KeyPressedOnceActsAtTheFirstOpenWay) {
    WriteLevel(1, "", {"BBBBBBB", "BCCCCCB", "BBBBCBB", "BBBBCBA"});
    EnterGame();
    TPlayerSprite& player = Player();
    game::State.LastKey = platform::vk::Right;
    Step();
    game::State.LastKey = platform::vk::Down;
    // Down is walled off at cells 1 to 3: the player walks on to cell 4.
    Step(11);
    EXPECT_EQ(Offset(player), 4 * 32);
    EXPECT_EQ(player.Y, 20 + 32);
    Step();
    EXPECT_EQ(player.Direction, actors::DirDown);
    EXPECT_EQ(player.Y, 20 + 32 + 8);
}

TEST_F(PlayerRules, BlockedKeyKeepsTheOldDirectionOrStands) {
    EnterCorridor("BCCCB", 1);
    TPlayerSprite& player = Player();
    game::State.LastKey = platform::vk::Right;
    Step();
    game::State.LastKey = platform::vk::Up;  // a wall above every cell
    Step(3);
    EXPECT_EQ(player.Direction, actors::DirRight);
    EXPECT_EQ(Offset(player), 64);
    Step(4);
    EXPECT_EQ(Offset(player), 96);
    Step(2);  // the end of the corridor: it stands
    EXPECT_EQ(Offset(player), 96);
    EXPECT_EQ(player.Direction, actors::DirRight);
}

TEST_F(PlayerRules, MouthEatsTheDotInTheStepAfterTheThirdMove) {
    EnterCorridor("BCAAB", 1);
    game::State.LastKey = platform::vk::Right;
    Step(3);
    EXPECT_EQ(Offset(Player()), 56);
    EXPECT_EQ(GetCell(game::State.GameLevel, 2, 1), CellDot);
    EXPECT_EQ(game::State.Player.Score, 0);
    Step();
    EXPECT_EQ(GetCell(game::State.GameLevel, 2, 1), CellEmpty);
    EXPECT_EQ(DotsLayer->Cells(2, 1), -1);
    EXPECT_EQ(game::State.Player.Score, 10);
    EXPECT_EQ(Game().DotsEaten, 1);
    EXPECT_NE(Events().find("sound EatDot"), std::string::npos);
    EXPECT_FALSE(Game().AllDotsEaten);
}

// Moving up, the mouth lies below the centre: a sign slip would take the
// dot a step early.
TEST_F(PlayerRules, MovingUpTheMouthEatsTheDotInTheStepAfterTheThirdMove) {
    WriteLevel(1, "PlayerPointX=1\nPlayerPointY=3", {"BBB", "BAB", "BAB", "BCB", "BBB"});
    EnterGame();
    game::State.LastKey = platform::vk::Up;
    Step(3);
    EXPECT_EQ(int(Player().Y) - 20, 72);
    EXPECT_EQ(GetCell(game::State.GameLevel, 1, 2), CellDot);
    Step();
    EXPECT_EQ(GetCell(game::State.GameLevel, 1, 2), CellEmpty);
    EXPECT_EQ(Game().DotsEaten, 1);
}

TEST_F(PlayerRules, WrapsThroughOpenEdges) {
    EnterCorridor("CCCCC", 0);
    TPlayerSprite& player = Player();
    game::State.LastKey = platform::vk::Left;
    Step();
    EXPECT_EQ(player.X, 12);  // half out of the maze for one frame
    Step();
    EXPECT_EQ(player.X, 20 + game::State.WrapMaxX - 8);  // reappeared at the far edge and walked on

    // The right edge leads into the open ring first.
    player.X = 20 + game::State.WrapMaxX;
    game::State.LastKey = platform::vk::Right;
    Step();
    EXPECT_EQ(player.X, 20 + game::State.WrapMaxX + 8);
    Step();
    EXPECT_EQ(player.X, 28);
}

TEST_F(PlayerRules, GateCellsStopThePlayerUntilTheDoorsOpen) {
    EnterCorridor("BCICB", 1);
    TPlayerSprite& player = Player();
    game::State.LastKey = platform::vk::Right;
    Step(2);
    EXPECT_EQ(Offset(player), 32);
    Game().DoorsOpen = true;
    Step(4);
    EXPECT_EQ(Offset(player), 64);
}

TEST_F(PlayerRules, TwoPlayersNeverOverlapAndTurnWhereTheyMeet) {
    EnterCorridor("BCCCCCCB", 1);
    TPlayerSprite& first = Player();
    auto* second = new TPlayerSprite(root_, 5, 1);
    second->SwapKeys();  // the two walk toward each other
    EXPECT_EQ(game::State.PlayersAlive, 2);
    game::State.LastKey = platform::vk::Right;
    for (int i = 0; i < 8; ++i) {
        Step();
        EXPECT_GE(second->X - first.X, 32) << "step " << i;
    }
    EXPECT_EQ(Offset(first), 80);  // between two cell centres
    EXPECT_TRUE(first.BlockedByPlayer);

    game::State.LastKey = platform::vk::Left;
    Step();
    EXPECT_EQ(first.Direction, actors::DirLeft);
    EXPECT_EQ(Offset(first), 72);
    EXPECT_EQ(second->Direction, actors::DirRight);
}

TEST_F(PlayerRules, LastDotEndsTheLevelWithThePassword) {
    WriteLevel(6, "PlayerPointX=1\nPlayerPointY=1", {"BBBB", "BCAB", "BBBB"});
    game::State.CurrentLevel = 5;
    EnterGame();
    TPlayerSprite& player = Player();
    game::State.LastKey = platform::vk::Right;
    Step(4);
    EXPECT_TRUE(Game().AllDotsEaten);
    EXPECT_EQ(player.Speed, 0);
    EXPECT_FALSE(player.CanCollide);
    EXPECT_NE(Events().find("sound LevelComplete"), std::string::npos);
    EXPECT_FALSE(Game().LevelDone);
    // "ChomperHappy" has 8 patterns at 0.25 a step: 32 steps, done at the 33rd.
    Step(32);
    EXPECT_FALSE(Game().LevelDone);
    Step();
    EXPECT_TRUE(Game().LevelDone);
    EXPECT_EQ(SpritesWithImage("LevelComplete").size(), 1u);
    EXPECT_EQ(services_.MessageText, "Password for the next level: TOQ");
}

TEST_F(PlayerRules, NoPasswordAfterTheLastOneInTheTable) {
    WriteLevel(30, "PlayerPointX=1\nPlayerPointY=1", {"BBBB", "BCAB", "BBBB"});
    game::State.CurrentLevel = 29;
    EnterGame();
    game::State.LastKey = platform::vk::Right;
    Step(4 + 33);
    EXPECT_TRUE(Game().LevelDone);
    EXPECT_EQ(services_.MessageText, "Ready!");
}

TEST_F(PlayerRules, CaughtInTheStepItEatsTheLastDotStillEndsTheLevel) {
    // The happy animation outlasts the death countdown: were the hero taken
    // away at its end, the level would never end.
    WriteLevel(1, "PlayerPointX=1\nPlayerPointY=1", {"BBB", "BAB", "BBB"});
    EnterGame();
    bool done = false;
    Player().HandleCollision(HunterAt(1, 1), done);
    Step();
    EXPECT_TRUE(Game().AllDotsEaten);
    EXPECT_EQ(game::State.Lives, 2);
    Step(40);
    EXPECT_TRUE(Game().LevelDone);
    EXPECT_EQ(game::State.PlayersAlive, 1);
}

TEST_F(PlayerRules, CaughtWithTheLastLifeLosesItAtOnceAndLeavesAfterItsDeath) {
    EnterCorridor("BCCCB", 1);
    game::State.Lives = 1;
    HunterAt(1, 1);
    Step();
    EXPECT_EQ(game::State.Lives, 0);
    EXPECT_EQ(Player().Speed, 0);
    EXPECT_FALSE(Player().CanCollide);
    EXPECT_NE(Events().find("sound Death"), std::string::npos);
    Step(20);
    EXPECT_EQ(game::State.PlayersAlive, 1);
    Step();
    EXPECT_EQ(game::State.PlayersAlive, 0);
    EXPECT_EQ(actors::FindPlayer(), nullptr);
    EXPECT_EQ(Game().Enemies->AliveCount[0], 0);  // the monsters left with the last player
}

TEST_F(PlayerRules, MonstersStayWhenOneOfTwoPlayersLeaves) {
    EnterCorridor("BCCCCCB", 1);
    auto* second = new TPlayerSprite(root_, 5, 1);
    Game().Enemies->AddMonster(game::mkOrdinary, 3, 1);
    second->RemovePlayer();
    EXPECT_EQ(game::State.PlayersAlive, 1);
    EXPECT_EQ(Game().Enemies->AliveCount[game::mkOrdinary], 1);
    for (auto* monster : All<actors::TEnemySprite>()) EXPECT_FALSE(monster->IsDead());
}

TEST_F(PlayerRules, TwoHuntersAtOnceCostOneLife) {
    EnterCorridor("BCCCB", 1);
    HunterAt(1, 1);
    HunterAt(1, 1);
    Step();
    EXPECT_EQ(game::State.Lives, 2);
}

TEST_F(PlayerRules, FrightenedMonsterIsEaten) {
    EnterCorridor("BCCCB", 1);
    actors::TBasicEnemy* victim = HunterAt(1, 1);
    victim->SetHunting(false);
    Step();
    EXPECT_EQ(game::State.Lives, 3);
    EXPECT_EQ(game::State.Player.Monsters, 1);
    EXPECT_EQ(game::State.Player.Score, victim->ScoreValue);
    EXPECT_TRUE(victim->IsDying);
    EXPECT_NE(Events().find("sound Victim"), std::string::npos);
    EXPECT_EQ(Player().DeathCountdown, -1);
}

}  // namespace

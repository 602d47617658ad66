#include <cmath>

#include "actors/bonus.h"
#include "actors/enemy.h"
#include "engine/image_sprite.h"
#include "game/globals.h"
#include "game/level.h"
#include "game/tasks.h"
#include "support/level_fixture.h"

namespace {

using namespace game;
using namespace actors;
using testing_support::LevelFixture;

class GameState : public LevelFixture {
protected:
    // Positions of the life icons, in creation order.
    std::vector<std::pair<int, int>> LifeIcons() {
        std::vector<std::pair<int, int>> icons;
        for (engine::TSprite* icon : SpritesWithImage("ChomperLife")) {
            icons.emplace_back(int(std::nearbyint(icon->X)), int(std::nearbyint(icon->Y)));
        }
        return icons;
    }
};

const std::vector<std::string> kSmallMaze = {"BBBB", "BCAB", "BBBB"};

TEST_F(GameState, NewGameClearsTheResultAndTheNextLevelKeepsIt) {
    WriteLevel(1, "Name=One", kSmallMaze);
    WriteLevel(2, "Name=Two", {"CAAAA", "AAAAA"});
    game::State.Player.Score = 500;
    game::State.Player.Monsters = 3;
    game::State.Player.Bonuses = 2;
    EnterGame();
    EXPECT_EQ(game::State.CurrentLevel, 1);
    EXPECT_EQ(game::State.Player.Level, 1);
    EXPECT_EQ(game::State.Lives, 3);
    EXPECT_EQ(game::State.Player.Score, 0);
    EXPECT_EQ(game::State.Player.Monsters, 0);
    EXPECT_EQ(game::State.Player.Bonuses, 0);
    EXPECT_EQ(LifeIcons().size(), 3u);

    game::State.Player.Score = 120;
    game::State.Player.Monsters = 4;
    game::State.Player.Bonuses = 1;
    game::State.Lives = 2;
    EnterGame();
    EXPECT_EQ(game::State.CurrentLevel, 2);
    EXPECT_EQ(game::State.Player.Level, 2);
    EXPECT_EQ(Game().LevelNumber, 2);
    EXPECT_EQ(game::State.Lives, 2);
    EXPECT_EQ(game::State.Player.Score, 120);
    EXPECT_EQ(game::State.Player.Monsters, 4);
    EXPECT_EQ(game::State.Player.Bonuses, 1);
    EXPECT_EQ(game::State.GameLevel.Name, "Two");

    // The kept catalogue holds the new level's background only, cut to its maze.
    int backgrounds = 0;
    for (int i = 0; i < Probe().Images().Count(); ++i)
        backgrounds += Probe().Images().Item(i).Name() == "Background";
    EXPECT_EQ(backgrounds, 1);
    const media::ImageEntry& background = Probe().Images().Find("Background");
    EXPECT_EQ(background.PatternWidth(), 5 * 32);
    EXPECT_EQ(background.PatternHeight(), 2 * 32);
    const auto sprites = SpritesWithImage("Background");
    ASSERT_EQ(sprites.size(), 1u);
    EXPECT_EQ(sprites[0]->X, 20);
    EXPECT_EQ(sprites[0]->Y, 20);
    EXPECT_EQ(sprites[0]->Z(), -1);
}

TEST_F(GameState, PasswordStartKeepsLivesAndResult) {
    WriteLevel(7, "", kSmallMaze);
    game::State.CurrentLevel = 6;
    game::State.Player.Score = 900;
    EnterGame();
    EXPECT_EQ(Game().LevelNumber, 7);
    EXPECT_EQ(game::State.Lives, 0);
    EXPECT_TRUE(LifeIcons().empty());
    EXPECT_EQ(game::State.Player.Score, 900);
}

TEST_F(GameState, SevenLivesFillTwoRowsAndTheLastIconGoesFirst) {
    WriteLevel(2, "", kSmallMaze);
    game::State.CurrentLevel = 1;
    game::State.Lives = 7;
    EnterGame();
    const std::vector<std::pair<int, int>> sevenIcons = {{620, 250}, {652, 250}, {684, 250}, {716, 250},
                                                         {748, 250}, {620, 282}, {652, 282}};
    EXPECT_EQ(LifeIcons(), sevenIcons);
    EXPECT_EQ(game::State.Lives, 7);

    Game().LifeCounter->RemoveLife();
    Step();
    EXPECT_EQ(game::State.Lives, 6);
    const std::vector<std::pair<int, int>> sixIcons(sevenIcons.begin(), sevenIcons.end() - 1);
    EXPECT_EQ(LifeIcons(), sixIcons);

    Game().LifeCounter->AddLife();
    EXPECT_EQ(LifeIcons(), sevenIcons);
}

TEST_F(GameState, LevelLaysOutDotsAndSchedulesTheSpawn) {
    WriteLevel(1, "PlayerPointX=3\nPlayerPointY=1", {"AACA", "BAAC", "CAAB"});
    Probe().MainTickCount() = 40;
    EnterGame();
    EXPECT_EQ(Game().DotTotal, 7);
    EXPECT_EQ(DotsLayer->MapWidth(), 25);
    EXPECT_EQ(DotsLayer->MapHeight(), 20);
    EXPECT_EQ(DotsLayer->Cells(0, 0), 0);
    EXPECT_EQ(DotsLayer->Cells(2, 0), -1);
    EXPECT_EQ(DotsLayer->Cells(0, 1), -1);
    EXPECT_EQ(DotsLayer->Cells(4, 0), -1);  // the ring
    EXPECT_EQ(DotsLayer->Z(), 1);
    EXPECT_TRUE(DotsLayer->Wrap);
    EXPECT_EQ(game::State.WrapMaxX, 3 * 32);
    EXPECT_EQ(game::State.WrapMaxY, 2 * 32);
    EXPECT_EQ(game::State.PlayersAlive, 1);
    EXPECT_EQ(Player().X, 20 + 3 * 32);
    EXPECT_EQ(Player().Y, 20 + 1 * 32);

    ASSERT_EQ(Probe().Tasks().Tasks.size(), 1u);
    const TTimerTask& spawn = *Probe().Tasks().Tasks[0];
    EXPECT_EQ(spawn.StartTick, 40);
    EXPECT_EQ(spawn.Period, 30);
    EXPECT_FALSE(spawn.OneShot);
    for (const actors::TBonusThreshold& threshold : Game().BonusThresholds) EXPECT_FALSE(threshold.Fired);
    EXPECT_EQ(Game().BonusThresholds[0].Percent, 15);
    EXPECT_EQ(Game().BonusThresholds[3].Percent, 80);
}

TEST_F(GameState, MissingLevelFileLeavesAClosedMazeAndPlayGoesOn) {
    WriteFile("Levels/Level01.bmp", testing_support::Bitmap(8, 8));
    EnterGame();
    EXPECT_NE(
        Events().find("message Munchora|Can't open file " + game::Setup.ProgramDir + "Levels/Level01.map"),
        std::string::npos);
    EXPECT_FALSE(form_->Closing());
    EXPECT_EQ(Game().DotTotal, 0);
    for (int y = -1; y <= game::State.GameLevel.MapHeight; ++y) {
        for (int x = -1; x <= game::State.GameLevel.MapWidth; ++x)
            EXPECT_EQ(GetCell(game::State.GameLevel, x, y), CellWall);
    }
    // No share of dots can be eaten: no bonus ever fires.
    form_->OnFrame();
    for (const actors::TBonusThreshold& threshold : Game().BonusThresholds) EXPECT_FALSE(threshold.Fired);
}

TEST_F(GameState, BadLevelFileClosesTheWindowWithoutHarm) {
    WriteFile("Levels/Level01.map", "[General]\nMapWidth=30\n[Map]\nAAA\n");
    WriteFile("Levels/Level01.bmp", testing_support::Bitmap(8, 8));
    EnterGame();
    EXPECT_NE(Events().find("message Munchora|Error file " + game::Setup.ProgramDir + "Levels/Level01.map"),
              std::string::npos);
    EXPECT_TRUE(form_->Closing());
    ASSERT_TRUE(Probe().Game());
    EXPECT_EQ(Game().DotTotal, 0);
    form_->OnFrame();
}

// Everything but one cell of this maze is near the player's start, a monster
// start or a standing actor.
TEST_F(GameState, FreeCellKeepsAwayFromStartsAndActors) {
    WriteLevel(1,
               "PlayerPointX=1\nPlayerPointY=1\nEnemyPointX=4\nEnemyPointY=1\nBossPointX=6\nBossPointY=1\n"
               "GhostPointX=8\nGhostPointY=1",
               {
                   "CCCBBBBBBA",
                   "CCCBCBCBCB",
                   "CCCBBBBBBB",
                   "BBBCBCBCCB",
                   "BBBBBBBCCB",
               });
    EnterGame();
    // Standing on one cell, an actor also covers the cells right of and below it.
    Game().Enemies->AddMonster(0, 7, 3);
    Player().X = 20 + 5 * 32;
    Player().Y = 20 + 3 * 32;

    int32_t x = -5, y = -5;
    ASSERT_TRUE(FindFreeCell(game::State.GameLevel, x, y));
    EXPECT_EQ(x, 3);
    EXPECT_EQ(y, 3);

    actors::CreateKeyBonus(3, 3);
    x = y = -5;
    EXPECT_FALSE(FindFreeCell(game::State.GameLevel, x, y));
    EXPECT_EQ(x, -5);
    EXPECT_EQ(y, -5);
    EXPECT_EQ(GetCell(game::State.GameLevel, 3, 3), CellEmpty);  // the level itself is not marked
}

TEST_F(GameState, SpawnAddsOneOfEachMissingKindPerRun) {
    WriteLevel(
        1,
        "EnemyCount=2\nBossCount=0\nGhostCount=1\nEnemyPointX=2\nEnemyPointY=0\nGhostPointX=0\nGhostPointY=1",
        {"CAC", "CCC"});
    EnterGame();
    form_->MainTimerTimer();  // the spawn task fires on its first tick
    EXPECT_EQ(Game().Enemies->AliveCount[0], 1);
    EXPECT_EQ(Game().Enemies->AliveCount[1], 0);
    EXPECT_EQ(Game().Enemies->AliveCount[2], 1);
    SpawnMonsters();
    SpawnMonsters();
    EXPECT_EQ(Game().Enemies->AliveCount[0], 2);
    EXPECT_EQ(Game().Enemies->AliveCount[1], 0);
    EXPECT_EQ(Game().Enemies->AliveCount[2], 1);
}

}  // namespace

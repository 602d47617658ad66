#include "actors/bonus.h"
#include "actors/enemy_kinds.h"
#include "game/globals.h"
#include "game/level.h"
#include "game/tasks.h"
#include "support/level_fixture.h"
#include "widgets/message_line.h"

namespace {

using namespace game;
using testing_support::LevelFixture;

class GameScreen : public LevelFixture {
protected:
    // A level of `dots` dots in rows of 20, the player standing on a free cell.
    void WriteDotLevel(int number, int dots, const std::string& general = "") {
        std::vector<std::string> rows(size_t(dots + 19) / 20, std::string(20, 'A'));
        rows.back() = std::string(size_t(dots - 20 * (int(rows.size()) - 1)), 'A') +
                      std::string(size_t(20 * int(rows.size()) - dots), 'B');
        rows.push_back(std::string(20, 'C'));
        WriteLevel(number, "PlayerPointX=0\nPlayerPointY=" + std::to_string(rows.size() - 1) + "\n" + general,
                   rows);
    }

    // The numbers of dots eaten at which a random bonus fires, eating one by one.
    std::vector<int> FiringPoints(int dots) {
        std::vector<int> points;
        for (int eaten = 0; eaten <= dots; ++eaten) {
            Game().DotsEaten = eaten;
            int firedBefore = 0;
            for (const actors::TBonusThreshold& threshold : Game().BonusThresholds)
                firedBefore += threshold.Fired;
            form_->RunScreenFrame();
            int firedAfter = 0;
            for (const actors::TBonusThreshold& threshold : Game().BonusThresholds)
                firedAfter += threshold.Fired;
            for (int i = firedBefore; i < firedAfter; ++i) points.push_back(eaten);
        }
        return points;
    }

    // Presses fire anew: a state the screen change removed counts again only
    // after it was released.
    void PressFire() {
        form_->Media().Input().Update(0);
        form_->Media().Input().Update(platform::isButton1);
    }
};

TEST_F(GameScreen, TwoHundredDotsFireAtRoundedShares) {
    game::State.GameType = gtClassic;
    WriteDotLevel(1, 200, "BonusLevel=10");
    EnterGame();
    EXPECT_EQ(FiringPoints(200), (std::vector<int>{30, 59, 119, 159}));
    // The classic game draws only the first two kinds.
    EXPECT_EQ(game::State.GameLevel.BonusLevel, 2);
}

TEST_F(GameScreen, SevenDotsFireNoBonusAndNoKey) {
    WriteDotLevel(1, 7, "KeyExist=1\nBonusLevel=10");
    EnterGame();
    EXPECT_TRUE(FiringPoints(7).empty());
    EXPECT_FALSE(Game().KeyPlaced);
    EXPECT_EQ(game::State.GameLevel.BonusLevel, 10);  // untouched in the features game
}

TEST_F(GameScreen, KeyAppearsOnceFromHalfTheDots) {
    WriteDotLevel(1, 100, "KeyExist=1\nKeyPointX=3\nKeyPointY=5\nBonusLevel=0");
    EnterGame();
    Game().DotsEaten = 48;
    form_->RunScreenFrame();
    EXPECT_FALSE(Game().KeyPlaced);
    EXPECT_TRUE(SpritesWithImage("BonusKey").empty());
    for (int eaten : {49, 50, 51}) {
        Game().DotsEaten = eaten;
        form_->RunScreenFrame();
    }
    EXPECT_TRUE(Game().KeyPlaced);
    const auto keys = SpritesWithImage("BonusKey");
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0]->X, 20 + 3 * 32);
    EXPECT_EQ(keys[0]->Y, 20 + 5 * 32);
    EXPECT_TRUE(static_cast<actors::TBonusSprite*>(keys[0])->Permanent);
}

TEST_F(GameScreen, DoneLevelWaitsForInputThenGoesOnUntilTheLast) {
    WriteDotLevel(1, 5);
    WriteDotLevel(2, 5);
    game::State.LevelCount = 2;
    EnterGame();
    Game().LevelDone = true;
    form_->RunScreenFrame();
    EXPECT_EQ(game::State.CurrentLevel, 1);

    PressFire();
    form_->RunScreenFrame();
    EXPECT_EQ(form_->Screen(), shell::scGame);
    EXPECT_EQ(game::State.CurrentLevel, 2);
    EXPECT_FALSE(Game().LevelDone);

    Game().LevelDone = true;
    form_->RunScreenFrame();
    PressFire();
    form_->RunScreenFrame();
    EXPECT_EQ(form_->Screen(), shell::scGameComplete);
    EXPECT_EQ(game::State.CurrentLevel, 2);
}

TEST_F(GameScreen, KeyHeldWhileTheLastDotIsEatenLeavesThePictureAndPasswordUp) {
    WriteDotLevel(6, 1);
    WriteDotLevel(7, 5);
    game::State.LevelCount = 7;
    game::State.CurrentLevel = 5;
    EnterGame();
    AddImage("LevelComplete");
    // The player runs right over the level's only dot, the key held down.
    form_->Media().Input().Update(platform::isRight);
    Player().OnLevelComplete();
    form_->RunScreenFrame();
    ASSERT_EQ(SpritesWithImage("LevelComplete").size(), 1u);
    EXPECT_EQ(game::State.CurrentLevel, 6);
    for (int frame = 0; frame < 3; ++frame) {
        form_->Media().Input().Update(platform::isRight);
        form_->RunScreenFrame();
    }
    EXPECT_EQ(game::State.CurrentLevel, 6);
    EXPECT_EQ(Probe().MessageLine().Text, "Password for the next level: TOQ");

    // Fire pressed while the key is still held is a new input: the next level.
    form_->Media().Input().Update(platform::isRight | platform::isButton1);
    form_->RunScreenFrame();
    EXPECT_EQ(game::State.CurrentLevel, 7);
    EXPECT_FALSE(Game().LevelDone);
}

TEST_F(GameScreen, LostPlayerComesBackWhileLivesRemainThenTheGameEnds) {
    WriteDotLevel(1, 5);
    EnterGame();
    Probe().MessageLine().Text.clear();
    Player().RemovePlayer();
    Step();
    EXPECT_EQ(game::State.PlayersAlive, 0);
    form_->RunScreenFrame();
    EXPECT_EQ(game::State.PlayersAlive, 1);
    EXPECT_EQ(Player().X, 20);
    EXPECT_EQ(Probe().MessageLine().Text, "Ready!");

    Player().RemovePlayer();
    Step();
    game::State.Lives = 0;
    Probe().MenuMemory() = 4;
    form_->RunScreenFrame();
    EXPECT_EQ(form_->Screen(), shell::scGameOver);
    // Leaving the game screen ends the level.
    EXPECT_FALSE(Probe().Game());
    EXPECT_TRUE(Probe().Tasks().Tasks.empty());
    EXPECT_EQ(Probe().MenuMemory(), 1);
}

TEST_F(GameScreen, CaughtWithTheLastLifeTheGameEndsOnceThePlayerHasLeft) {
    WriteLevel(1, "PlayerPointX=1\nPlayerPointY=1", {"BBBBB", "BCCCB", "ABBBB"});
    EnterGame();
    game::State.Lives = 1;
    auto* hunter = new actors::TBasicEnemy(form_->Sprites().Root(), 1, 1);
    hunter->Activate();
    Step(22);
    EXPECT_EQ(game::State.PlayersAlive, 0);
    form_->RunScreenFrame();
    EXPECT_EQ(form_->Screen(), shell::scGameOver);
}

// The main timer counts victim time only while the game runs.
TEST_F(GameScreen, VictimTimeStandsStillInThePause) {
    WriteDotLevel(1, 5);
    EnterGame();
    auto* victim = new actors::TBasicEnemy(form_->Sprites().Root(), 5, 1);
    victim->Activate();
    Game().Enemies->MakeVictims();
    form_->MainTimerTimer();
    form_->MainTimerTimer();
    EXPECT_EQ(victim->VictimTicks, 98);
    Probe().Paused() = true;
    form_->MainTimerTimer();
    EXPECT_EQ(victim->VictimTicks, 98);
}

TEST_F(GameScreen, DebugKeysSetDotsAndLivesAndStartLevels) {
    game::State.StartOptions.Debug = true;
    WriteDotLevel(1, 5);
    WriteDotLevel(2, 5);
    game::State.LevelCount = 2;
    EnterGame();

    form_->OnKeyDown(platform::vk::Enter, platform::kShift);
    EXPECT_EQ(Game().DotsEaten, 4);  // 4.5 rounds to the even 4
    form_->OnKeyDown(platform::vk::Enter, platform::kCtrl);
    EXPECT_EQ(game::State.Lives, 1);

    form_->OnKeyDown('3', platform::kCtrl);  // only two levels
    EXPECT_EQ(game::State.CurrentLevel, 1);
    game::State.Player.Score = 70;
    form_->OnKeyDown('2', platform::kCtrl);
    EXPECT_EQ(game::State.CurrentLevel, 2);
    EXPECT_EQ(game::State.Lives, 1);
    EXPECT_EQ(game::State.Player.Score, 70);
    form_->OnKeyDown('1', platform::kCtrl);
    EXPECT_EQ(game::State.CurrentLevel, 1);
    EXPECT_EQ(game::State.Lives, 3);
    EXPECT_EQ(game::State.Player.Score, 0);
}

TEST_F(GameScreen, DebugKeysNeedTheDebugWord) {
    WriteDotLevel(1, 5);
    WriteDotLevel(2, 5);
    game::State.LevelCount = 2;
    EnterGame();
    form_->OnKeyDown(platform::vk::Enter, platform::kCtrl);
    form_->OnKeyDown('2', platform::kCtrl);
    EXPECT_EQ(game::State.Lives, 3);
    EXPECT_EQ(game::State.CurrentLevel, 1);
}

}  // namespace

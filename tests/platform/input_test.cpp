#include "platform/input.h"

#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/headless/script.h"

using namespace platform;

TEST(InputStates, KeysOfEachState) {
    EXPECT_EQ(InputMaskForKeys({'K'}), isUp);
    EXPECT_EQ(InputMaskForKeys({vk::Numpad0 + 2}), isDown);
    EXPECT_EQ(InputMaskForKeys({'Z', vk::Enter}), isButton1 | isButton2);
    EXPECT_EQ(InputMaskForKeys({vk::F1 + 1}), isButton9);
    EXPECT_EQ(InputMaskForKeys({'A'}), 0u);
}

TEST(InputStates, RemovedButtonsStayOutUntilPressedAgain) {
    InputStates states;
    states.Update(isButton1 | isLeft);
    states.RemoveButtons();
    EXPECT_EQ(states.States(), isLeft);  // directions stay
    states.Update(isButton1 | isLeft);   // still held: stays out
    EXPECT_EQ(states.States(), isLeft);
    states.Update(isLeft);              // released
    states.Update(isButton1 | isLeft);  // pressed again
    EXPECT_EQ(states.States(), isButton1 | isLeft);
}

TEST(IntervalTimer, CountdownRestartsOnlyOnANewIntervalOrAfterAStop) {
    int ticks = 0;
    IntervalTimer timer([&] { ++ticks; });
    timer.SetInterval(2000, 0);
    timer.SetEnabled(true, 0);
    EXPECT_EQ(timer.NextDue(), 2000u);
    timer.SetInterval(2000, 1000);
    timer.SetEnabled(true, 1000);
    EXPECT_EQ(timer.NextDue(), 2000u);
    timer.SetInterval(3000, 1000);
    EXPECT_EQ(timer.NextDue(), 4000u);
    timer.SetEnabled(false, 1500);
    timer.SetEnabled(true, 1500);
    EXPECT_EQ(timer.NextDue(), 4500u);
    EXPECT_FALSE(timer.Due(4499));
    EXPECT_TRUE(timer.Due(4500));
}

TEST(Script, KeyIsReleasedFirstInTheNextFrame) {
    const Script script = ParseScript("# comment\n3 key Ctrl+3\n4 down A\n4 dump\n5 shot menu\n");
    ASSERT_EQ(script.byFrame.at(3).size(), 1u);
    EXPECT_EQ(script.byFrame.at(3)[0].key, '3');
    EXPECT_EQ(script.byFrame.at(3)[0].shift, kCtrl);
    const auto& four = script.byFrame.at(4);
    ASSERT_EQ(four.size(), 3u);
    EXPECT_EQ(four[0].kind, ScriptCommand::Kind::Up);
    EXPECT_EQ(four[1].kind, ScriptCommand::Kind::Down);
    EXPECT_EQ(four[2].kind, ScriptCommand::Kind::Dump);
    EXPECT_EQ(script.byFrame.at(5)[0].name, "menu");
    EXPECT_THROW(ParseScript("0 dump\n"), std::invalid_argument);
    EXPECT_THROW(ParseScript("2 key Hyper+A\n"), std::invalid_argument);
    EXPECT_THROW(ParseScript("2 dump extra\n"), std::invalid_argument);
}

#include "platform/placement.h"

TEST(Placement, WholeFactorsFromTwiceTheSizeAndFittedBelow) {
    const Placement same = PlacePicture(800, 600);
    EXPECT_EQ(same.x, 0);
    EXPECT_EQ(same.width, 800);
    const Placement twice = PlacePicture(1600, 1200);
    EXPECT_EQ(twice.width, 1600);
    EXPECT_EQ(twice.height, 1200);
    const Placement large = PlacePicture(2000, 1900);
    EXPECT_EQ(large.width, 1600);
    EXPECT_EQ(large.y, 350);
    // 1920 x 1080 holds the picture less than twice: it fills the height.
    const Placement hd = PlacePicture(1920, 1080);
    EXPECT_EQ(hd.width, 1440);
    EXPECT_EQ(hd.height, 1080);
    EXPECT_EQ(hd.x, 240);
    const Placement small = PlacePicture(400, 600);
    EXPECT_EQ(small.width, 400);
    EXPECT_EQ(small.height, 300);
    EXPECT_EQ(small.y, 150);
    // Whole factors stay sharp; the fitted sizes between them are smoothed.
    EXPECT_TRUE(same.WholeFactor() && twice.WholeFactor() && large.WholeFactor());
    EXPECT_FALSE(hd.WholeFactor() || small.WholeFactor() || PlacePicture(1000, 800).WholeFactor());
}

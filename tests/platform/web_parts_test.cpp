// The plain parts of the browser's backend: its keys and its frame pace.
#include <gtest/gtest.h>

#include "platform/input.h"
#include "platform/web/dom_keys.h"
#include "platform/web/frame_pace.h"

using namespace platform;

TEST(DomKeys, LayoutLettersPhysicalKeypadAndNamedKeys) {
    EXPECT_EQ(VirtualKeyOfDom("a", "KeyA"), 'A');
    EXPECT_EQ(VirtualKeyOfDom("A", "KeyA"), 'A');
    EXPECT_EQ(VirtualKeyOfDom("q", "KeyA"), 'Q');  // a French keyboard: the letter printed on the key
    EXPECT_EQ(VirtualKeyOfDom("Dead", "KeyE"), 'E');
    EXPECT_EQ(VirtualKeyOfDom("!", "Digit1"), '1');  // Shift+1 is still the key 1
    EXPECT_EQ(VirtualKeyOfDom("1", "Numpad1"), vk::Numpad0 + 1);
    EXPECT_EQ(VirtualKeyOfDom("+", "NumpadAdd"), vk::Add);
    EXPECT_EQ(VirtualKeyOfDom("Enter", "NumpadEnter"), vk::Enter);
    EXPECT_EQ(VirtualKeyOfDom(" ", "Space"), vk::Space);
    EXPECT_EQ(VirtualKeyOfDom("ArrowLeft", "ArrowLeft"), vk::Left);
    EXPECT_EQ(VirtualKeyOfDom("F2", "F2"), vk::F1 + 1);
    EXPECT_EQ(VirtualKeyOfDom("F12", "F12"), vk::F12);
    EXPECT_EQ(VirtualKeyOfDom("-", "Minus"), 189);
    EXPECT_EQ(VirtualKeyOfDom("Meta", "MetaLeft"), 0);
    EXPECT_EQ(VirtualKeyOfDom("F13", "F13"), 0);
}

namespace {

// Game frames run over `seconds` of refreshes at `hertz`.
int FramesOver(double seconds, double hertz, uint32_t interval) {
    FramePace pace;
    int frames = 0;
    for (double t = 1000; t < 1000 + seconds * 1000; t += 1000 / hertz) frames += pace.Due(t, interval, true);
    return frames;
}

}  // namespace

TEST(FramePace, GameFramesKeepTheClockWhateverTheDisplayRate) {
    for (double hertz : {60.0, 120.0, 144.0, 75.0}) {
        EXPECT_NEAR(FramesOver(10, hertz, 10), 1000, 1) << hertz;
        EXPECT_NEAR(FramesOver(10, hertz, 25), 400, 1) << hertz;
    }
    // Interval 0: as fast as the display goes.
    EXPECT_NEAR(FramesOver(1, 144, 0), 144, 1);
}

TEST(FramePace, ALongStallCatchesUpAFewFramesThenGoesOnFromNow) {
    FramePace pace;
    EXPECT_EQ(pace.Due(0, 10, true), 1);
    EXPECT_EQ(pace.Due(2000, 10, true), FramePace::kMaxCatchUp);
    EXPECT_EQ(pace.Due(2005, 10, true), 0);
    EXPECT_EQ(pace.Due(2010, 10, true), 1);
    // Nothing piles up while the clock stands (an inactive page).
    EXPECT_EQ(pace.Due(2020, 10, false), 0);
    EXPECT_EQ(pace.Due(9000, 10, false), 0);
    EXPECT_EQ(pace.Due(9001, 10, true), 1);
    EXPECT_EQ(pace.Due(9005, 10, true), 0);
}

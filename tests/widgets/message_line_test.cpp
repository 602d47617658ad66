#include "widgets/message_line.h"

#include "support/game_fixture.h"
#include "widgets/input_line.h"

namespace {

using testing_support::GameFixture;

class MessageLineTest : public GameFixture {};

// The text shows when the call count mod 20 lies in 1..13: the blink phase
// runs on whatever is shown.
TEST_F(MessageLineTest, BlinkPhaseRunsOnRegardlessOfShow) {
    widgets::TMessageLine& line = Probe().MessageLine();
    for (int i = 0; i < 13; ++i) line.Draw();
    line.Show("Hello", 5000);
    EXPECT_EQ(line.FrameCounter, 13);
    int shown = 0;
    for (int i = 0; i < 20; ++i) {
        form_->Media().Display().Fill(0);
        line.Draw();
        bool any = false;
        const media::Surface& s = form_->Media().Display();
        for (int y = 560; y < 600 && !any; ++y) {
            for (int x = 200; x < 400 && !any; ++x) any = s.Row(y)[x] != 0;
        }
        // Calls 14..20 hide it, 21..33 show it.
        EXPECT_EQ(any, i >= 7) << "call " << line.FrameCounter;
        shown += any;
    }
    EXPECT_EQ(shown, 13);
}

TEST_F(MessageLineTest, SameDurationDoesNotRestartTheCountdown) {
    widgets::TMessageLine& line = Probe().MessageLine();
    platform::IntervalTimer& timer = Probe().MessageLineTimer();
    line.Show("Ready!", 2000);
    const uint32_t firstDue = timer.NextDue();
    line.Show("Extra score", 2000);
    EXPECT_EQ(timer.NextDue(), firstDue);
    line.Show("Other", 5000);  // another duration starts anew
    EXPECT_EQ(timer.Interval(), 5000u);
    Probe().MessageLineTimerTick();
    EXPECT_EQ(line.Text, "");
    EXPECT_FALSE(timer.Enabled());
}

TEST(InputLine, AcceptedCodesAndLimits) {
    platform::HeadlessBackend machine(platform::HeadlessBackend::Options{});
    platform::Platform media(machine);
    widgets::TInputLine line(media, 300, 400);
    line.HandleKey('A');
    line.HandleKey(8);
    line.HandleKey(8);  // backspace on an empty line does nothing
    EXPECT_EQ(line.Text, "");
    for (uint16_t key : {uint16_t('A'), uint16_t('7'), uint16_t(32), uint16_t(95), uint16_t(97), uint16_t(96),
                         uint16_t(13), uint16_t(189)}) {
        line.HandleKey(key);
    }
    // Keypad 1 (97) types "a"; keypad 0 (96), Enter and "-" type nothing.
    EXPECT_EQ(line.Text, "A7 _a");
    while (line.Text.size() < 12) line.HandleKey('B');
    line.HandleKey('C');
    EXPECT_EQ(line.Text.size(), 12u);
    EXPECT_EQ(line.Text.back(), 'B');
}

}  // namespace

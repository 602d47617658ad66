// The game's pace against presenters that wait for a 60 Hz or 144 Hz display
// or not at all, on a simulated clock: the loop is the SDL backend's, which
// sleeps until the next frame is due (while not running, until an event).
#include "platform/frame_pacer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using platform::FramePacer;

constexpr uint64_t kUs = 1000;

class SimulatedLoop {
public:
    SimulatedLoop(uint32_t intervalMs, uint64_t presentUs) : intervalMs_(intervalMs), presentUs_(presentUs) {}

    // Loop passes, each followed by the loop's sleep, until the simulated
    // clock reaches `us`.
    void RunUntil(uint64_t us, bool running = true) {
        while (now_ < us) {
            if (Pass(running) == 0) ++idlePasses_;
            const uint32_t wait = pacer_.TimeUntilDue(uint32_t(now_ / kUs), intervalMs_, running);
            now_ += (wait == FramePacer::kNever ? 1 : wait) * kUs;
        }
    }
    int Pass(bool running = true) {
        const int frames = pacer_.RunPass(
            uint32_t(now_ / kUs), intervalMs_, running,
            [this](uint32_t due) {
                dueTimes_.push_back(due);
                ++frames_;
                now_ += kFrameUs;
            },
            [this] {
                ++presents_;
                now_ += presentUs_;
            });
        return frames;
    }
    void HoldPresenter(uint64_t us) { now_ += us; }
    void SetInterval(uint32_t ms) { intervalMs_ = ms; }

    uint64_t now_ = 0;
    int frames_ = 0;
    std::vector<uint32_t> dueTimes_;
    int presents_ = 0;
    int idlePasses_ = 0;  // woken with no frame due

private:
    static constexpr uint64_t kFrameUs = 400;  // what clearing, moving and drawing cost
    FramePacer pacer_;
    uint32_t intervalMs_;
    uint64_t presentUs_;
};

TEST(FramePacer, GameFramesKeepTheIntervalWhateverThePresenterWaits) {
    const uint64_t presenters[] = {1000 * kUs / 60, 1000 * kUs / 144, 0};
    for (const uint32_t interval : {10u, 20u}) {
        for (const uint64_t presentUs : presenters) {
            SimulatedLoop loop(interval, presentUs);
            loop.RunUntil(10'000 * kUs);
            const double perSecond = loop.frames_ / 10.0;
            const double wanted = 1000.0 / interval;
            EXPECT_LT(std::abs(perSecond - wanted), wanted * 0.01)
                << interval << " ms, presenter " << presentUs << " us: " << perSecond << " frames/s";
            // Never more presents than the display takes, nor than frames.
            if (presentUs > 0) {
                EXPECT_LE(loop.presents_, int(10'000 * kUs / presentUs) + 1);
            }
            EXPECT_LE(loop.presents_, loop.frames_);
            EXPECT_EQ(loop.idlePasses_, 0) << interval << " ms, presenter " << presentUs << " us";
        }
    }
}

// Each frame sees the time its schedule gave it, however late the loop ran
// it: the times of a recording then follow the interval exactly.
TEST(FramePacer, FramesSeeTheTimesOfTheirSchedule) {
    SimulatedLoop loop(10, 1000 * kUs / 60);
    loop.RunUntil(1000 * kUs);
    ASSERT_GT(loop.dueTimes_.size(), 90u);
    for (size_t i = 1; i < loop.dueTimes_.size(); ++i)
        EXPECT_EQ(loop.dueTimes_[i] - loop.dueTimes_[i - 1], 10u);
    EXPECT_LE(loop.dueTimes_.back(), uint32_t(loop.now_ / kUs));
}

TEST(FramePacer, StalledPresentCatchesUpFiveFramesAtMostThenKeepsThePace) {
    SimulatedLoop loop(10, 1000 * kUs / 60);
    loop.RunUntil(1000 * kUs);
    loop.HoldPresenter(500 * kUs);  // fifty frames missed
    const uint32_t stalledUntil = uint32_t(loop.now_ / kUs);
    EXPECT_EQ(loop.Pass(), FramePacer::kMaxCatchUp);
    // The latest five of the missed frames, the last of them due now.
    const std::vector<uint32_t> caughtUp(loop.dueTimes_.end() - FramePacer::kMaxCatchUp,
                                         loop.dueTimes_.end());
    EXPECT_EQ(caughtUp, (std::vector<uint32_t>{stalledUntil - 40, stalledUntil - 30, stalledUntil - 20,
                                               stalledUntil - 10, stalledUntil}));
    const int before = loop.frames_;
    const uint64_t from = loop.now_;
    loop.RunUntil(from + 2000 * kUs);
    EXPECT_NEAR(loop.frames_ - before, 200, 2);
}

TEST(FramePacer, NoFramesWhileInactiveAndNoBurstAfterwards) {
    SimulatedLoop loop(10, 0);
    loop.RunUntil(1000 * kUs);
    const int before = loop.frames_;
    loop.RunUntil(3000 * kUs, false);
    EXPECT_EQ(loop.frames_, before);
    EXPECT_EQ(loop.Pass(), 1);
    EXPECT_EQ(loop.Pass(), 0);

    // A new interval starts its own schedule: no burst for the old one.
    loop.SetInterval(100);
    EXPECT_EQ(loop.Pass(), 1);
    loop.SetInterval(10);
    loop.HoldPresenter(30 * kUs);
    EXPECT_EQ(loop.Pass(), 1);
}

TEST(FramePacer, IntervalZeroRunsOneFrameEachPass) {
    SimulatedLoop loop(0, 1000 * kUs / 60);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(loop.Pass(), 1);
    EXPECT_EQ(loop.presents_, 10);
    EXPECT_EQ(loop.Pass(false), 0);
}

}  // namespace

// Game frames at the frame clock's pace whatever the display's rate (60, 120,
// 144 Hz): each display refresh runs the frames that fell due since the one
// before. A display that fell far behind (a busy machine, a tab brought back)
// catches up a few frames at most and then goes on from now, instead of
// racing through the backlog.
#pragma once

#include <cstdint>

namespace platform {

class FramePace {
public:
    static constexpr int kMaxCatchUp = 5;

    // The game frames to run at `now` (milliseconds). Interval 0 runs one a
    // refresh; while the clock does not run (an inactive page) none are due,
    // and none pile up.
    int Due(double now, uint32_t interval, bool running) {
        if (!running) {
            started_ = false;
            return 0;
        }
        if (interval == 0) return 1;
        if (!started_) {
            next_ = now;
            started_ = true;
        }
        int frames = 0;
        while (now >= next_ && frames < kMaxCatchUp) {
            ++frames;
            next_ += interval;
        }
        if (now >= next_) next_ = now + interval;
        return frames;
    }

private:
    bool started_ = false;
    double next_ = 0;
};

}  // namespace platform

// The pace of a recording played in a window: the recorded time moves with
// the real time times the speed (1, 2, 4 or 8), and not at all while paused
// or while the window has no focus.
#pragma once

#include <cstdint>

namespace replay {

class PlaybackClock {
public:
    static constexpr int kMaxSpeed = 8;

    void Start(uint32_t realNow, uint32_t recordedTime);
    // Moves on to `realNow` and returns the recorded time reached; while not
    // `running` the recorded time stands.
    uint32_t Advance(uint32_t realNow, bool running);
    // The events fell behind: the recorded time goes back to where they are,
    // so a slow machine plays slower rather than in bursts.
    void HoldAt(uint32_t recordedTime) { position_ = recordedTime; }
    // Real milliseconds from `realNow` until the recorded time reaches
    // `recordedTime` (0 when it has), UINT32_MAX while it stands.
    uint32_t RealTimeUntil(uint32_t recordedTime, uint32_t realNow, bool running) const;

    int Speed() const { return speed_; }
    void Faster() {
        if (speed_ < kMaxSpeed) speed_ *= 2;
    }
    void Slower() {
        if (speed_ > 1) speed_ /= 2;
    }
    bool Paused() const { return paused_; }
    void TogglePause() { paused_ = !paused_; }

private:
    uint32_t lastReal_ = 0;
    uint32_t position_ = 0;
    int speed_ = 1;
    bool paused_ = false;
};

}  // namespace replay

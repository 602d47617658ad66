// The frame clock and plain interval timers, both driven by the platform's
// loop with a millisecond time that is real or virtual.
#pragma once

#include <cstdint>
#include <functional>

namespace platform {

// Interval timer with the habits of a desktop timer: the countdown starts
// anew only when the interval changes or the timer was stopped.
class IntervalTimer {
public:
    explicit IntervalTimer(std::function<void()> onTick) : onTick_(std::move(onTick)) {}

    void SetInterval(uint32_t ms, uint32_t now);
    void SetEnabled(bool enabled, uint32_t now);
    uint32_t Interval() const { return interval_; }
    bool Enabled() const { return enabled_; }
    uint32_t NextDue() const { return nextDue_; }
    bool Due(uint32_t now) const { return enabled_ && interval_ > 0 && int32_t(now - nextDue_) >= 0; }
    // Marks one tick as delivered; catchUp keeps the phase (virtual time),
    // otherwise missed ticks are merged into this one.
    void Advance(uint32_t now, bool catchUp);
    void Fire() { onTick_(); }

    // What a playback changes and gives back afterwards.
    struct State {
        uint32_t interval;
        bool enabled;
        uint32_t nextDue;
    };
    State Save() const { return {interval_, enabled_, nextDue_}; }
    // Back as it was, keeping its beat: the ticks missed meanwhile are
    // let go, the next falls due on the old schedule at `now` or later.
    void Restore(const State& state, uint32_t now) {
        interval_ = state.interval;
        enabled_ = state.enabled;
        nextDue_ = state.nextDue;
        if (interval_ > 0 && int32_t(now - nextDue_) > 0) {
            nextDue_ += (now - nextDue_ + interval_ - 1) / interval_ * interval_;
        }
    }

private:
    std::function<void()> onTick_;
    uint32_t interval_ = 1000;
    bool enabled_ = false;
    uint32_t nextDue_ = 0;
};

// The frame interval (0: as fast as the machine can) and whether frames run
// at all; the loop's pacer keeps the schedule. Counts the game frames per
// second.
class FrameClock {
public:
    void SetInterval(uint32_t ms) { interval_ = ms; }
    uint32_t Interval() const { return interval_; }
    void SetEnabled(bool enabled) { enabled_ = enabled; }
    bool Enabled() const { return enabled_; }

    void FrameStarted(uint32_t now);
    uint32_t FramesPerSecond() const { return fps_; }

private:
    uint32_t interval_ = 15;
    bool enabled_ = false;
    uint32_t secondStart_ = 0;
    uint32_t framesThisSecond_ = 0;
    uint32_t fps_ = 0;
};

}  // namespace platform

#include "platform/clock.h"

namespace platform {

void IntervalTimer::SetInterval(uint32_t ms, uint32_t now) {
    if (ms == interval_) return;
    interval_ = ms;
    if (enabled_) nextDue_ = now + interval_;
}

void IntervalTimer::SetEnabled(bool enabled, uint32_t now) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    if (enabled_) nextDue_ = now + interval_;
}

void IntervalTimer::Advance(uint32_t now, bool catchUp) {
    if (catchUp) {
        nextDue_ += interval_;
    } else {
        nextDue_ = now + interval_;
    }
}

void FrameClock::FrameStarted(uint32_t now) {
    ++framesThisSecond_;
    if (now - secondStart_ >= 1000) {
        fps_ = framesThisSecond_ * 1000 / (now - secondStart_);
        framesThisSecond_ = 0;
        secondStart_ = now;
    }
}

}  // namespace platform

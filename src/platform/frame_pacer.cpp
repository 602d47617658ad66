#include "platform/frame_pacer.h"

namespace platform {

int FramePacer::FramesDue(uint32_t now, uint32_t intervalMs, bool running) {
    if (!running) {
        scheduled_ = false;
        return 0;
    }
    if (intervalMs == 0) {
        interval_ = 0;
        scheduled_ = false;
        firstDue_ = now;
        return 1;
    }
    if (!scheduled_ || intervalMs != interval_) {
        scheduled_ = true;
        interval_ = intervalMs;
        next_ = now;
    }
    if (int32_t(now - next_) < 0) return 0;
    const uint32_t due = (now - next_) / intervalMs + 1;
    if (due > uint32_t(kMaxCatchUp)) {
        // Too far behind: run the latest few and let the rest go.
        firstDue_ = now - uint32_t(kMaxCatchUp - 1) * intervalMs;
        next_ = now + intervalMs;
        return kMaxCatchUp;
    }
    firstDue_ = next_;
    next_ += due * intervalMs;
    return int(due);
}

uint32_t FramePacer::TimeUntilDue(uint32_t now, uint32_t intervalMs, bool running) const {
    if (!running) return kNever;
    if (intervalMs == 0 || !scheduled_ || intervalMs != interval_ || int32_t(now - next_) >= 0) return 0;
    return next_ - now;
}

int FramePacer::RunPass(uint32_t now, uint32_t intervalMs, bool running,
                        const std::function<void(uint32_t due)>& runFrame,
                        const std::function<void()>& present) {
    const int due = FramesDue(now, intervalMs, running);
    for (int i = 0; i < due; ++i) runFrame(DueTime(i));
    if (due > 0) present();
    return due;
}

}  // namespace platform

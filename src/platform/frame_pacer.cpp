#include "platform/frame_pacer.h"

namespace platform {

int FramePacer::FramesDue(uint32_t now, uint32_t intervalMs, bool running) {
    if (!running) {
        scheduled_ = false;
        return 0;
    }
    if (intervalMs == 0) return 1;
    if (!scheduled_ || intervalMs != interval_) {
        scheduled_ = true;
        interval_ = intervalMs;
        next_ = now;
    }
    if (int32_t(now - next_) < 0) return 0;
    const uint32_t due = (now - next_) / intervalMs + 1;
    if (due > uint32_t(kMaxCatchUp)) {
        // Too far behind: run a few and let the rest go.
        next_ = now + intervalMs;
        return kMaxCatchUp;
    }
    next_ += due * intervalMs;
    return int(due);
}

int FramePacer::RunPass(uint32_t now, uint32_t intervalMs, bool running,
                        const std::function<void()>& runFrame, const std::function<void()>& present) {
    const int due = FramesDue(now, intervalMs, running);
    for (int i = 0; i < due; ++i) runFrame();
    if (due > 0) present();
    return due;
}

}  // namespace platform

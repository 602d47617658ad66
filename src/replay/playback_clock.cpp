#include "replay/playback_clock.h"

namespace replay {

void PlaybackClock::Start(uint32_t realNow, uint32_t recordedTime) {
    lastReal_ = realNow;
    position_ = recordedTime;
}

uint32_t PlaybackClock::Advance(uint32_t realNow, bool running) {
    if (running && !paused_) position_ += (realNow - lastReal_) * uint32_t(speed_);
    lastReal_ = realNow;
    return position_;
}

uint32_t PlaybackClock::RealTimeUntil(uint32_t recordedTime, uint32_t realNow, bool running) const {
    const int32_t ahead = int32_t(recordedTime - position_);
    if (ahead <= 0) return 0;
    if (!running || paused_) return UINT32_MAX;
    const int64_t left = int64_t(ahead) - int64_t(realNow - lastReal_) * speed_;
    return left <= 0 ? 0 : uint32_t((left + speed_ - 1) / speed_);
}

}  // namespace replay

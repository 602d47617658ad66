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

}  // namespace replay

// The pace of the game, apart from the display. Game frames fall due on a
// fixed schedule of the frame interval, so the game runs one frame per
// interval on average whatever the display does; a backend's loop runs the
// frames that are due and then shows the latest one. When showing a frame
// (waiting for the display) or the machine held the loop for longer than an
// interval, the missed frames run before the next present, a few at most, so
// a stalled machine does not spiral.
#pragma once

#include <cstdint>
#include <functional>

namespace platform {

class FramePacer {
public:
    static constexpr int kMaxCatchUp = 5;
    static constexpr uint32_t kNever = UINT32_MAX;

    // The game frames due at `now` (milliseconds), counted as run. Interval 0
    // means as fast as the machine can: one frame each time. While not
    // running (inactive application, no display) none is due, and the
    // schedule starts afresh when it runs again, as it does when the
    // interval changes.
    int FramesDue(uint32_t now, uint32_t intervalMs, bool running);
    // When the i-th of the frames FramesDue counted fell due: the game's
    // frames see the times of their schedule, not when the loop got to them.
    uint32_t DueTime(int i) const { return firstDue_ + uint32_t(i) * interval_; }
    // Milliseconds from `now` until FramesDue would count a frame (0: one is
    // due now), so that a loop can sleep until then; kNever while not running.
    uint32_t TimeUntilDue(uint32_t now, uint32_t intervalMs, bool running) const;
    // The schedule starts afresh at the next frame (after a playback).
    void Reset() { scheduled_ = false; }

    // One pass of a backend's loop: the due frames, each with its due time,
    // then one present when a frame ran. Returns the number of frames run.
    int RunPass(uint32_t now, uint32_t intervalMs, bool running,
                const std::function<void(uint32_t due)>& runFrame, const std::function<void()>& present);

private:
    bool scheduled_ = false;
    uint32_t interval_ = 0;
    uint32_t next_ = 0;      // when the next frame falls due
    uint32_t firstDue_ = 0;  // of the frames counted last
};

}  // namespace platform

// The two hooks a recording and a playback hang on the platform: a tap that
// sees every call the platform makes into the game as it is made, with the
// readings of input and time inside it, and a source that takes the
// machine's place. The platform knows nothing more of either.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/input.h"
#include "platform/network.h"

namespace platform {

class AppEvents;

// The calls into the game that carry nothing but their time.
enum class PlainCall : uint8_t { Activate, Deactivate, MusicEnd, Close };

class EventTap {
public:
    virtual ~EventTap() = default;
    // A handler call begins, at the time it sees throughout.
    virtual void Frame(uint32_t time) = 0;
    virtual void Timer(uint32_t time, size_t index) = 0;
    virtual void Key(uint32_t time, uint16_t key, ShiftState shift) = 0;
    virtual void Plain(PlainCall call, uint32_t time) = 0;
    virtual void Reply(uint32_t time, const NetworkReply& reply) = 0;
    // Inside a handler: a reading of the input states, of the time of day.
    virtual void InputRead(uint32_t mask) = 0;
    virtual void ClockRead(int64_t millisOfDay) = 0;
    virtual void HandlerEnded() = 0;
};

class EventSource {
public:
    virtual ~EventSource() = default;
    // Inside a handler: what the game reads instead of the machine's states
    // and time of day.
    virtual uint32_t ReadInput() = 0;
    virtual int64_t ReadClock() = 0;
    // A key of whoever watches: it does not reach the game.
    virtual void WatcherKey(uint16_t key, ShiftState shift) = 0;
    // Shown in real time: hands the game what is due by `now` on the
    // machine's clock; returns the frames given.
    virtual int RunPass(AppEvents& app, uint32_t now) = 0;
    // Real milliseconds from `now` until the next recorded handler falls due
    // in real time; UINT32_MAX while the recorded time stands or the playback
    // has ended.
    virtual uint32_t TimeUntilDue(uint32_t now) = 0;
    // One frame at a time: hands the game the events up to and including the
    // next frame; returns whether a frame was given.
    virtual bool RunFrame(AppEvents& app) = 0;
};

}  // namespace platform

// Writes down everything the platform hands the game while a game is
// recorded: it hangs on the platform as its tap.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/platform.h"
#include "replay/event_record.h"

namespace replay {

class TRecorder : public platform::EventTap {
public:
    explicit TRecorder(platform::Platform& media) : media_(media) {}
    ~TRecorder() override;
    TRecorder(const TRecorder&) = delete;
    TRecorder& operator=(const TRecorder&) = delete;

    // From the handler in progress on.
    void Start();
    bool Recording() const { return writer_ != nullptr; }
    // The records so far (docs/replay-format.md); the recording stops.
    std::vector<uint8_t> Stop();
    // The time the recording started at, which its records count from.
    uint32_t StartTime() const { return start_; }

    void Frame(uint32_t time) override;
    void Timer(uint32_t time, size_t index) override;
    void Key(uint32_t time, uint16_t key, platform::ShiftState shift) override;
    void Reply(uint32_t time, const platform::NetworkReply& reply) override;
    void Plain(platform::PlainCall call, uint32_t time) override;
    void InputRead(uint32_t mask) override;
    void ClockRead(int64_t millisOfDay) override;
    void HandlerEnded() override { FlushFrame(); }

private:
    // The records of a frame wait for its first input reading.
    void FlushFrame();

    platform::Platform& media_;
    std::unique_ptr<EventWriter> writer_;
    uint32_t start_ = 0;
    bool framePending_ = false;
    uint32_t pendingFrameTime_ = 0;
    uint32_t recordedMask_ = 0;
};

}  // namespace replay

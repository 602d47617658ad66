// Everything the platform hands the game during a game, written down as it
// happens so that the game can be played again exactly: the frames with the
// input states they read, the interval timers' ticks, key-downs, focus
// changes, the ends of tunes, the window's close button, and the time of day
// the random generator was seeded from. Each handler record carries the time
// its handler saw. The bytes are compact: a run of frames at the usual step
// with unchanged input is one byte (docs/replay-format.md).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/input.h"
#include "platform/network.h"

namespace replay {

enum class EventKind : uint8_t {
    // Handler records: each is one call of the game with a time.
    Frame,
    Timer,
    Key,
    Activate,
    Deactivate,
    MusicEnd,
    Close,
    Reply,
    // Made inside a handler: a reading of the input states (beyond the first
    // of a frame, which the frame carries) and a reading of the time of day.
    Input,
    Clock,
};

struct RecordedEvent {
    EventKind kind = EventKind::Frame;
    uint32_t time = 0;  // handler records only
    // Frame: its first reading of the input states is carried here. Frame
    // and Input: `mask` holds the states when they changed, otherwise the
    // reading gave the same states as the one before.
    bool inputFolded = false;
    bool maskChanged = false;
    uint32_t mask = 0;
    uint8_t timer = 0;
    uint16_t key = 0;
    platform::ShiftState shift = 0;
    uint32_t clock = 0;  // milliseconds of the day
    platform::NetworkReply reply;

    bool IsHandler() const { return kind < EventKind::Input; }
};

constexpr uint32_t kMillisPerDay = 86400000;
constexpr uint8_t kMaxRecordedTimers = 16;

class EventWriter {
public:
    // Times count from `startTime`; frames follow each other `frameStep` ms
    // apart unless a record says otherwise.
    EventWriter(uint32_t startTime, uint32_t frameStep);

    // A frame with its first input reading (nullopt: it read none first);
    // `changed` says whether that reading differs from the one before.
    void Frame(uint32_t time, std::optional<uint32_t> firstInput, bool changed);
    void Timer(uint32_t time, uint8_t index);
    void Key(uint32_t time, uint16_t key, platform::ShiftState shift);
    // Activate, Deactivate, MusicEnd or Close.
    void Plain(EventKind kind, uint32_t time);
    void Reply(uint32_t time, const platform::NetworkReply& reply);
    void Input(uint32_t mask, bool changed);
    void Clock(uint32_t millisOfDay);

    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    void HandlerTime(uint32_t time);

    std::vector<uint8_t> bytes_;
    uint32_t eventTime_;
    uint32_t frameTime_;
    int32_t step_;
    // Where the last record is a run of frames that may grow, or npos.
    size_t run_ = kNoRun;
    static constexpr size_t kNoRun = ~size_t(0);
};

// Reads the records back one by one; a stream that breaks off or holds
// something that no writer writes stops it, with Failed() true.
class EventReader {
public:
    EventReader() = default;
    EventReader(const uint8_t* data, size_t size, uint32_t startTime, uint32_t frameStep);

    // The next record, or null at the end or on a fault.
    const RecordedEvent* Peek();
    void Pop() { peeked_ = false; }
    bool Failed() const { return failed_; }
    // The whole stream was read without a fault.
    bool AtEnd();

private:
    bool Decode(RecordedEvent& event);
    bool Byte(uint8_t& value);
    bool Varint(uint32_t& value);
    bool Delta(int32_t& value);

    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    size_t pos_ = 0;
    uint32_t eventTime_ = 0;
    uint32_t frameTime_ = 0;
    int32_t step_ = 0;
    uint32_t runLeft_ = 0;
    bool failed_ = false;
    bool peeked_ = false;
    RecordedEvent current_;
};

// Reads a whole stream; false when it is damaged.
bool EventsAreWhole(const std::vector<uint8_t>& bytes, uint32_t startTime, uint32_t frameStep);

}  // namespace replay

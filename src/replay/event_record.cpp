#include "replay/event_record.h"

#include <algorithm>

namespace replay {

namespace {

// The record tags (docs/replay-format.md).
constexpr uint8_t kRunMask = 0x3F;       // 0x00-0x3F: 1 to 64 plain frames
constexpr uint8_t kFrame = 0x40;         // 0x40-0x47: a frame with its flags
constexpr uint8_t kFrameNewStep = 0x01;  //   a new step follows
constexpr uint8_t kFrameMask = 0x02;     //   its first reading changed the states: they follow
constexpr uint8_t kFrameNoInput = 0x04;  //   it read no input states first
constexpr uint8_t kTimer = 0x80;         // 0x80-0x8F: a tick of timer 0 to 15
constexpr uint8_t kKey = 0x90;
constexpr uint8_t kActivate = 0x91;
constexpr uint8_t kDeactivate = 0x92;
constexpr uint8_t kMusicEnd = 0x93;
constexpr uint8_t kClose = 0x94;
constexpr uint8_t kReply = 0x95;
constexpr uint8_t kInputSame = 0xA0;
constexpr uint8_t kInputMask = 0xA1;
constexpr uint8_t kClock = 0xA2;

uint32_t ZigZag(int32_t value) { return (uint32_t(value) << 1) ^ uint32_t(value >> 31); }
int32_t UnZigZag(uint32_t value) { return int32_t(value >> 1) ^ -int32_t(value & 1); }

void PutVarint(std::vector<uint8_t>& bytes, uint32_t value) {
    while (value >= 0x80) {
        bytes.push_back(uint8_t(value | 0x80));
        value >>= 7;
    }
    bytes.push_back(uint8_t(value));
}

}  // namespace

// ---------------------------------------------------------------- writing

EventWriter::EventWriter(uint32_t startTime, uint32_t frameStep)
    : eventTime_(startTime), frameTime_(startTime), step_(int32_t(frameStep)) {}

void EventWriter::HandlerTime(uint32_t time) {
    PutVarint(bytes_, ZigZag(int32_t(time - eventTime_)));
    eventTime_ = time;
    run_ = kNoRun;
}

void EventWriter::Frame(uint32_t time, std::optional<uint32_t> firstInput, bool changed) {
    const int32_t step = int32_t(time - frameTime_);
    frameTime_ = eventTime_ = time;
    if (firstInput && !changed && step == step_) {
        if (run_ != kNoRun && (bytes_[run_] & kRunMask) < kRunMask) {
            ++bytes_[run_];
        } else {
            run_ = bytes_.size();
            bytes_.push_back(0);
        }
        return;
    }
    uint8_t tag = kFrame;
    if (step != step_) tag |= kFrameNewStep;
    if (!firstInput) tag |= kFrameNoInput;
    if (firstInput && changed) tag |= kFrameMask;
    bytes_.push_back(tag);
    if (step != step_) PutVarint(bytes_, ZigZag(step));
    if (tag & kFrameMask) PutVarint(bytes_, *firstInput);
    step_ = step;
    run_ = kNoRun;
}

void EventWriter::Timer(uint32_t time, uint8_t index) {
    bytes_.push_back(uint8_t(kTimer | (index & 0x0F)));
    HandlerTime(time);
}

void EventWriter::Key(uint32_t time, uint16_t key, platform::ShiftState shift) {
    bytes_.push_back(kKey);
    HandlerTime(time);
    PutVarint(bytes_, key);
    bytes_.push_back(shift);
}

void EventWriter::Plain(EventKind kind, uint32_t time) {
    switch (kind) {
        case EventKind::Activate: bytes_.push_back(kActivate); break;
        case EventKind::Deactivate: bytes_.push_back(kDeactivate); break;
        case EventKind::MusicEnd: bytes_.push_back(kMusicEnd); break;
        default: bytes_.push_back(kClose); break;
    }
    HandlerTime(time);
}

void EventWriter::Reply(uint32_t time, const platform::NetworkReply& reply) {
    bytes_.push_back(kReply);
    HandlerTime(time);
    PutVarint(bytes_, reply.request);
    bytes_.push_back(reply.purpose);
    PutVarint(bytes_, reply.status);
    const size_t size = std::min(reply.body.size(), platform::kMaxReplyBytes);
    PutVarint(bytes_, uint32_t(size));
    bytes_.insert(bytes_.end(), reply.body.begin(), reply.body.begin() + ptrdiff_t(size));
}

void EventWriter::Input(uint32_t mask, bool changed) {
    run_ = kNoRun;
    if (!changed) {
        bytes_.push_back(kInputSame);
        return;
    }
    bytes_.push_back(kInputMask);
    PutVarint(bytes_, mask);
}

void EventWriter::Clock(uint32_t millisOfDay) {
    run_ = kNoRun;
    bytes_.push_back(kClock);
    PutVarint(bytes_, millisOfDay);
}

// ---------------------------------------------------------------- reading

EventReader::EventReader(const uint8_t* data, size_t size, uint32_t startTime, uint32_t frameStep)
    : data_(data), size_(size), eventTime_(startTime), frameTime_(startTime), step_(int32_t(frameStep)) {}

bool EventReader::Byte(uint8_t& value) {
    if (pos_ >= size_) return false;
    value = data_[pos_++];
    return true;
}

bool EventReader::Varint(uint32_t& value) {
    value = 0;
    for (int shift = 0; shift < 35; shift += 7) {
        uint8_t byte = 0;
        if (!Byte(byte)) return false;
        // The fifth byte holds the top four bits only.
        if (shift == 28 && byte > 0x0F) return false;
        value |= uint32_t(byte & 0x7F) << shift;
        if (!(byte & 0x80)) return true;
    }
    return false;
}

bool EventReader::Delta(int32_t& value) {
    uint32_t raw = 0;
    if (!Varint(raw)) return false;
    value = UnZigZag(raw);
    return true;
}

bool EventReader::Decode(RecordedEvent& event) {
    event = RecordedEvent{};
    if (runLeft_ > 0) {
        --runLeft_;
        frameTime_ += uint32_t(step_);
        eventTime_ = frameTime_;
        event.time = frameTime_;
        event.inputFolded = true;
        return true;
    }
    uint8_t tag = 0;
    if (!Byte(tag)) return false;
    const auto handlerTime = [&](EventKind kind) {
        int32_t delta = 0;
        if (!Delta(delta)) return false;
        eventTime_ += uint32_t(delta);
        event.kind = kind;
        event.time = eventTime_;
        return true;
    };
    if (tag <= kRunMask) {
        runLeft_ = tag;  // this frame and `tag` more
        ++runLeft_;
        return Decode(event);
    }
    if ((tag & ~uint8_t(0x07)) == kFrame) {
        if ((tag & kFrameMask) && (tag & kFrameNoInput)) return false;
        if (tag & kFrameNewStep) {
            if (!Delta(step_)) return false;
        }
        frameTime_ += uint32_t(step_);
        eventTime_ = frameTime_;
        event.time = frameTime_;
        event.inputFolded = !(tag & kFrameNoInput);
        if (tag & kFrameMask) {
            event.maskChanged = true;
            if (!Varint(event.mask)) return false;
        }
        return true;
    }
    if ((tag & 0xF0) == kTimer) {
        event.timer = tag & 0x0F;
        return handlerTime(EventKind::Timer);
    }
    switch (tag) {
        case kKey: {
            uint32_t key = 0;
            uint8_t shift = 0;
            if (!handlerTime(EventKind::Key) || !Varint(key) || key > 0xFFFF || !Byte(shift) ||
                shift > (platform::kShift | platform::kAlt | platform::kCtrl)) {
                return false;
            }
            event.key = uint16_t(key);
            event.shift = shift;
            return true;
        }
        case kActivate: return handlerTime(EventKind::Activate);
        case kDeactivate: return handlerTime(EventKind::Deactivate);
        case kMusicEnd: return handlerTime(EventKind::MusicEnd);
        case kClose: return handlerTime(EventKind::Close);
        case kReply: {
            uint32_t status = 0, size = 0;
            if (!handlerTime(EventKind::Reply) || !Varint(event.reply.request) ||
                !Byte(event.reply.purpose) || !Varint(status) || status > 999 || !Varint(size) ||
                size > platform::kMaxReplyBytes || size > size_ - pos_) {
                return false;
            }
            event.reply.status = uint16_t(status);
            event.reply.body.assign(reinterpret_cast<const char*>(data_ + pos_), size);
            pos_ += size;
            return true;
        }
        case kInputSame: event.kind = EventKind::Input; return true;
        case kInputMask:
            event.kind = EventKind::Input;
            event.maskChanged = true;
            return Varint(event.mask);
        case kClock: event.kind = EventKind::Clock; return Varint(event.clock) && event.clock < kMillisPerDay;
        default: return false;
    }
}

const RecordedEvent* EventReader::Peek() {
    if (peeked_) return &current_;
    if (failed_ || (runLeft_ == 0 && pos_ >= size_)) return nullptr;
    if (!Decode(current_)) {
        failed_ = true;
        return nullptr;
    }
    peeked_ = true;
    return &current_;
}

bool EventReader::AtEnd() { return !Peek() && !failed_; }

bool EventsAreWhole(const std::vector<uint8_t>& bytes, uint32_t startTime, uint32_t frameStep) {
    EventReader reader(bytes.data(), bytes.size(), startTime, frameStep);
    while (reader.Peek()) reader.Pop();
    return !reader.Failed();
}

}  // namespace replay

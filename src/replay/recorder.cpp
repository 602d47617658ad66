#include "replay/recorder.h"

namespace replay {

TRecorder::~TRecorder() {
    if (writer_) media_.SetTap(nullptr);
}

void TRecorder::Start() {
    start_ = media_.TickCount();
    writer_ = std::make_unique<EventWriter>(start_, media_.Clock().Interval());
    framePending_ = false;
    recordedMask_ = 0;
    media_.SetTap(this);
}

std::vector<uint8_t> TRecorder::Stop() {
    if (!writer_) return {};
    FlushFrame();
    std::vector<uint8_t> bytes = writer_->Bytes();
    writer_.reset();
    media_.SetTap(nullptr);
    return bytes;
}

void TRecorder::Frame(uint32_t time) {
    framePending_ = true;
    pendingFrameTime_ = time;
}

void TRecorder::Timer(uint32_t time, size_t index) {
    if (index < kMaxRecordedTimers) writer_->Timer(time, uint8_t(index));
}

void TRecorder::Key(uint32_t time, uint16_t key, platform::ShiftState shift) {
    writer_->Key(time, key, shift);
}

void TRecorder::Reply(uint32_t time, const platform::NetworkReply& reply) { writer_->Reply(time, reply); }

void TRecorder::Plain(platform::PlainCall call, uint32_t time) {
    switch (call) {
        case platform::PlainCall::Activate: writer_->Plain(EventKind::Activate, time); break;
        case platform::PlainCall::Deactivate: writer_->Plain(EventKind::Deactivate, time); break;
        case platform::PlainCall::MusicEnd: writer_->Plain(EventKind::MusicEnd, time); break;
        case platform::PlainCall::Close: writer_->Plain(EventKind::Close, time); break;
    }
}

void TRecorder::InputRead(uint32_t mask) {
    const bool changed = mask != recordedMask_;
    if (framePending_) {
        writer_->Frame(pendingFrameTime_, mask, changed);
        framePending_ = false;
    } else {
        writer_->Input(mask, changed);
    }
    recordedMask_ = mask;
}

void TRecorder::ClockRead(int64_t millisOfDay) {
    FlushFrame();
    writer_->Clock(uint32_t(millisOfDay % kMillisPerDay));
}

void TRecorder::FlushFrame() {
    if (!framePending_) return;
    writer_->Frame(pendingFrameTime_, std::nullopt, false);
    framePending_ = false;
}

}  // namespace replay

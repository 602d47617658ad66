#include "replay/player.h"

#include "platform/frame_pacer.h"

namespace replay {

TPlayer::~TPlayer() {
    if (media_.Playing()) media_.StopPlayback();
}

void TPlayer::Start(std::vector<uint8_t> events, uint32_t startTime, uint32_t frameInterval,
                    PlaybackListener& listener) {
    bytes_ = std::move(events);
    reader_ = EventReader(bytes_.data(), bytes_.size(), startTime, frameInterval);
    listener_ = &listener;
    lastMask_ = 0;
    frameSlot_ = slotChanged_ = false;
    slotMask_ = 0;
    finishing_ = failed_ = closed_ = ended_ = false;
    const uint32_t realStart = media_.StartPlayback(*this, startTime);
    pace_ = PlaybackClock{};
    pace_.Start(realStart, startTime);
}

void TPlayer::Stop() {
    media_.StopPlayback();
    finishing_ = false;
}

uint32_t TPlayer::ReadInput() {
    if (frameSlot_) {
        frameSlot_ = false;
        if (slotChanged_) lastMask_ = slotMask_;
    } else if (!finishing_ && !failed_) {
        const RecordedEvent* event = reader_.Peek();
        if (event && event->kind == EventKind::Input) {
            if (event->maskChanged) lastMask_ = event->mask;
            reader_.Pop();
        } else {
            failed_ = true;
        }
    }
    return lastMask_;
}

int64_t TPlayer::ReadClock() {
    if (finishing_ || failed_) return 0;
    const RecordedEvent* event = reader_.Peek();
    if (!event || event->kind != EventKind::Clock) {
        failed_ = true;
        return 0;
    }
    const uint32_t value = event->clock;
    reader_.Pop();
    return value;
}

bool TPlayer::Deliver(platform::AppEvents& app, const RecordedEvent& event) {
    switch (event.kind) {
        case EventKind::Frame:
            frameSlot_ = event.inputFolded;
            slotChanged_ = event.maskChanged;
            slotMask_ = event.mask;
            media_.HandFrame(app, event.time);
            frameSlot_ = false;
            return true;
        case EventKind::Timer:
            if (media_.HandTimer(event.timer, event.time)) return true;
            failed_ = true;
            return false;
        case EventKind::Key: media_.HandKey(app, event.time, event.key, event.shift); return true;
        case EventKind::Activate:
            media_.HandPlain(app, platform::PlainCall::Activate, event.time);
            return true;
        case EventKind::Deactivate:
            media_.HandPlain(app, platform::PlainCall::Deactivate, event.time);
            return true;
        case EventKind::MusicEnd:
            media_.HandPlain(app, platform::PlainCall::MusicEnd, event.time);
            return true;
        case EventKind::Reply: media_.HandReply(app, event.time, event.reply); return true;
        case EventKind::Close:
            // The game ended with the window: that is where its recording ends.
            closed_ = true;
            return false;
        case EventKind::Input:
        case EventKind::Clock:
            // Read by no handler: the game went another way.
            failed_ = true;
            return false;
    }
    return false;
}

bool TPlayer::Over() {
    if (!media_.Playing()) return true;
    if (ended_) return true;
    PlaybackEnd end = PlaybackEnd::Finished;
    if (failed_ || reader_.Failed()) {
        end = PlaybackEnd::Failed;
    } else if (closed_) {
        end = PlaybackEnd::Closed;
    } else if (finishing_) {
        // Records after the game's end: the game ended too early.
        end = reader_.AtEnd() ? PlaybackEnd::Finished : PlaybackEnd::Failed;
    } else if (!reader_.AtEnd()) {
        return false;
    }
    ended_ = true;
    PlaybackListener* listener = listener_;
    media_.Guarded([listener, end] { listener->OnPlaybackEnd(end); });
    return true;
}

int TPlayer::RunPass(platform::AppEvents& app, uint32_t now) {
    const uint32_t due = pace_.Advance(now, media_.Active());
    // A few frames' worth at the highest speed, so a slow machine cannot spiral.
    constexpr int kMaxFrames = platform::FramePacer::kMaxCatchUp * PlaybackClock::kMaxSpeed;
    int frames = 0;
    while (!media_.QuitRequested() && !Over()) {
        const RecordedEvent* next = reader_.Peek();
        if (!next) continue;  // ended or failed: Over tells
        if (next->IsHandler() && int32_t(next->time - due) > 0) break;
        if (next->kind == EventKind::Frame && frames == kMaxFrames) {
            pace_.HoldAt(next->time);
            break;
        }
        const RecordedEvent event = *next;
        reader_.Pop();
        if (Deliver(app, event) && event.kind == EventKind::Frame) ++frames;
    }
    return frames;
}

uint32_t TPlayer::TimeUntilDue(uint32_t now) {
    if (ended_) return UINT32_MAX;
    // An end or a failure is for the next pass to find.
    const RecordedEvent* next = finishing_ ? nullptr : reader_.Peek();
    return next ? pace_.RealTimeUntil(next->time, now, media_.Active()) : 0;
}

bool TPlayer::RunFrame(platform::AppEvents& app) {
    while (!media_.QuitRequested() && !Over()) {
        const RecordedEvent* next = reader_.Peek();
        if (!next) continue;
        const RecordedEvent event = *next;
        reader_.Pop();
        if (Deliver(app, event) && event.kind == EventKind::Frame) {
            // The end shows with the frame that reached it.
            if (!media_.QuitRequested()) Over();
            return true;
        }
    }
    return false;
}

}  // namespace replay

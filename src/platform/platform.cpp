#include "platform/platform.h"

#include <algorithm>
#include <cstdio>
#include <exception>

#include "platform/bitmap_file.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/frame_pacer.h"
#include "platform/wave_file.h"

namespace platform {

std::string MessageLines(const std::string& text) {
    std::string lines;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            lines += text[i];
        } else if (i + 1 == text.size() || text[i + 1] != '\n') {
            lines += '\n';
        }
    }
    return lines;
}

// A playback in progress: its records and how far the game has read them.
struct Platform::Playback {
    std::vector<uint8_t> bytes;
    EventReader reader;
    PlaybackListener* listener = nullptr;
    uint32_t lastMask = 0;
    // The frame being given carries its first input reading.
    bool frameSlot = false;
    bool slotChanged = false;
    uint32_t slotMask = 0;
    bool failed = false;
    bool closed = false;
    bool ended = false;
};

// What a playback takes over and gives back.
struct Platform::LiveState {
    std::vector<IntervalTimer::State> timers;
    uint32_t frameInterval = 0;
    bool frameEnabled = false;
    uint32_t states = 0;
    uint32_t suppressed = 0;
    uint32_t clock = 0;  // when the playback started
};

Platform::Platform() = default;
Platform::~Platform() = default;

uint32_t Platform::TickCount() { return Playing() || inHandler_ ? handlerTime_ : ClockTicks(); }

int64_t Platform::UtcMillisOfDay() {
    if (playback_) {
        Playback& p = *playback_;
        if (playbackFinishing_ || p.failed) return 0;
        const RecordedEvent* event = p.reader.Peek();
        if (!event || event->kind != EventKind::Clock) {
            p.failed = true;
            return 0;
        }
        const uint32_t value = event->clock;
        p.reader.Pop();
        return value;
    }
    const int64_t now = ClockMillisOfDay();
    if (recorder_) {
        FlushFrame();
        recorder_->Clock(uint32_t(now % kMillisPerDay));
    }
    return now;
}

IntervalTimer& Platform::CreateTimer(std::function<void()> onTick) {
    timers_.push_back(std::make_unique<IntervalTimer>(std::move(onTick)));
    return *timers_.back();
}

void Platform::SetCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    if (captionOverride_.empty()) ApplyCaption(caption);
}

void Platform::SetCaptionOverride(const std::string& caption) {
    if (caption == captionOverride_) return;
    captionOverride_ = caption;
    ApplyCaption(caption.empty() ? caption_ : caption);
}

void Platform::DrawText(int x, int y, const std::string& text, const std::string& face, int points,
                        Colour colour) {
    fonts_.Draw(surface_, x, y, text, face, points, colour);
}

int Platform::TextWidth(const std::string& text, const std::string& face, int points) {
    return fonts_.Width(text, face, points);
}

std::shared_ptr<const Picture> Platform::LoadPicture(const std::string& path) {
    const auto bytes = ReadFileBytes(path);
    if (!bytes) throw GameError("Can't open picture file " + NativePath(path));
    const auto bitmap = DecodeBmp(*bytes);
    if (!bitmap) throw GameError("Not a readable bitmap: " + NativePath(path));
    std::vector<uint16_t> pixels(size_t(bitmap->width) * bitmap->height);
    for (size_t i = 0; i < pixels.size(); ++i) {
        const uint8_t r = bitmap->rgb[i * 3], g = bitmap->rgb[i * 3 + 1], b = bitmap->rgb[i * 3 + 2];
        uint16_t c = ToRgb565(r, g, b);
        // Only true black is transparent: a near-black that the 16-bit
        // format would round to 0 keeps the darkest visible value.
        if (c == 0 && (r | g | b) != 0) c = 0x0020;
        pixels[i] = c;
    }
    return std::make_shared<Picture>(bitmap->width, bitmap->height, std::move(pixels));
}

std::shared_ptr<Wave> Platform::LoadWave(const std::string& path) {
    auto bytes = ReadFileBytes(path);
    if (!bytes) throw GameError("Can't open sound file " + NativePath(path));
    if (!DecodeWave(*bytes)) throw GameError("Not a readable wave file: " + NativePath(path));
    return std::make_shared<Wave>(std::move(*bytes));
}

void Platform::UpdateInput() {
    if (playback_) {
        Playback& p = *playback_;
        if (p.frameSlot) {
            p.frameSlot = false;
            if (p.slotChanged) p.lastMask = p.slotMask;
        } else if (!playbackFinishing_ && !p.failed) {
            const RecordedEvent* event = p.reader.Peek();
            if (event && event->kind == EventKind::Input) {
                if (event->maskChanged) p.lastMask = event->mask;
                p.reader.Pop();
            } else {
                p.failed = true;
            }
        }
        input_.Update(p.lastMask);
        return;
    }
    const uint32_t mask = HeldInputMask();
    if (recorder_) {
        const bool changed = mask != recordedMask_;
        if (framePending_) {
            recorder_->Frame(pendingFrameTime_, mask, changed);
            framePending_ = false;
        } else {
            recorder_->Input(mask, changed);
        }
        recordedMask_ = mask;
    }
    input_.Update(mask);
}

void Platform::RunTimers(uint32_t now, bool catchUp) {
    if (playback_) return;  // the recording holds the ticks
    for (;;) {
        IntervalTimer* next = nullptr;
        for (auto& timer : timers_) {
            if (timer->Due(now) && (!next || int32_t(timer->NextDue() - next->NextDue()) < 0))
                next = timer.get();
        }
        if (!next || quitRequested_) return;
        next->Advance(now, catchUp);
        BeginHandler(now);
        if (recorder_) {
            for (size_t i = 0; i < timers_.size() && i < kMaxRecordedTimers; ++i) {
                if (timers_[i].get() == next) recorder_->Timer(now, uint8_t(i));
            }
        }
        Guarded([next] { next->Fire(); });
        EndHandler();
        if (!catchUp) {
            // Merged ticks: every timer fires at most once per pass.
            bool more = false;
            for (auto& timer : timers_) more = more || (timer.get() != next && timer->Due(now));
            if (!more) return;
        }
    }
}

void Platform::RunFrame(AppEvents& app, uint32_t time) {
    BeginHandler(time);
    if (recorder_) {
        framePending_ = true;
        pendingFrameTime_ = time;
    }
    clock_.FrameStarted(time);
    Guarded([&app] { app.OnFrame(); });
    EndHandler();
}

void Platform::Guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        if (errorReporter_) {
            errorReporter_(error.what());
        } else {
            MessageBox(applicationTitle_, error.what());
        }
    }
}

void Platform::SetActive(bool active, AppEvents& app) {
    if (active == active_) return;
    active_ = active;
    // A playback only waits while the window has no focus.
    if (playback_) return;
    if (active) {
        DeliverPlain(EventKind::Activate, [&app] { app.OnActivate(); });
    } else {
        DeliverPlain(EventKind::Deactivate, [&app] { app.OnDeactivate(); });
    }
}

void Platform::DeliverKey(AppEvents& app, uint16_t key, ShiftState shift) {
    if (playback_) {
        PlaybackListener* listener = playback_->listener;
        Guarded([listener, key, shift] { listener->OnWatcherKey(key, shift); });
        return;
    }
    BeginHandler(ClockTicks());
    if (recorder_) recorder_->Key(handlerTime_, key, shift);
    Guarded([&app, key, shift] { app.OnKeyDown(key, shift); });
    EndHandler();
}

void Platform::DeliverMusicEnd(AppEvents& app) {
    DeliverPlain(EventKind::MusicEnd, [&app] { app.OnMusicEnd(); });
}

void Platform::DeliverClose(AppEvents& app) {
    DeliverPlain(EventKind::Close, [&app] { app.OnCloseButton(); });
}

void Platform::DeliverPlain(EventKind kind, const std::function<void()>& handler) {
    if (playback_) {
        // Unrecorded, at the playback's own time.
        Guarded(handler);
        return;
    }
    BeginHandler(ClockTicks());
    if (recorder_) recorder_->Plain(kind, handlerTime_);
    Guarded(handler);
    EndHandler();
}

// ---------------------------------------------------------------- recording

void Platform::BeginHandler(uint32_t time) {
    inHandler_ = true;
    handlerTime_ = time;
}

void Platform::EndHandler() {
    FlushFrame();
    inHandler_ = false;
}

void Platform::FlushFrame() {
    if (!recorder_ || !framePending_) return;
    recorder_->Frame(pendingFrameTime_, std::nullopt, false);
    framePending_ = false;
}

void Platform::StartRecording() {
    recordingStart_ = TickCount();
    recorder_ = std::make_unique<EventWriter>(recordingStart_, clock_.Interval());
    framePending_ = false;
    recordedMask_ = 0;
}

std::vector<uint8_t> Platform::StopRecording() {
    if (!recorder_) return {};
    FlushFrame();
    std::vector<uint8_t> bytes = recorder_->Bytes();
    recorder_.reset();
    return bytes;
}

// ---------------------------------------------------------------- playback

void Platform::StartPlayback(std::vector<uint8_t> events, uint32_t startTime, uint32_t frameInterval,
                             PlaybackListener& listener) {
    live_ = std::make_unique<LiveState>();
    for (const auto& timer : timers_) live_->timers.push_back(timer->Save());
    live_->frameInterval = clock_.Interval();
    live_->frameEnabled = clock_.Enabled();
    live_->states = input_.States();
    live_->suppressed = input_.Suppressed();
    live_->clock = ClockTicks();

    playback_ = std::make_unique<Playback>();
    playback_->bytes = std::move(events);
    playback_->reader =
        EventReader(playback_->bytes.data(), playback_->bytes.size(), startTime, frameInterval);
    playback_->listener = &listener;
    playbackFinishing_ = false;
    handlerTime_ = startTime;
    playbackPace_ = PlaybackClock{};
    playbackPace_.Start(live_->clock, startTime);
}

void Platform::StopPlayback() {
    if (!playback_) return;
    const uint32_t now = ClockTicks();
    for (size_t i = 0; i < timers_.size() && i < live_->timers.size(); ++i) {
        timers_[i]->Restore(live_->timers[i], now);
    }
    clock_.SetInterval(live_->frameInterval);
    clock_.SetEnabled(live_->frameEnabled);
    input_.Restore(live_->states, live_->suppressed);
    playback_.reset();
    live_.reset();
    playbackFinishing_ = false;
}

bool Platform::Deliver(AppEvents& app, const RecordedEvent& event) {
    switch (event.kind) {
        case EventKind::Frame:
            BeginHandler(event.time);
            playback_->frameSlot = event.inputFolded;
            playback_->slotChanged = event.maskChanged;
            playback_->slotMask = event.mask;
            clock_.FrameStarted(event.time);
            Guarded([&app] { app.OnFrame(); });
            if (playback_) playback_->frameSlot = false;
            break;
        case EventKind::Timer: {
            if (event.timer >= timers_.size()) {
                playback_->failed = true;
                return false;
            }
            IntervalTimer* timer = timers_[event.timer].get();
            BeginHandler(event.time);
            Guarded([timer] { timer->Fire(); });
            break;
        }
        case EventKind::Key:
            BeginHandler(event.time);
            Guarded([&app, &event] { app.OnKeyDown(event.key, event.shift); });
            break;
        case EventKind::Activate:
            BeginHandler(event.time);
            Guarded([&app] { app.OnActivate(); });
            break;
        case EventKind::Deactivate:
            BeginHandler(event.time);
            Guarded([&app] { app.OnDeactivate(); });
            break;
        case EventKind::MusicEnd:
            BeginHandler(event.time);
            Guarded([&app] { app.OnMusicEnd(); });
            break;
        case EventKind::Close:
            // The game ended with the window: that is where its recording ends.
            playback_->closed = true;
            return false;
        case EventKind::Input:
        case EventKind::Clock:
            // Read by no handler: the game went another way.
            playback_->failed = true;
            return false;
    }
    EndHandler();
    return true;
}

bool Platform::PlaybackOver() {
    if (!playback_) return true;
    Playback& p = *playback_;
    if (p.ended) return true;
    PlaybackEnd end = PlaybackEnd::Finished;
    if (p.failed || p.reader.Failed()) {
        end = PlaybackEnd::Failed;
    } else if (p.closed) {
        end = PlaybackEnd::Closed;
    } else if (playbackFinishing_) {
        // Records after the game's end: the game ended too early.
        end = p.reader.AtEnd() ? PlaybackEnd::Finished : PlaybackEnd::Failed;
    } else if (!p.reader.AtEnd()) {
        return false;
    }
    p.ended = true;
    PlaybackListener* listener = p.listener;
    Guarded([listener, end] { listener->OnPlaybackEnd(end); });
    return true;
}

int Platform::RunPlaybackPass(AppEvents& app, uint32_t now) {
    if (!playback_) return 0;
    const uint32_t due = playbackPace_.Advance(now, active_);
    // A few frames' worth at the highest speed, so a slow machine cannot spiral.
    constexpr int kMaxFrames = FramePacer::kMaxCatchUp * PlaybackClock::kMaxSpeed;
    int frames = 0;
    while (!QuitRequested() && !PlaybackOver()) {
        const RecordedEvent* next = playback_->reader.Peek();
        if (!next) continue;  // ended or failed: PlaybackOver tells
        if (next->IsHandler() && int32_t(next->time - due) > 0) break;
        if (next->kind == EventKind::Frame && frames == kMaxFrames) {
            playbackPace_.HoldAt(next->time);
            break;
        }
        const RecordedEvent event = *next;
        playback_->reader.Pop();
        if (Deliver(app, event) && event.kind == EventKind::Frame) ++frames;
    }
    return frames;
}

uint32_t Platform::TimeUntilHandler(uint32_t now) {
    uint32_t wait = UINT32_MAX;
    if (playback_) {
        if (playback_->ended) return wait;
        // An end or a failure is for the next pass to find.
        const RecordedEvent* next = playbackFinishing_ ? nullptr : playback_->reader.Peek();
        return next ? playbackPace_.RealTimeUntil(next->time, now, active_) : 0;
    }
    for (auto& timer : timers_) {
        if (timer->Enabled() && timer->Interval() > 0)
            wait = std::min(wait, timer->Due(now) ? 0 : timer->NextDue() - now);
    }
    return wait;
}

bool Platform::RunPlaybackFrame(AppEvents& app) {
    if (!playback_ || !active_) return false;
    while (!QuitRequested() && !PlaybackOver()) {
        const RecordedEvent* next = playback_->reader.Peek();
        if (!next) continue;
        const RecordedEvent event = *next;
        playback_->reader.Pop();
        if (Deliver(app, event) && event.kind == EventKind::Frame) {
            // The end shows with the frame that reached it.
            if (!QuitRequested()) PlaybackOver();
            return true;
        }
    }
    return false;
}

}  // namespace platform

#include "platform/platform.h"

#include <algorithm>
#include <cstdio>
#include <exception>

#include "formats/bitmap_file.h"
#include "formats/errors.h"
#include "formats/files.h"
#include "formats/wave_file.h"

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

// What a playback takes over and gives back.
struct Platform::LiveState {
    std::vector<IntervalTimer::State> timers;
    uint32_t frameInterval = 0;
    bool frameEnabled = false;
    uint32_t states = 0;
    uint32_t suppressed = 0;
    uint32_t clock = 0;  // when the playback started
};

Platform::Platform(Backend& machine) : machine_(machine) { machine_.dispatcher_ = this; }

Platform::~Platform() { machine_.dispatcher_ = nullptr; }

uint32_t Platform::TickCount() { return Playing() || inHandler_ ? handlerTime_ : machine_.Ticks(); }

int64_t Platform::UtcMillisOfDay() {
    if (source_) return source_->ReadClock();
    const int64_t now = machine_.MillisOfDay();
    if (tap_) tap_->ClockRead(now);
    return now;
}

IntervalTimer& Platform::CreateTimer(std::function<void()> onTick) {
    timers_.push_back(std::make_unique<IntervalTimer>(std::move(onTick)));
    return *timers_.back();
}

void Platform::SetCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    if (captionOverride_.empty()) machine_.ShowCaption(caption);
}

void Platform::SetCaptionOverride(const std::string& caption) {
    if (caption == captionOverride_) return;
    captionOverride_ = caption;
    machine_.ShowCaption(caption.empty() ? caption_ : caption);
}

void Platform::DrawText(int x, int y, const std::string& text, const std::string& face, int points,
                        media::Colour colour) {
    if (!Drawing()) return;
    fonts_.Draw(surface_, x, y, text, face, points, colour);
}

int Platform::TextWidth(const std::string& text, const std::string& face, int points) {
    return fonts_.Width(text, face, points);
}

std::shared_ptr<const media::Picture> Platform::LoadPicture(const std::string& path) {
    if (keepPictures_) {
        if (const auto kept = keptPictures_.find(path); kept != keptPictures_.end()) return kept->second;
    }
    const auto bytes = formats::ReadFileBytes(path);
    if (!bytes) throw formats::GameError("Can't open picture file " + formats::NativePath(path));
    const auto bitmap = formats::DecodeBmp(*bytes);
    if (!bitmap) throw formats::GameError("Not a readable bitmap: " + formats::NativePath(path));
    std::vector<uint16_t> pixels(size_t(bitmap->width) * bitmap->height);
    for (size_t i = 0; i < pixels.size(); ++i) {
        const uint8_t r = bitmap->rgb[i * 3], g = bitmap->rgb[i * 3 + 1], b = bitmap->rgb[i * 3 + 2];
        uint16_t c = media::ToRgb565(r, g, b);
        // Only true black is transparent: a near-black that the 16-bit
        // format would round to 0 keeps the darkest visible value.
        if (c == 0 && (r | g | b) != 0) c = 0x0020;
        pixels[i] = c;
    }
    auto picture = std::make_shared<const media::Picture>(bitmap->width, bitmap->height, std::move(pixels));
    if (keepPictures_) keptPictures_[path] = picture;
    return picture;
}

std::shared_ptr<media::Wave> Platform::LoadWave(const std::string& path) {
    auto bytes = formats::ReadFileBytes(path);
    if (!bytes) throw formats::GameError("Can't open sound file " + formats::NativePath(path));
    if (!formats::DecodeWave(*bytes))
        throw formats::GameError("Not a readable wave file: " + formats::NativePath(path));
    return std::make_shared<media::Wave>(std::move(*bytes));
}

void Platform::UpdateInput() {
    if (source_) {
        input_.Update(source_->ReadInput());
        return;
    }
    const uint32_t mask = machine_.HeldInputMask();
    if (tap_) tap_->InputRead(mask);
    input_.Update(mask);
}

void Platform::RunTimers(uint32_t now, bool catchUp) {
    if (source_) return;  // the recording holds the ticks
    for (;;) {
        IntervalTimer* next = nullptr;
        for (auto& timer : timers_) {
            if (timer->Due(now) && (!next || int32_t(timer->NextDue() - next->NextDue()) < 0))
                next = timer.get();
        }
        if (!next || quitRequested_) return;
        next->Advance(now, catchUp);
        BeginHandler(now);
        if (tap_) {
            for (size_t i = 0; i < timers_.size(); ++i) {
                if (timers_[i].get() == next) tap_->Timer(now, i);
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
    if (tap_) tap_->Frame(time);
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
    if (source_) return;
    if (active) {
        DeliverPlain(PlainCall::Activate, [&app] { app.OnActivate(); });
    } else {
        DeliverPlain(PlainCall::Deactivate, [&app] { app.OnDeactivate(); });
    }
}

void Platform::DeliverKey(AppEvents& app, uint16_t key, ShiftState shift) {
    if (source_) {
        EventSource* source = source_;
        Guarded([source, key, shift] { source->WatcherKey(key, shift); });
        return;
    }
    BeginHandler(machine_.Ticks());
    if (tap_) tap_->Key(handlerTime_, key, shift);
    Guarded([&app, key, shift] { app.OnKeyDown(key, shift); });
    EndHandler();
}

void Platform::DeliverMusicEnd(AppEvents& app) {
    DeliverPlain(PlainCall::MusicEnd, [&app] { app.OnMusicEnd(); });
}

void Platform::DeliverClose(AppEvents& app) {
    DeliverPlain(PlainCall::Close, [&app] { app.OnCloseButton(); });
}

void Platform::DeliverPointer(AppEvents& app, const PointerEvent& event) {
    if (source_ || tap_) return;
    BeginHandler(machine_.Ticks());
    Guarded([&app, &event] { app.OnPointer(event); });
    EndHandler();
}

void Platform::DeliverPlain(PlainCall call, const std::function<void()>& handler) {
    if (source_) {
        // Unrecorded, at the playback's own time.
        Guarded(handler);
        return;
    }
    BeginHandler(machine_.Ticks());
    if (tap_) tap_->Plain(call, handlerTime_);
    Guarded(handler);
    EndHandler();
}

// ---------------------------------------------------------------- network

uint32_t Platform::Fetch(const NetworkRequest& request) {
    const uint32_t number = ++lastRequest_;
    if (network_) {
        network_->Start(number, request);
    } else {
        heldReplies_.push_back({number, request.purpose, 0, "no network"});
    }
    return number;
}

size_t Platform::RequestsOutstanding() const {
    return heldReplies_.size() + (network_ ? network_->Outstanding() : 0);
}

void Platform::DeliverReplies(AppEvents& app) {
    if (network_) {
        for (NetworkReply& reply : network_->TakeReplies()) heldReplies_.push_back(std::move(reply));
    }
    if (source_ || heldReplies_.empty()) return;
    std::vector<NetworkReply> replies;
    replies.swap(heldReplies_);
    for (const NetworkReply& reply : replies) {
        BeginHandler(machine_.Ticks());
        if (tap_) tap_->Reply(handlerTime_, reply);
        Guarded([&app, &reply] { app.OnNetworkReply(reply); });
        EndHandler();
    }
}

// ---------------------------------------------------------------- handlers

void Platform::BeginHandler(uint32_t time) {
    inHandler_ = true;
    handlerTime_ = time;
}

void Platform::EndHandler() {
    if (tap_) tap_->HandlerEnded();
    inHandler_ = false;
}

// ---------------------------------------------------------------- playback

uint32_t Platform::StartPlayback(EventSource& source, uint32_t startTime) {
    live_ = std::make_unique<LiveState>();
    for (const auto& timer : timers_) live_->timers.push_back(timer->Save());
    live_->frameInterval = clock_.Interval();
    live_->frameEnabled = clock_.Enabled();
    live_->states = input_.States();
    live_->suppressed = input_.Suppressed();
    live_->clock = machine_.Ticks();
    source_ = &source;
    handlerTime_ = startTime;
    return live_->clock;
}

void Platform::StopPlayback() {
    if (!source_) return;
    const uint32_t now = machine_.Ticks();
    for (size_t i = 0; i < timers_.size() && i < live_->timers.size(); ++i) {
        timers_[i]->Restore(live_->timers[i], now);
    }
    clock_.SetInterval(live_->frameInterval);
    clock_.SetEnabled(live_->frameEnabled);
    input_.Restore(live_->states, live_->suppressed);
    source_ = nullptr;
    live_.reset();
}

void Platform::HandFrame(AppEvents& app, uint32_t time) {
    BeginHandler(time);
    clock_.FrameStarted(time);
    Guarded([&app] { app.OnFrame(); });
    EndHandler();
}

bool Platform::HandTimer(size_t index, uint32_t time) {
    if (index >= timers_.size()) return false;
    IntervalTimer* timer = timers_[index].get();
    BeginHandler(time);
    Guarded([timer] { timer->Fire(); });
    EndHandler();
    return true;
}

void Platform::HandKey(AppEvents& app, uint32_t time, uint16_t key, ShiftState shift) {
    BeginHandler(time);
    Guarded([&app, key, shift] { app.OnKeyDown(key, shift); });
    EndHandler();
}

void Platform::HandPlain(AppEvents& app, PlainCall call, uint32_t time) {
    BeginHandler(time);
    switch (call) {
        case PlainCall::Activate: Guarded([&app] { app.OnActivate(); }); break;
        case PlainCall::Deactivate: Guarded([&app] { app.OnDeactivate(); }); break;
        case PlainCall::MusicEnd: Guarded([&app] { app.OnMusicEnd(); }); break;
        case PlainCall::Close: Guarded([&app] { app.OnCloseButton(); }); break;
    }
    EndHandler();
}

void Platform::HandReply(AppEvents& app, uint32_t time, const NetworkReply& reply) {
    BeginHandler(time);
    Guarded([&app, &reply] { app.OnNetworkReply(reply); });
    EndHandler();
}

uint32_t Platform::TimeUntilHandler(uint32_t now) {
    if (source_) return source_->TimeUntilDue(now);
    uint32_t wait = UINT32_MAX;
    for (auto& timer : timers_) {
        if (timer->Enabled() && timer->Interval() > 0)
            wait = std::min(wait, timer->Due(now) ? 0 : timer->NextDue() - now);
    }
    return wait;
}

}  // namespace platform

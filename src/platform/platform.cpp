#include "platform/platform.h"

#include <cstdio>
#include <exception>

#include "platform/bitmap_file.h"
#include "platform/errors.h"
#include "platform/files.h"
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

Platform::Platform() = default;
Platform::~Platform() = default;

IntervalTimer& Platform::CreateTimer(std::function<void()> onTick) {
    timers_.push_back(std::make_unique<IntervalTimer>(std::move(onTick)));
    return *timers_.back();
}

void Platform::SetCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    ApplyCaption(caption);
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

void Platform::UpdateInput() { input_.Update(HeldInputMask()); }

void Platform::RunTimers(uint32_t now, bool catchUp) {
    for (;;) {
        IntervalTimer* next = nullptr;
        for (auto& timer : timers_) {
            if (timer->Due(now) && (!next || int32_t(timer->NextDue() - next->NextDue()) < 0))
                next = timer.get();
        }
        if (!next || quitRequested_) return;
        next->Advance(now, catchUp);
        Guarded([next] { next->Fire(); });
        if (!catchUp) {
            // Merged ticks: every timer fires at most once per pass.
            bool more = false;
            for (auto& timer : timers_) more = more || (timer.get() != next && timer->Due(now));
            if (!more) return;
        }
    }
}

void Platform::RunFrame(AppEvents& app, uint32_t now) {
    clock_.FrameStarted(now);
    Guarded([&app] { app.OnFrame(); });
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
    if (active) {
        Guarded([&app] { app.OnActivate(); });
    } else {
        Guarded([&app] { app.OnDeactivate(); });
    }
}

}  // namespace platform

#include "actors/actor.h"

#include <cmath>
#include <utility>

#include "game/services.h"

namespace actors {

const media::ImageEntry* FindImage(const std::string& name) { return &game::Services().Image(name); }

void ShowImage(engine::TImageSprite& sprite, const media::ImageEntry* image) {
    sprite.Image = image;
    sprite.Width = image ? image->PatternWidth() : 0;
    sprite.Height = image ? image->PatternHeight() : 0;
    sprite.FrameCount = image ? image->PatternCount() : 0;
}

TXSprite::TXSprite(engine::TSprite* parent) : engine::TImageSprite(parent) {}

void TXSprite::Step(int moveCount) {
    engine::TImageSprite::Step(moveCount);
    if (IsDying) {
        --DeathTicks;
        if (DeathTicks <= 0) Kill();
    }
    if (TimerActive) --TimerTicks;
    if (TimerTicks < 0 && TimerArmed) {
        // The procedure may call PlayOnce and replace OnTimer: call a copy.
        auto procedure = OnTimer;
        if (procedure) procedure();
        TimerActive = false;
        TimerTicks = 0;
    }
}

void TXSprite::StartDeath() {
    IsDying = true;
    ShowImage(*this, DeathImage);
    FramePos = 0;
    FrameSpeed = DeathSpeed;
    // Every actor sets a positive death speed; without one the sprite goes
    // at the next step rather than dividing by zero.
    DeathTicks = FrameSpeed > 0 ? static_cast<int32_t>(FrameCount / FrameSpeed) : 0;
    CanCollide = false;
}

void TXSprite::PlayOnce(const std::string& imageName, int delayMs, std::function<void()> procedure,
                        double speed) {
    if (!imageName.empty()) {
        ShowImage(*this, FindImage(imageName));
        FrameSpeed = speed;
        FramePos = 0;
        Looping = false;
    }
    const double ticks = delayMs == 0 ? FrameCount / FrameSpeed
                                      : delayMs / static_cast<double>(game::Services().FrameInterval());
    // A zero speed or frame interval has no tick count; fire at the next step
    // instead of converting infinity.
    TimerTicks = std::isfinite(ticks) ? static_cast<int32_t>(std::nearbyint(ticks)) : 0;
    OnTimer = std::move(procedure);
    TimerArmed = true;
    TimerActive = true;
}

}  // namespace actors

// The common base of the maze actors: an image sprite with a death sequence
// (the death animation plays once, then the sprite is killed) and a one-shot
// animation that calls a procedure when it has run. Both count frames.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "engine/image_sprite.h"

namespace actors {

class TXSprite : public engine::TImageSprite {
public:
    explicit TXSprite(engine::TSprite* parent);

    // Advances the animation and both countdowns; subclasses call it where
    // their own step wants that to happen.
    void Step(int moveCount) override;
    void StartDeath();
    // Shows the named animation once (an empty name keeps the current one)
    // and calls `procedure` when it is over, or after delayMs milliseconds.
    void PlayOnce(const std::string& imageName, int delayMs, std::function<void()> procedure, double speed);

    const media::ImageEntry* DeathImage = nullptr;
    double DeathSpeed = 0.0;
    bool TimerActive = false;
    bool IsDying = false;
    int32_t DeathTicks = 0;
    int32_t TimerTicks = 0;
    std::function<void()> OnTimer;
    bool TimerArmed = false;
};

// The catalogue's picture of that name; throws "Image '<name>' not found".
const media::ImageEntry* FindImage(const std::string& name);
// Shows the picture with the sprite sized to one pattern and FrameCount set
// to the number of patterns (all 0 for no picture).
void ShowImage(engine::TImageSprite& sprite, const media::ImageEntry* image);

// Direction codes shared by the player and the monsters.
constexpr uint8_t DirUp = 0;
constexpr uint8_t DirRight = 1;
constexpr uint8_t DirDown = 2;
constexpr uint8_t DirLeft = 3;
constexpr uint8_t DirNone = 4;

}  // namespace actors

#include "widgets/buttons.h"

#include <utility>

#include "engine/image_sprite.h"
#include "game/globals.h"
#include "game/services.h"

namespace widgets {

namespace vk = platform::vk;

namespace {

const char* GameTypePrefix() {
    return game::State.GameType == game::gtFeatures ? "GameTypeFeatures" : "GameTypeClassic";
}

const char* GameModePrefix(const platform::Platform& media) {
    return media.FullScreen() ? "WindowMode" : "FullScreen";
}

}  // namespace

// ---- options ------------------------------------------------------------------

TGameTypeButton::TGameTypeButton(engine::TSprite* parent) : TButtonSprite(parent, GameTypePrefix()) {
    Y = 200;
}

void TGameTypeButton::HandleKey(uint16_t key) {
    if (key == vk::Enter)
        game::State.GameType = game::State.GameType == game::gtClassic ? game::gtFeatures : game::gtClassic;
    SetImages(GameTypePrefix());
}

TGameModeButton::TGameModeButton(engine::TSprite* parent, const platform::Platform& media)
    : TButtonSprite(parent, GameModePrefix(media)), media_(media) {
    Y = 250;
}

void TGameModeButton::HandleKey(uint16_t key) {
    TButtonSprite::HandleKey(key);
    SetImages(GameModePrefix(media_));
}

TMidiVolumeButton::TMidiVolumeButton(engine::TSprite* parent, std::function<uint8_t()> attenuation,
                                     std::function<void(uint8_t)> setAttenuation)
    : TButtonSprite(parent, "MusicVolume"),
      attenuation_(std::move(attenuation)),
      setAttenuation_(std::move(setAttenuation)) {
    Y = 300;
}

void TMidiVolumeButton::HandleKey(uint16_t key) {
    const int attenuation = attenuation_();
    if (key == vk::Left) {
        setAttenuation_(uint8_t(attenuation > 255 - kStep ? 255 : attenuation + kStep));
    } else if (key == vk::Right) {
        setAttenuation_(uint8_t(attenuation < kStep ? 0 : attenuation - kStep));
    }
}

TWaveVolumeButton::TWaveVolumeButton(engine::TSprite* parent) : TButtonSprite(parent, "WaveVolume") {
    Y = 350;
}

void TWaveVolumeButton::HandleKey(uint16_t key) {
    if (key != vk::Left && key != vk::Right) return;
    // The test sound lets the user hear the volume being left.
    game::Services().PlaySound("WaveTest");
    int32_t& volume = game::Setup.WaveVolume;
    if (key == vk::Left) {
        volume = volume < -10000 + kStep ? -10000 : volume - kStep;
    } else {
        volume = volume > -kStep ? 0 : volume + kStep;
    }
}

TGameSpeedButton::TGameSpeedButton(engine::TSprite* parent, platform::FrameClock& clock)
    : TButtonSprite(parent, "GameSpeed"), clock_(clock) {
    Y = 400;
}

void TGameSpeedButton::HandleKey(uint16_t key) {
    const uint32_t interval = clock_.Interval();
    if (key == vk::Left) {
        clock_.SetInterval(interval > kSlowestMs - kStepMs ? kSlowestMs : interval + kStepMs);
    } else if (key == vk::Right) {
        clock_.SetInterval(interval < kStepMs ? 0 : interval - kStepMs);
    }
}

TOnlineTableButton::TOnlineTableButton(engine::TSprite* parent, std::function<bool()> sending,
                                       std::function<void(bool)> setSending)
    : TButtonSprite(parent, sending() ? "OnlineTableOn" : "OnlineTableOff"),
      sending_(std::move(sending)),
      setSending_(std::move(setSending)) {
    Y = 450;
}

void TOnlineTableButton::HandleKey(uint16_t key) {
    if (key == vk::Enter) setSending_(!sending_());
    SetImages(sending_() ? "OnlineTableOn" : "OnlineTableOff");
}

TReturnButton::TReturnButton(engine::TSprite* parent) : TButtonSprite(parent, "Return") { Y = 500; }

// ---- help ---------------------------------------------------------------------

THelpPageButton::THelpPageButton(engine::TSprite* parent, engine::TImageSprite* pageSprite,
                                 const std::string& page, int y)
    : TButtonSprite(parent, page), pageSprite_(pageSprite), page_(page) {
    X = 500;
    Y = y;
}

void THelpPageButton::HandleKey(uint16_t) {
    const media::ImageEntry& image = game::Services().Image(page_);
    pageSprite_->Image = &image;
    pageSprite_->Width = image.PatternWidth();
    pageSprite_->Height = image.PatternHeight();
}

}  // namespace widgets

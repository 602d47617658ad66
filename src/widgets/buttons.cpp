#include "widgets/buttons.h"

#include "engine/image_sprite.h"
#include "game/globals.h"

namespace widgets {

using shell::MainForm;
namespace vk = platform::vk;

namespace {

const char* GameTypePrefix() {
    return game::GameType == game::gtFeatures ? "GameTypeFeatures" : "GameTypeClassic";
}

const char* GameModePrefix() { return MainForm->Media().FullScreen() ? "WindowMode" : "FullScreen"; }

}  // namespace

// ---- main menu --------------------------------------------------------------

void TNewGameButton::HandleKey(uint16_t key) {
    if (key != vk::Enter) return;
    game::CurrentLevel = 0;
    MainForm->SetScreenState(shell::scGame);
}

void TPasswordButton::HandleKey(uint16_t key) {
    if (key != vk::Enter) return;
    MainForm->MenuMemory = 2;
    game::CurrentLevel = 0;
    MainForm->SetScreenState(shell::scPassword);
}

void TOptionsButton::HandleKey(uint16_t key) {
    if (key != vk::Enter) return;
    MainForm->MenuMemory = 3;
    MainForm->SetScreenState(shell::scOptions);
}

void THighScoresButton::HandleKey(uint16_t key) {
    if (key != vk::Enter) return;
    MainForm->MenuMemory = 4;
    MainForm->SetScreenState(shell::scHighScores);
}

void THelpButton::HandleKey(uint16_t key) {
    if (key != vk::Enter) return;
    MainForm->MenuMemory = 5;
    MainForm->SetScreenState(shell::scHelp);
}

void TExitButton::HandleKey(uint16_t key) {
    if (key == vk::Enter) MainForm->SetScreenState(shell::scQuit);
}

// ---- options ------------------------------------------------------------------

TGameTypeButton::TGameTypeButton(engine::TSprite* parent) : TButtonSprite(parent, GameTypePrefix()) {
    Y = 200;
}

void TGameTypeButton::HandleKey(uint16_t key) {
    if (key == vk::Enter)
        game::GameType = game::GameType == game::gtClassic ? game::gtFeatures : game::gtClassic;
    SetImages(GameTypePrefix());
}

TGameModeButton::TGameModeButton(engine::TSprite* parent) : TButtonSprite(parent, GameModePrefix()) {
    Y = 250;
}

void TGameModeButton::HandleKey(uint16_t key) {
    if (key == vk::Enter) MainForm->ToggleFullScreen();
    SetImages(GameModePrefix());
}

TMidiVolumeButton::TMidiVolumeButton(engine::TSprite* parent) : TButtonSprite(parent, "MusicVolume") {
    Y = 300;
}

void TMidiVolumeButton::HandleKey(uint16_t key) {
    const int attenuation = MainForm->MidiVolume();
    if (key == vk::Left) {
        MainForm->SetMidiVolume(uint8_t(attenuation > 255 - kStep ? 255 : attenuation + kStep));
    } else if (key == vk::Right) {
        MainForm->SetMidiVolume(uint8_t(attenuation < kStep ? 0 : attenuation - kStep));
    }
}

TWaveVolumeButton::TWaveVolumeButton(engine::TSprite* parent) : TButtonSprite(parent, "WaveVolume") {
    Y = 350;
}

void TWaveVolumeButton::HandleKey(uint16_t key) {
    if (key != vk::Left && key != vk::Right) return;
    // The test sound lets the user hear the volume being left.
    MainForm->PlaySound("WaveTest");
    int32_t& volume = game::WaveVolume;
    if (key == vk::Left) {
        volume = volume < -10000 + kStep ? -10000 : volume - kStep;
    } else {
        volume = volume > -kStep ? 0 : volume + kStep;
    }
}

TGameSpeedButton::TGameSpeedButton(engine::TSprite* parent) : TButtonSprite(parent, "GameSpeed") { Y = 400; }

void TGameSpeedButton::HandleKey(uint16_t key) {
    platform::FrameClock& clock = MainForm->DXTimer();
    const uint32_t interval = clock.Interval();
    if (key == vk::Left) {
        clock.SetInterval(interval > kSlowestMs - kStepMs ? kSlowestMs : interval + kStepMs);
    } else if (key == vk::Right) {
        clock.SetInterval(interval < kStepMs ? 0 : interval - kStepMs);
    }
}

TReturnButton::TReturnButton(engine::TSprite* parent, shell::TScreenState targetScreen)
    : TButtonSprite(parent, "Return"), TargetScreen(targetScreen) {
    Y = 500;
}

void TReturnButton::HandleKey(uint16_t key) {
    if (key == vk::Enter) MainForm->SetScreenState(TargetScreen);
}

// ---- help ---------------------------------------------------------------------

THelpPageButton::THelpPageButton(engine::TSprite* parent, const std::string& page, int y)
    : TButtonSprite(parent, page), page_(page) {
    X = 500;
    Y = y;
}

void THelpPageButton::HandleKey(uint16_t) {
    // Only the help screen, which made the page sprite, has these buttons.
    engine::TImageSprite* helpPage = MainForm->HelpPage;
    const platform::ImageEntry& image = MainForm->ImageList.Find(page_);
    helpPage->Image = &image;
    helpPage->Width = image.PatternWidth();
    helpPage->Height = image.PatternHeight();
}

}  // namespace widgets

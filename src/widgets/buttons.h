// The buttons of the main menu, the options, the help pages and the
// high-score list. Each one is created under the sprite root, places itself
// and handles the keys the shell hands to it; where that reaches beyond the
// button, the menu screen wires it in.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/clock.h"
#include "platform/platform.h"
#include "widgets/button.h"

namespace widgets {

// ---- main menu: Enter (OnEnter) leaves for another screen ---------------

class TNewGameButton : public TButtonSprite {
public:
    explicit TNewGameButton(engine::TSprite* parent) : TButtonSprite(parent, "NewGame") {}
};

class TPasswordButton : public TButtonSprite {
public:
    explicit TPasswordButton(engine::TSprite* parent) : TButtonSprite(parent, "Password") {}
};

class TOptionsButton : public TButtonSprite {
public:
    explicit TOptionsButton(engine::TSprite* parent) : TButtonSprite(parent, "Options") {}
};

class THighScoresButton : public TButtonSprite {
public:
    explicit THighScoresButton(engine::TSprite* parent) : TButtonSprite(parent, "High Scores") {}
};

class THelpButton : public TButtonSprite {
public:
    explicit THelpButton(engine::TSprite* parent) : TButtonSprite(parent, "Help") {}
};

class TExitButton : public TButtonSprite {
public:
    explicit TExitButton(engine::TSprite* parent) : TButtonSprite(parent, "Exit") {}
};

// ---- options: Enter switches, Left and Right adjust ----------------------
// Each stands on its own row; the indicators take their rows from them.

// Its face names the current game type.
class TGameTypeButton : public TButtonSprite {
public:
    explicit TGameTypeButton(engine::TSprite* parent);
    void HandleKey(uint16_t key) override;
};

// Its face names the mode that Enter (OnEnter) switches to.
class TGameModeButton : public TButtonSprite {
public:
    TGameModeButton(engine::TSprite* parent, const platform::Platform& media);
    void HandleKey(uint16_t key) override;

private:
    const platform::Platform& media_;
};

// Left makes the music quieter, Right louder, in steps of 16 attenuation
// (0 loudest, 255 silent).
class TMidiVolumeButton : public TButtonSprite {
public:
    static constexpr int kStep = 16;
    TMidiVolumeButton(engine::TSprite* parent, std::function<uint8_t()> attenuation,
                      std::function<void(uint8_t)> setAttenuation);
    void HandleKey(uint16_t key) override;

private:
    std::function<uint8_t()> attenuation_;
    std::function<void(uint8_t)> setAttenuation_;
};

// Plays a test sound at the volume it had, then changes it by 10 dB.
class TWaveVolumeButton : public TButtonSprite {
public:
    static constexpr int kStep = 1000;
    explicit TWaveVolumeButton(engine::TSprite* parent);
    void HandleKey(uint16_t key) override;
};

// Left slows the game (a longer frame interval), Right speeds it up.
class TGameSpeedButton : public TButtonSprite {
public:
    static constexpr uint32_t kStepMs = 10;
    static constexpr uint32_t kSlowestMs = 100;
    TGameSpeedButton(engine::TSprite* parent, platform::FrameClock& clock);
    void HandleKey(uint16_t key) override;

private:
    platform::FrameClock& clock_;
};

// Enter switches sending games to the online table off and on; its face
// says which. Shown only when a server is set.
class TOnlineTableButton : public TButtonSprite {
public:
    TOnlineTableButton(engine::TSprite* parent, std::function<bool()> sending,
                       std::function<void(bool)> setSending);
    void HandleKey(uint16_t key) override;

private:
    std::function<bool()> sending_;
    std::function<void(bool)> setSending_;
};

// Enter (OnEnter) goes back to the screen the menu names.
class TReturnButton : public TButtonSprite {
public:
    explicit TReturnButton(engine::TSprite* parent);
};

// ---- help: any key shows the button's page on the page sprite -----------

class THelpPageButton : public TButtonSprite {
public:
    // The page and the button's pictures share one name. The help screen
    // makes the page sprite first; the two go together.
    THelpPageButton(engine::TSprite* parent, engine::TImageSprite* pageSprite, const std::string& page,
                    int y);
    void HandleKey(uint16_t key) override;

private:
    engine::TImageSprite* pageSprite_;
    std::string page_;
};

class TGameOverviewButton : public THelpPageButton {
public:
    TGameOverviewButton(engine::TSprite* parent, engine::TImageSprite* pageSprite)
        : THelpPageButton(parent, pageSprite, "GameOverview", 100) {}
};

class TGameRulesButton : public THelpPageButton {
public:
    TGameRulesButton(engine::TSprite* parent, engine::TImageSprite* pageSprite)
        : THelpPageButton(parent, pageSprite, "GameRules", 150) {}
};

class TIntNotesButton : public THelpPageButton {
public:
    TIntNotesButton(engine::TSprite* parent, engine::TImageSprite* pageSprite)
        : THelpPageButton(parent, pageSprite, "InterfaceNotes", 200) {}
};

class TAboutButton : public THelpPageButton {
public:
    TAboutButton(engine::TSprite* parent, engine::TImageSprite* pageSprite)
        : THelpPageButton(parent, pageSprite, "AboutVendra", 250) {}
};

class TCreditsButton : public THelpPageButton {
public:
    TCreditsButton(engine::TSprite* parent, engine::TImageSprite* pageSprite)
        : THelpPageButton(parent, pageSprite, "Credits", 300) {}
};

}  // namespace widgets

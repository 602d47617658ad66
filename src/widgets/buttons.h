// The buttons of the main menu, the options, the help pages and the
// high-score list. Each one is created under the sprite root, places itself
// and performs its own action on the keys the shell hands to it.
#pragma once

#include <cstdint>
#include <string>

#include "shell/main_form.h"
#include "widgets/button.h"

namespace widgets {

// ---- main menu: Enter leaves for another screen -------------------------

class TNewGameButton : public TButtonSprite {
public:
    explicit TNewGameButton(engine::TSprite* parent) : TButtonSprite(parent, "NewGame") {}
    void HandleKey(uint16_t key) override;
};

class TPasswordButton : public TButtonSprite {
public:
    explicit TPasswordButton(engine::TSprite* parent) : TButtonSprite(parent, "Password") {}
    void HandleKey(uint16_t key) override;
};

class TOptionsButton : public TButtonSprite {
public:
    explicit TOptionsButton(engine::TSprite* parent) : TButtonSprite(parent, "Options") {}
    void HandleKey(uint16_t key) override;
};

class THighScoresButton : public TButtonSprite {
public:
    explicit THighScoresButton(engine::TSprite* parent) : TButtonSprite(parent, "High Scores") {}
    void HandleKey(uint16_t key) override;
};

class THelpButton : public TButtonSprite {
public:
    explicit THelpButton(engine::TSprite* parent) : TButtonSprite(parent, "Help") {}
    void HandleKey(uint16_t key) override;
};

class TExitButton : public TButtonSprite {
public:
    explicit TExitButton(engine::TSprite* parent) : TButtonSprite(parent, "Exit") {}
    void HandleKey(uint16_t key) override;
};

// ---- options: Enter switches, Left and Right adjust ----------------------

// Its face names the current game type.
class TGameTypeButton : public TButtonSprite {
public:
    explicit TGameTypeButton(engine::TSprite* parent);
    void HandleKey(uint16_t key) override;
};

// Its face names the mode that Enter switches to.
class TGameModeButton : public TButtonSprite {
public:
    explicit TGameModeButton(engine::TSprite* parent);
    void HandleKey(uint16_t key) override;
};

// Left makes the music quieter, Right louder, in steps of 16 attenuation.
class TMidiVolumeButton : public TButtonSprite {
public:
    static constexpr int kStep = 16;
    explicit TMidiVolumeButton(engine::TSprite* parent);
    void HandleKey(uint16_t key) override;
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
    explicit TGameSpeedButton(engine::TSprite* parent);
    void HandleKey(uint16_t key) override;
};

class TReturnButton : public TButtonSprite {
public:
    TReturnButton(engine::TSprite* parent, shell::TScreenState targetScreen);
    void HandleKey(uint16_t key) override;

    shell::TScreenState TargetScreen;
};

// ---- help: any key shows the button's page -------------------------------

class THelpPageButton : public TButtonSprite {
public:
    // The page and the button's pictures share one name.
    THelpPageButton(engine::TSprite* parent, const std::string& page, int y);
    void HandleKey(uint16_t key) override;

private:
    std::string page_;
};

class TGameOverviewButton : public THelpPageButton {
public:
    explicit TGameOverviewButton(engine::TSprite* parent) : THelpPageButton(parent, "GameOverview", 100) {}
};

class TGameRulesButton : public THelpPageButton {
public:
    explicit TGameRulesButton(engine::TSprite* parent) : THelpPageButton(parent, "GameRules", 150) {}
};

class TIntNotesButton : public THelpPageButton {
public:
    explicit TIntNotesButton(engine::TSprite* parent) : THelpPageButton(parent, "InterfaceNotes", 200) {}
};

class TAboutButton : public THelpPageButton {
public:
    explicit TAboutButton(engine::TSprite* parent) : THelpPageButton(parent, "AboutVendra", 250) {}
};

class TCreditsButton : public THelpPageButton {
public:
    explicit TCreditsButton(engine::TSprite* parent) : THelpPageButton(parent, "Credits", 300) {}
};

}  // namespace widgets

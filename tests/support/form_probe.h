// What the main window keeps for its screens, for a test that sets a screen
// up or looks into it. Tests reach the window's insides only through here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "shell/main_form.h"

namespace testing_support {

class FormProbe {
public:
    explicit FormProbe(shell::TMainForm& form) : form_(form) {}

    // The screen on show, changed without leaving or entering one.
    void SetScreenWithoutEntering(shell::TScreenState state) { form_.State = state; }
    bool& Paused() { return form_.Paused; }
    bool PausedByKey() const { return form_.PausedByKey; }
    int32_t& MenuMemory() { return form_.MenuMemory; }
    int32_t& MainTickCount() { return form_.MainTickCount; }
    int32_t SelectedButton() const { return form_.SelectedButton; }
    int32_t ButtonCount() const { return form_.ButtonCount; }
    widgets::TButtonSprite* Button(int position) { return form_.Buttons[size_t(position)]; }
    actors::TGame* Game() { return form_.Game.get(); }
    game::TTimerManager& Tasks() { return *form_.TimerManager; }
    game::THighScoresCollection& HighScores() { return *form_.HighScores; }
    widgets::TMessageLine& MessageLine() { return *form_.MessageLine; }
    platform::IntervalTimer& MessageLineTimer() { return form_.TimerMessageLine; }
    widgets::TInputLine& InputLine() { return *form_.InputLine; }
    engine::TImageSprite* HelpPage() { return form_.HelpPage; }
    media::ImageList& Images() { return form_.ImageList; }
    media::WaveList& Sounds() { return form_.DXWaveList; }

    // The window's own handlers, called as its timers and the machine would.
    void MessageLineTimerTick() { form_.TimerMessageLineTimer(); }
    void Activate() { form_.FormActivate(); }
    void Deactivate() { form_.FormDeactivate(); }
    void ReadSettings(const std::string& file) { form_.ReadSettings(file); }
    void WriteSettings(const std::string& file) { form_.WriteSettings(file); }
    void CountLevels() { form_.CountLevels(); }
    void LoadImages(int screen) { form_.LoadImages(screen); }
    void LoadSounds() { form_.LoadSounds(); }

private:
    shell::TMainForm& form_;
};

}  // namespace testing_support

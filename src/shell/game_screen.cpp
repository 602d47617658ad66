// The game screen: starting and ending a level and the rules of each frame.
#include "game/globals.h"
#include "game/tasks.h"
#include "shell/main_form.h"

namespace shell {

using namespace game;

void TMainForm::StartLevel() {
    if (CurrentLevel == 0) Lives = 3;
    ++CurrentLevel;
}

void TMainForm::EndLevel() {
    MenuMemory = 1;
    SelectedButton = 1;
    TimerManager->Clear();
    media_.MidiClose();
}

void TMainForm::GameFrame() {}

bool TMainForm::LevelIsDone() const { return false; }

void TMainForm::DebugKey(uint16_t, platform::ShiftState) {}

void TMainForm::SpawnBonus(int) {}

}  // namespace shell

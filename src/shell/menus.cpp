// The menu and information screens.
#include "shell/main_form.h"

namespace shell {

void TMainForm::EnterMainMenu() {}
void TMainForm::EnterHelp() {}
void TMainForm::EnterHighScores() {}
void TMainForm::HighScoresFrame() {}
void TMainForm::EnterNewHighScore() {}
void TMainForm::NewHighScoreFrame() {}
void TMainForm::LeaveNewHighScore() {}
void TMainForm::EnterOptions() {}
void TMainForm::EnterPassword() {}
void TMainForm::PasswordFrame() {}

}  // namespace shell

// The whole visible state of the game as one JSON object, for scripted
// headless runs and their tests.
#pragma once

#include <string>

namespace shell {

class TMainForm;

std::string DumpState(TMainForm& form, int frame);

}  // namespace shell

// Another program run beside the game (the headless runner playing a proof,
// the playtest bot), its output thrown away.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace platform {

// Starts args[0] with the rest as its arguments; 0 when it could not start.
pid_t StartQuietly(std::vector<std::string> args);

// Waits for it to end; true when it ended with status 0.
bool EndedWell(pid_t child);

}  // namespace platform

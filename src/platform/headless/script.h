// The scripted input of a headless run: one command per line, "#" starts a
// comment. "F key K" holds K from before frame F to before frame F+1.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/input.h"
#include "platform/platform.h"

namespace platform {

struct ScriptCommand {
    enum class Kind { Down, Up, Shot, Dump, Deactivate, Activate, Close, Pointer };
    Kind kind = Kind::Dump;
    uint16_t key = 0;
    ShiftState shift = 0;
    std::string name;  // of a shot
    PointerEvent pointer;
};

struct Script {
    // Commands by frame, each frame's in file order; the releases of "key"
    // commands come first in the frame after their press.
    std::map<int, std::vector<ScriptCommand>> byFrame;
};

// Throws std::invalid_argument naming the line of the first bad command.
Script ParseScript(const std::string& text);

}  // namespace platform

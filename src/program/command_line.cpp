#include "program/command_line.h"

#include <string>

namespace program {

game::TStartOptions ReadStartOptions(int count, char** words) {
    game::TStartOptions options;
    for (int i = 0; i < count; ++i) {
        const std::string word = words[i];
        if (word == "Debug") options.Debug = true;
        if (word == "NoMidi") options.NoMidi = true;
        if (word == "FullScreen") options.FullScreen = true;
        if (word == "NoSound") options.NoSound = true;
    }
    return options;
}

}  // namespace program

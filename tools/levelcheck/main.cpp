// levelcheck FILE...: reports, per level file, what makes the level
// unplayable (errors) or awkward (warnings), each with the file and the
// cell. The exit code is 1 when any file has an error.
#include <cstdio>
#include <string>

#include "game/level_check.h"

int main(int argc, char** argv) {
    if (argc < 2 || std::string(argv[1]) == "--help") {
        std::printf(
            "Usage: levelcheck FILE...\n"
            "Checks Munchora level files: the maze size, the start cells of the player, the\n"
            "monsters and the key, that every dot can be reached (gates open only once the\n"
            "key is taken), tunnels through open edges and gates. Prints one line per finding\n"
            "and a summary per file; exits with 1 when any file has an error.\n");
        return argc < 2 ? 2 : 0;
    }
    bool failed = false;
    for (int i = 1; i < argc; ++i) {
        const std::string file = argv[i];
        const game::LevelReport report = game::CheckLevelFile(file);
        int errors = 0, warnings = 0;
        for (const game::LevelFinding& f : report.Findings) {
            std::printf("%s\n", game::FormatFinding(file, f).c_str());
            ++(f.Error ? errors : warnings);
        }
        std::printf("%s: %d dots, %d errors, %d warnings\n", file.c_str(), report.Dots, errors, warnings);
        failed = failed || errors > 0;
    }
    return failed ? 1 : 0;
}

#include "platform/headless/script.h"

#include <sstream>
#include <stdexcept>

namespace platform {

Script ParseScript(const std::string& text) {
    Script script;
    std::map<int, std::vector<ScriptCommand>> releases;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (const size_t hash = line.find('#'); hash != std::string::npos) line.resize(hash);
        std::istringstream words(line);
        std::string frameText, verb, argument, extra;
        if (!(words >> frameText)) continue;
        const auto fail = [&](const std::string& why) {
            throw std::invalid_argument("script line " + std::to_string(number) + ": " + why);
        };
        int frame = 0;
        try {
            size_t used = 0;
            frame = std::stoi(frameText, &used);
            if (used != frameText.size() || frame < 1) fail("frame must be a number from 1");
        } catch (const std::logic_error&) {
            fail("frame must be a number from 1");
        }
        if (!(words >> verb)) fail("missing command");
        ScriptCommand command;
        if (verb == "press" || verb == "move" || verb == "release" || verb == "click") {
            // The pointer at a place of the picture: "F click X Y".
            int x = -1, y = -1;
            if (!(words >> x >> y) || x < 0 || y < 0 || x >= kDisplayWidth || y >= kDisplayHeight)
                fail(verb + " needs a place X Y on the picture");
            if (words >> extra) fail("unexpected '" + extra + "'");
            command.kind = ScriptCommand::Kind::Pointer;
            command.pointer = {verb == "move"      ? PointerAction::Move
                               : verb == "release" ? PointerAction::Release
                                                   : PointerAction::Press,
                               x, y};
            if (verb == "click") {
                ScriptCommand release = command;
                release.pointer.action = PointerAction::Release;
                releases[frame + 1].push_back(release);
            }
            script.byFrame[frame].push_back(command);
            continue;
        }
        words >> argument;
        if (words >> extra) fail("unexpected '" + extra + "'");

        if (verb == "key" || verb == "down" || verb == "up") {
            if (!ParseKeyName(argument, command.key, command.shift)) fail("unknown key '" + argument + "'");
            command.kind = verb == "up" ? ScriptCommand::Kind::Up : ScriptCommand::Kind::Down;
            if (verb == "key") {
                ScriptCommand release = command;
                release.kind = ScriptCommand::Kind::Up;
                releases[frame + 1].push_back(release);
            }
        } else if (verb == "shot") {
            if (argument.empty()) fail("shot needs a name");
            command.kind = ScriptCommand::Kind::Shot;
            command.name = argument;
        } else if (verb == "dump" || verb == "deactivate" || verb == "activate" || verb == "close") {
            if (!argument.empty()) fail(verb + " takes no argument");
            command.kind = verb == "dump"         ? ScriptCommand::Kind::Dump
                           : verb == "deactivate" ? ScriptCommand::Kind::Deactivate
                           : verb == "activate"   ? ScriptCommand::Kind::Activate
                                                  : ScriptCommand::Kind::Close;
        } else {
            fail("unknown command '" + verb + "'");
        }
        script.byFrame[frame].push_back(command);
    }
    for (auto& [frame, list] : releases) {
        auto& commands = script.byFrame[frame];
        commands.insert(commands.begin(), list.begin(), list.end());
    }
    return script;
}

}  // namespace platform

// The game in a web page. The page has put the program directory at
// /munchora/ (packed with the build) and the browser's lasting storage at
// /save/, where the settings and high scores live. main starts the loop and
// returns; the page keeps running it.
#include <emscripten.h>

#include <memory>
#include <string>

#include "platform/web/web_backend.h"
#include "program/command_line.h"
#include "program/settings_place.h"
#include "shell/boot.h"
#include "shell/main_form.h"
#include "shell/state_dump.h"

namespace {

constexpr const char* kProgramDir = "/munchora/";
constexpr const char* kSaveDir = "/save/";

platform::WebBackend* g_machine = nullptr;
shell::TMainForm* g_form = nullptr;

}  // namespace

// The state as the headless runner dumps it, for testers at the page.
extern "C" EMSCRIPTEN_KEEPALIVE const char* munchora_state() {
    static std::string json;
    json = g_form ? shell::DumpState(*g_form, g_machine->Frames()) : "null";
    return json.c_str();
}

int main(int argc, char** argv) {
    // The page passes the words of its address (munchora/?NoMidi).
    static platform::WebBackend machine;
    static platform::Platform media(machine);
    shell::TBootOptions boot;
    boot.startOptions = program::ReadStartOptions(argc - 1, argv + 1);
    boot.programDir = kProgramDir;
    // The packed directory could be written, but only for this visit.
    boot.settingsDir = program::ChooseSettingsDirectory(kProgramDir, kSaveDir, false);
    boot.replayDirectory = boot.settingsDir + shell::kReplaysFolder;
    static const std::unique_ptr<shell::TMainForm> form = shell::Boot(media, boot);
    g_machine = &machine;
    g_form = form.get();
    machine.SetOnEnd([] { form->FormClose(); });
    media.Run(*form);
    return 0;
}

// The game in a web page. The page has put the program directory at
// /munchora/ (packed with the build) and the browser's lasting storage at
// /save/, where the settings and high scores live. main starts the loop and
// returns; the page keeps running it.
#include <emscripten.h>

#include <memory>
#include <string>

#include "platform/web/web_backend.h"
#include "platform/web/web_network.h"
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

// The online table the page found at its own origin, or empty; the
// recording a link asked to watch, or empty.
EM_JS(void, web_online_server, (char* into, int size),
      { stringToUTF8(Module.onlineServer || "", into, size); });
EM_JS(void, web_watch_path, (char* into, int size), { stringToUTF8(Module.watchPath || "", into, size); });
// A shared level set the page's address carried (#levels=), written to a file.
EM_JS(void, web_levels_path, (char* into, int size), { stringToUTF8(Module.levelsPath || "", into, size); });

std::string PageText(void (*read)(char*, int)) {
    char text[2048] = {};
    read(text, int(sizeof text));
    return text;
}

}  // namespace

// A level set dropped onto the page: played from now on.
extern "C" EMSCRIPTEN_KEEPALIVE void munchora_play_levels(const char* path) {
    if (g_form) g_form->PlayLevelSetFile(path);
}

// The state as the headless runner dumps it, for testers at the page.
extern "C" EMSCRIPTEN_KEEPALIVE const char* munchora_state() {
    static std::string json;
    json = g_form ? shell::DumpState(*g_form, g_machine->Frames()) : "null";
    return json.c_str();
}

int main(int argc, char** argv) {
    // The page passes the words of its address (munchora/?NoMidi).
    static platform::WebBackend machine;
    static platform::WebNetwork network;
    static platform::Platform media(machine);
    const std::string watchPath = PageText(web_watch_path);
    if (watchPath.empty()) media.SetNetwork(&network);
    shell::TBootOptions boot;
    boot.startOptions = program::ReadStartOptions(argc - 1, argv + 1);
    boot.programDir = kProgramDir;
    // The packed directory could be written, but only for this visit.
    boot.settingsDir = program::ChooseSettingsDirectory(kProgramDir, kSaveDir, false);
    boot.replayDirectory = boot.settingsDir + shell::kReplaysFolder;
    const std::string levelsPath = PageText(web_levels_path);
    static const std::unique_ptr<shell::TMainForm> form = shell::Boot(media, boot);
    g_machine = &machine;
    g_form = form.get();
    machine.SetOnEnd([] { form->FormClose(); });
    form->OfferOnlineServer(PageText(web_online_server));
    if (!watchPath.empty() && !form->Closing()) form->WatchReplay(watchPath, false);
    if (!levelsPath.empty() && !form->Closing()) form->PlayLevelSetFile(levelsPath);
    media.Run(*form);
    return 0;
}

// The game without a window: the same code on the headless platform, driven
// by a script, with state dumps, screenshots and an event log. Used by the
// tests, the benchmarks and anyone who wants to see a run reproduced.
#include <strings.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "editor/level_set_folder.h"
#include "formats/files.h"
#include "formats/ini_file.h"
#include "platform/curl/curl_network.h"
#include "platform/headless/headless_backend.h"
#include "platform/headless/png_writer.h"
#include "program/command_line.h"
#include "program/playtest_estimator.h"
#include "replay/proofs.h"
#include "shell/boot.h"
#include "shell/main_form.h"
#include "shell/online.h"
#include "shell/state_dump.h"

namespace {

constexpr const char* kUsage =
    "usage: munchora-headless [--data DIR] [--script FILE] [--frames N] [--out DIR] [--utc-ms MS] [--fps]\n"
    "                         [--no-draw] [--replays DIR] [--replay FILE [--verify]]\n"
    "                         [--online URL [--player NAME]] [-- WORD...]\n"
    "       munchora-headless [--data DIR] --verify-each\n"
    "  --data DIR    the program directory (default: the executable's directory)\n"
    "  --script FILE commands, one per line: 'F key K', 'F down K', 'F up K', 'F shot NAME', 'F dump',\n"
    "                'F deactivate', 'F activate', 'F close'\n"
    "  --frames N    stop after N frames (default 1000000)\n"
    "  --out DIR     where final.json, state.jsonl, events.log and shots go (default: .)\n"
    "  --utc-ms MS   the time of day at the start, in milliseconds (default 0)\n"
    "  --fps         print frames, seconds and frames per second\n"
    "  --no-draw     play every rule but draw nothing (shots come out black); --verify without\n"
    "                shots in the script does this too\n"
    "  --replays DIR where the games are recorded (default: replays/ in the settings' directory)\n"
    "  --replay FILE play a recorded game instead, one recorded frame per frame; the script's\n"
    "                shots and dumps still apply\n"
    "  --verify      with --replay: exit 1 unless the game went as recorded (score, level, lives,\n"
    "                high-score place); a line on standard output says how it went\n"
    "  --online URL  play ranked games for the online table at URL, whatever the settings say: each\n"
    "                game fetches a run token when it starts and is sent when it ends, in real time\n"
    "                (the server checks the game's time); each answer on a line 'online: ' + JSON\n"
    "  --player NAME the name the online table shows when the game made no high-score entry\n"
    "  --estimates   the editor's D runs the playtest bot beside the run (the run then depends on its pace)\n"
    "  --levels DIR|FILE  play this level set: a folder of LevelNN.map files, or a shared .mnl file\n"
    "                (kept in levels/ of the settings' directory)\n"
    "  --verify-each verifies the recordings named on standard input, one a line (a tab and a folder\n"
    "                after the name: a game of the level set there), each in a copy of\n"
    "                the started runner; a line of JSON for each: verified, verdict, time_ms\n"
    "  -- WORD...    the game's own words: Debug, NoMidi, NoSound, FullScreen\n";

// How long the runner waits, after its last frame, for the answers to the
// games it sent.
constexpr uint32_t kLastAnswersMs = platform::kRequestTimeoutMs + 1000;

// Writes the table's answer to each game sent on standard output.
class OnlineEcho : public platform::ForwardingEvents {
public:
    using ForwardingEvents::ForwardingEvents;
    void OnNetworkReply(const platform::NetworkReply& reply) override {
        if (reply.purpose == shell::opSubmission && reply.status != 0)
            std::cout << "online: " << reply.body << "\n";
        ForwardingEvents::OnNetworkReply(reply);
    }
};

int UsageError(const std::string& why) {
    std::cerr << "munchora-headless: " << why << "\n" << kUsage;
    return 2;
}

bool ParseNumber(const std::string& text, long long& value) {
    char* end = nullptr;
    value = std::strtoll(text.c_str(), &end, 10);
    return !text.empty() && end && *end == '\0';
}

// Each game is played in a copy of this process made after start-up, so it
// starts from the same fresh window without loading anything again, and
// whatever it changes goes with the copy.
int VerifyEach(shell::TMainForm& form, platform::Platform& media, const std::string& dataDir) {
    // Every picture a game may show, read once here so the copies find it.
    media.KeepPictures(true);
    std::vector<std::string> pictures;
    if (const auto ini = formats::IniFile::Load(dataDir + "Munchora.ini")) {
        for (const std::string& section : ini->SectionNames()) {
            if (section.size() < 5 || strncasecmp(section.c_str(), "scene", 5) != 0) continue;
            for (const std::string& key : ini->ReadSectionKeys(section)) {
                const std::string value = ini->ReadString(section, key, "");
                pictures.push_back(value.substr(0, value.find(',')));
            }
        }
    }
    for (const std::string& name : formats::FindFiles(dataDir + "Levels", "*.bmp"))
        pictures.push_back("\\Levels\\" + name);  // as a level names its background
    for (const std::string& picture : pictures) {
        try {
            media.LoadPicture(dataDir + picture);
        } catch (const std::exception&) {
            // A game that shows it reports it as it would anyway.
        }
    }
    std::string line;
    while (std::getline(std::cin, line)) {
        // "FILE", or "FILE<tab>FOLDER" for a game of the level set in FOLDER.
        const size_t tab = line.find('\t');
        const std::string path = line.substr(0, tab);
        const std::string setFolder = tab == std::string::npos ? "" : line.substr(tab + 1);
        std::cout.flush();
        const pid_t copy = fork();
        if (copy == 0) {
            if (!setFolder.empty()) form.PlayLevelSet(setFolder, "verified");
            const bool playable = !form.Closing() && form.WatchReplay(path, true);
            if (playable) media.Run(form);
            const nlohmann::json line = {{"verified", playable && form.ReplayVerified()},
                                         {"verdict", form.ReplayVerdict()},
                                         {"time_ms", media.TickCount()}};
            std::cout << line.dump() << std::endl;
            _exit(0);
        }
        int status = 0;
        if (copy < 0 || waitpid(copy, &status, 0) != copy || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::cout << nlohmann::json(
                             {{"verified", false}, {"verdict", "the game could not be played again"}})
                      << std::endl;
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string dataDir = formats::ExecutableDirectory();
    std::string scriptPath;
    std::string outDir = ".";
    long long frames = 1000000;
    long long utcMs = 0;
    bool printFps = false;
    std::string replaysDir;
    std::string replayPath;
    bool verify = false;
    bool noDraw = false;
    bool verifyEach = false;
    bool estimates = false;
    std::string onlineServer, playerName, levelSet;
    std::vector<char*> words;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&](std::string& into) {
            if (i + 1 >= argc) return false;
            into = argv[++i];
            return true;
        };
        std::string text;
        if (arg == "--") {
            words.assign(argv + i + 1, argv + argc);
            break;
        } else if (arg == "--data") {
            if (!value(dataDir)) return UsageError("--data needs a directory");
        } else if (arg == "--script") {
            if (!value(scriptPath)) return UsageError("--script needs a file");
        } else if (arg == "--out") {
            if (!value(outDir)) return UsageError("--out needs a directory");
        } else if (arg == "--frames") {
            if (!value(text) || !ParseNumber(text, frames) || frames < 0) return UsageError("bad --frames");
        } else if (arg == "--utc-ms") {
            if (!value(text) || !ParseNumber(text, utcMs) || utcMs < 0) return UsageError("bad --utc-ms");
        } else if (arg == "--fps") {
            printFps = true;
        } else if (arg == "--online") {
            if (!value(onlineServer)) return UsageError("--online needs the server's address");
        } else if (arg == "--levels") {
            if (!value(levelSet)) return UsageError("--levels needs a folder or a .mnl file");
        } else if (arg == "--player") {
            if (!value(playerName)) return UsageError("--player needs a name");
        } else if (arg == "--verify-each") {
            verifyEach = true;
        } else if (arg == "--estimates") {
            estimates = true;
        } else if (arg == "--no-draw") {
            noDraw = true;
        } else if (arg == "--replays") {
            if (!value(replaysDir)) return UsageError("--replays needs a directory");
            if (replaysDir.back() != '/') replaysDir += '/';
        } else if (arg == "--replay") {
            if (!value(replayPath)) return UsageError("--replay needs a file");
        } else if (arg == "--verify") {
            verify = true;
        } else if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        } else {
            return UsageError("unknown argument '" + arg + "'");
        }
    }
    if (dataDir.empty() || dataDir.back() != '/') dataDir += '/';
    if (verify && replayPath.empty()) return UsageError("--verify goes with --replay FILE");

    platform::HeadlessBackend::Options options;
    if (!scriptPath.empty()) {
        const auto bytes = formats::ReadFileBytes(scriptPath);
        if (!bytes) return UsageError("can't read the script " + scriptPath);
        try {
            options.script = platform::ParseScript(std::string(bytes->begin(), bytes->end()));
        } catch (const std::invalid_argument& error) {
            return UsageError(error.what());
        }
    }
    std::error_code ec;
    std::filesystem::create_directories(outDir, ec);
    std::ofstream events(outDir + "/events.log");
    std::ofstream states(outDir + "/state.jsonl");
    if (!events || !states) return UsageError("can't write into " + outDir);

    options.maxFrames = int(frames);
    options.utcMs = utcMs;
    options.realTime = !onlineServer.empty();
    options.dataDirectory = dataDir;
    options.eventLog = verifyEach ? nullptr : &events;
    const bool takesShots =
        std::any_of(options.script.byFrame.begin(), options.script.byFrame.end(), [](const auto& frame) {
            return std::any_of(frame.second.begin(), frame.second.end(),
                               [](const platform::ScriptCommand& c) {
                                   return c.kind == platform::ScriptCommand::Kind::Shot;
                               });
        });
    platform::HeadlessBackend machine(std::move(options));
    platform::Platform media(machine);
    // Whether a game went as recorded is decided by the rules alone.
    media.SetDrawing(!noDraw && !verifyEach && !(verify && !takesShots));

    shell::TBootOptions boot;
    boot.startOptions = program::ReadStartOptions(int(words.size()), words.data());
    boot.programDir = dataDir;
    if (replayPath.empty() && !verifyEach)
        boot.replayDirectory = replaysDir.empty() ? dataDir + shell::kReplaysFolder : replaysDir;
    // Only a run that plays online reaches a network: the rest stay exactly
    // repeatable.
    std::optional<platform::CurlNetwork> network;
    if (!onlineServer.empty() && replayPath.empty() && !verifyEach) {
        network.emplace();
        media.SetNetwork(&*network);
    }
    if (!levelSet.empty()) {
        const editor::TOpenedSet set = editor::OpenLevelSet(levelSet, dataDir + "levels/");
        if (!set.Problem.empty()) {
            std::cerr << "munchora-headless: " << set.Problem << "\n";
            return 1;
        }
        boot.levelSetFolder = set.Folder;
        boot.levelSetName = set.Name;
        if (set.Imported) {
            const auto proven = replay::CheckProofs(set.Folder, dataDir,
                                                    formats::ExecutableDirectory() + "munchora-headless");
            std::cout << "munchora-headless: level set " << set.Name << ": "
                      << replay::DescribeProofs(proven, set.Levels) << "\n";
        }
    }
    const auto started = std::chrono::steady_clock::now();
    const std::unique_ptr<shell::TMainForm> window = shell::Boot(media, boot);
    // A bot beside the run would make it depend on more than its script.
    if (estimates)
        window->UseDifficultyEstimator(std::make_unique<program::PlaytestEstimator>(
            formats::ExecutableDirectory() + "tools/playtest", shell::SettingsDirectory() + "editor-test/"));
    shell::TMainForm& form = *window;
    if (verifyEach) return VerifyEach(form, media, dataDir);
    if (network) form.PlayOnline(onlineServer, playerName);
    OnlineEcho app(form);
    bool shotFailed = false;
    // Shots and dumps are set up after the window exists, as they read it.
    machine.SetOutputHandler([&](const platform::ScriptCommand& command) {
        if (command.kind == platform::ScriptCommand::Kind::Dump) {
            states << shell::DumpState(form, machine.Frame()) << '\n';
        } else if (!platform::SavePng(media.Display(), outDir + "/" + command.name + ".png")) {
            shotFailed = true;
        }
    });

    if (!replayPath.empty() && !form.Closing()) form.WatchReplay(replayPath, true);
    media.Run(app);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    // The answers to the last games sent, before the window goes.
    if (network) machine.FinishRequests(app, kLastAnswersMs);
    form.FormClose();

    std::ofstream(outDir + "/final.json") << shell::DumpState(form, machine.Frame()) << '\n';
    if (printFps) {
        std::printf("frames: %d, seconds: %.3f, fps: %.1f\n", machine.Frame(), seconds,
                    seconds > 0 ? machine.Frame() / seconds : 0.0);
    }
    if (!replayPath.empty()) std::cout << form.ReplayVerdict() << "\n";
    if (shotFailed) {
        std::cerr << "munchora-headless: a screenshot could not be written into " << outDir << "\n";
        return 1;
    }
    return verify && !form.ReplayVerified() ? 1 : 0;
}

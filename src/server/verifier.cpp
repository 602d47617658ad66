#include "server/verifier.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <thread>

#include "formats/files.h"
#include "game/level.h"
#include "replay/replay_file.h"

extern char** environ;

namespace server {

namespace {

// A directory of its own for one verification, gone with it.
class ScratchDirectory {
public:
    ScratchDirectory() {
        std::string pattern = (std::filesystem::temp_directory_path() / "munchora-verify-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ~ScratchDirectory() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// The exit status of the runner, or -1 when it ran past the cap or could
// not start.
int RunCapped(const std::vector<std::string>& arguments, const std::string& output, int capMs) {
    std::vector<char*> argv;
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(capMs);
    for (auto pause = std::chrono::microseconds(200);;
         pause = std::min(pause * 2, std::chrono::microseconds(20000))) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (done < 0) return -1;
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(pause);
    }
}

std::string FirstLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

}  // namespace

std::string DigestHex(uint64_t digest) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(digest));
    return text;
}

Verifier::Verifier(std::string runner, std::string programDir, int timeCapMs)
    : runner_(std::move(runner)), programDir_(std::move(programDir)), timeCapMs_(timeCapMs) {
    board_ = DigestHex(replay::LevelsDigest(programDir_));
    catalogue_ = replay::CatalogueDigest(programDir_);
    levelCount_ = int(formats::FindFiles(programDir_ + "Levels", "*.map").size());
    game::TLevel first;
    if (game::LoadLevel(programDir_ + "Levels/Level01.map", first) == game::LevelLoadResult::Ok)
        firstLevelName_ = first.Name;
}

TVerdict Verifier::Verify(const std::vector<uint8_t>& bytes) const {
    TVerdict verdict;
    replay::TReplay recording;
    if (replay::DecodeReplay(bytes, recording) != replay::TReplayFault::None) {
        verdict.reason = "damaged file";
        return verdict;
    }
    verdict.board = DigestHex(recording.Start.LevelsDigest);
    verdict.name = recording.Entry.Present ? recording.Entry.Name : std::string();
    verdict.score = recording.Result.Score;
    verdict.level = recording.Result.Level;
    verdict.monsters = recording.Result.Monsters;
    verdict.bonuses = recording.Result.Bonuses;
    if (verdict.board != board_) {
        verdict.reason = "unknown level set";
        return verdict;
    }
    if (recording.Start.CatalogueDigest != catalogue_) {
        verdict.reason = "unknown catalogue";
        return verdict;
    }
    const ScratchDirectory scratch;
    if (scratch.Path().empty()) {
        verdict.reason = "the server could not verify it";
        return verdict;
    }
    const std::string file = scratch.Path() + "/game.mnr";
    if (!formats::WriteFileAtomically(file, bytes)) {
        verdict.reason = "the server could not verify it";
        return verdict;
    }
    const std::string said = scratch.Path() + "/verdict.txt";
    const int status =
        RunCapped({runner_, "--data", programDir_, "--replay", file, "--verify", "--out", scratch.Path()},
                  said, timeCapMs_);
    if (status == 1) {
        verdict.reason = "the game went another way than recorded: " + FirstLine(said);
        return verdict;
    }
    if (status != 0) {
        verdict.reason = "the game could not be played again";
        return verdict;
    }
    try {
        std::ifstream final(scratch.Path() + "/final.json");
        const nlohmann::json state = nlohmann::json::parse(final);
        verdict.durationMs = state.at("time_ms").get<int64_t>() - int64_t(recording.Start.StartTime);
    } catch (const std::exception&) {
        verdict.reason = "the game could not be played again";
        return verdict;
    }
    verdict.listed = true;
    return verdict;
}

}  // namespace server

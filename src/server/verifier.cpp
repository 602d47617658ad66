#include "server/verifier.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <thread>

#include "formats/files.h"
#include "game/level.h"
#include "replay/replay_file.h"

extern char** environ;

namespace server {

// A directory of its own, gone with it.
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

// A started munchora-headless --verify-each: a path a line in, a line of
// JSON a game out.
class RunnerProcess {
public:
    RunnerProcess(const std::string& runner, const std::string& programDir) {
        if (scratch_.Path().empty()) return;
        int toRunner[2], fromRunner[2];
        if (pipe2(toRunner, O_CLOEXEC) != 0) return;
        if (pipe2(fromRunner, O_CLOEXEC) != 0) {
            close(toRunner[0]);
            close(toRunner[1]);
            return;
        }
        std::vector<std::string> arguments = {runner,  "--data",        programDir,
                                              "--out", scratch_.Path(), "--verify-each"};
        std::vector<char*> argv;
        for (std::string& a : arguments) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, toRunner[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, fromRunner[1], STDOUT_FILENO);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        const bool spawned = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) == 0;
        posix_spawn_file_actions_destroy(&actions);
        close(toRunner[0]);
        close(fromRunner[1]);
        input_ = toRunner[1];
        output_ = fromRunner[0];
        if (!spawned) pid_ = -1;
    }

    ~RunnerProcess() {
        if (input_ >= 0) close(input_);
        if (output_ >= 0) close(output_);
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }

    bool Alive() const { return pid_ > 0; }

    // The runner's line for one recording; nothing when it did not answer
    // within the cap (it is then ended, with the game it played).
    std::optional<std::string> Play(const std::string& path, int capMs) {
        const std::string line = path + "\n";
        if (write(input_, line.data(), line.size()) != ssize_t(line.size())) return Fail();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(capMs);
        for (;;) {
            const size_t end = buffer_.find('\n');
            if (end != std::string::npos) {
                std::string answer = buffer_.substr(0, end);
                buffer_.erase(0, end + 1);
                return answer;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) return Fail();
            pollfd ready{output_, POLLIN, 0};
            if (poll(&ready, 1, int(left.count())) <= 0) continue;
            char chunk[4096];
            const ssize_t got = read(output_, chunk, sizeof chunk);
            if (got <= 0) return Fail();
            buffer_.append(chunk, size_t(got));
        }
    }

private:
    std::optional<std::string> Fail() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        pid_ = -1;
        return std::nullopt;
    }

    ScratchDirectory scratch_;  // where the runner writes its logs
    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    std::string buffer_;
};

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

Verifier::~Verifier() = default;

std::unique_ptr<RunnerProcess> Verifier::TakeRunner() const {
    {
        std::lock_guard lock(mutex_);
        if (!idle_.empty()) {
            std::unique_ptr<RunnerProcess> runner = std::move(idle_.back());
            idle_.pop_back();
            return runner;
        }
    }
    return std::make_unique<RunnerProcess>(runner_, programDir_);
}

void Verifier::GiveBack(std::unique_ptr<RunnerProcess> runner) const {
    if (!runner->Alive()) return;  // a new one starts when it is wanted
    std::lock_guard lock(mutex_);
    idle_.push_back(std::move(runner));
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
    // The server's own levels, or a level set it keeps.
    std::string setFolder;
    if (verdict.board != board_) {
        const auto stored = folderOf_ ? folderOf_(verdict.board) : std::nullopt;
        if (!stored) {
            verdict.reason = "unknown level set";
            return verdict;
        }
        setFolder = *stored;
    }
    if (recording.Start.CatalogueDigest != catalogue_) {
        verdict.reason = "unknown catalogue";
        return verdict;
    }
    const ScratchDirectory scratch;
    const std::string file = scratch.Path() + "/game.mnr";
    if (scratch.Path().empty() || !formats::WriteFileAtomically(file, bytes)) {
        verdict.reason = "the server could not verify it";
        return verdict;
    }
    std::unique_ptr<RunnerProcess> runner = TakeRunner();
    const std::optional<std::string> said =
        runner->Alive() ? runner->Play(setFolder.empty() ? file : file + "\t" + setFolder, timeCapMs_)
                        : std::nullopt;
    GiveBack(std::move(runner));
    if (!said) {
        verdict.reason = "the game could not be played again within the time cap";
        return verdict;
    }
    try {
        const nlohmann::json answer = nlohmann::json::parse(*said);
        if (!answer.at("verified").get<bool>()) {
            verdict.reason =
                "the game went another way than recorded: " + answer.at("verdict").get<std::string>();
            return verdict;
        }
        verdict.durationMs = answer.at("time_ms").get<int64_t>() - int64_t(recording.Start.StartTime);
    } catch (const std::exception&) {
        verdict.reason = "the game could not be played again";
        return verdict;
    }
    verdict.listed = true;
    return verdict;
}

}  // namespace server

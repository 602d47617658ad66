#include "program/playtest_estimator.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <vector>

#include "formats/files.h"

extern char** environ;

namespace program {

namespace {

// Few games: an estimate in seconds, good to about twenty points.
constexpr const char* kGames = "5";
constexpr const char* kCatchSeeds = "3";

}  // namespace

PlaytestEstimator::~PlaytestEstimator() {
    if (child_ > 0) {
        kill(child_, SIGTERM);
        waitpid(child_, nullptr, 0);
    }
}

bool PlaytestEstimator::Start(const std::string& levelFile) {
    if (child_ > 0 || !formats::FileExists(tool_) || !formats::MakeDirectories(work_)) return false;
    const std::string results = work_ + "estimate.json";
    formats::RemoveFile(results);
    std::vector<std::string> args = {tool_,       "--profiles", "all", "--games", kGames,  "--catch-seeds",
                                     kCatchSeeds, "--jobs",     "1",   "--json",  results, levelFile};
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const bool started = posix_spawn(&child_, tool_.c_str(), &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    if (!started) child_ = 0;
    return started;
}

std::optional<std::string> PlaytestEstimator::Poll() {
    if (child_ <= 0) return std::string();
    int status = 0;
    if (waitpid(child_, &status, WNOHANG) != child_) return std::nullopt;
    child_ = 0;
    // The tool's exit status says whether the targets were met; the results
    // are there either way.
    const auto bytes = formats::ReadFileBytes(work_ + "estimate.json");
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

}  // namespace program

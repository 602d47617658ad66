#include "program/playtest_estimator.h"

#include <signal.h>
#include <sys/wait.h>

#include "formats/files.h"
#include "platform/process.h"

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
    child_ = platform::StartQuietly({tool_, "--profiles", "all", "--games", kGames, "--catch-seeds",
                                     kCatchSeeds, "--jobs", "1", "--json", results, levelFile});
    return child_ > 0;
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

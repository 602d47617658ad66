// The editor's difficulty estimate on the desktop: the playtest tool of the
// build, a few games of each player profile, in a process of its own.
#pragma once

#include <sys/types.h>

#include <string>

#include "shell/difficulty.h"

namespace program {

class PlaytestEstimator : public shell::TDifficultyEstimator {
public:
    // `tool`: the playtest program; `work`: a folder for its results.
    PlaytestEstimator(std::string tool, std::string work) : tool_(std::move(tool)), work_(std::move(work)) {}
    ~PlaytestEstimator() override;

    bool Start(const std::string& levelFile) override;
    std::optional<std::string> Poll() override;

private:
    std::string tool_, work_;
    pid_t child_ = 0;
};

}  // namespace program

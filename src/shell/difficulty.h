// How hard a level plays, estimated on demand for the editor by the
// playtest bot in a process of its own, so that the editor stays
// responsive. Where no such process can run (the browser, an installed game
// without the tool) there is no estimate.
#pragma once

#include <memory>
#include <optional>
#include <string>

namespace shell {

class TDifficultyEstimator {
public:
    virtual ~TDifficultyEstimator() = default;
    // Starts on the level file; false when no estimate can be made here.
    virtual bool Start(const std::string& levelFile) = 0;
    // The bot's results as JSON once it has finished, or its failure as an
    // empty text; nullopt while it still plays.
    virtual std::optional<std::string> Poll() = 0;
};

// The estimate for the editor's status lines: the bot's clear rates per
// profile and the first catches, beside what docs/levels.md asks of a level.
std::string DescribeEstimate(const std::string& json);

}  // namespace shell

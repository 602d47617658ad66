// Plays a submitted recording again and says whether it is listed. Each
// verifying thread has a headless runner of its own, started once on the
// server's program directory (munchora-headless --verify-each): it plays
// each game in a copy of itself made after its start-up, without drawing,
// and a game that runs past the time cap ends with that runner.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "server/score_store.h"

namespace server {

class RunnerProcess;

class Verifier {
public:
    // runner: the munchora-headless executable; programDir: with its levels,
    // tunes and catalogue, and a trailing separator.
    Verifier(std::string runner, std::string programDir, int timeCapMs);
    ~Verifier();

    // The level set and catalogue the server verifies against.
    const std::string& Board() const { return board_; }
    uint64_t CatalogueDigest() const { return catalogue_; }
    int LevelCount() const { return levelCount_; }
    const std::string& FirstLevelName() const { return firstLevelName_; }

    TVerdict Verify(const std::vector<uint8_t>& replay) const;

    // Where a stored level set of the given digest lies, so that its games
    // are verified too; nullopt for a digest it does not know.
    void VerifyLevelSets(std::function<std::optional<std::string>(const std::string& digest)> folderOf) {
        folderOf_ = std::move(folderOf);
    }

private:
    std::unique_ptr<RunnerProcess> TakeRunner() const;
    void GiveBack(std::unique_ptr<RunnerProcess> runner) const;

    std::string runner_;
    std::string programDir_;
    std::function<std::optional<std::string>(const std::string&)> folderOf_;
    int timeCapMs_;
    std::string board_;
    uint64_t catalogue_ = 0;
    int levelCount_ = 0;
    std::string firstLevelName_;
    mutable std::mutex mutex_;
    mutable std::vector<std::unique_ptr<RunnerProcess>> idle_;
};

// A digest as the API shows it.
std::string DigestHex(uint64_t digest);

}  // namespace server

// Plays a submitted recording again and says whether it is listed: the
// headless runner plays it in a process of its own, without drawing and
// under a time cap, on the program directory the server was given.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "server/score_store.h"

namespace server {

class Verifier {
public:
    // runner: the munchora-headless executable; programDir: with its levels,
    // tunes and catalogue, and a trailing separator.
    Verifier(std::string runner, std::string programDir, int timeCapMs);

    // The level set and catalogue the server verifies against.
    const std::string& Board() const { return board_; }
    uint64_t CatalogueDigest() const { return catalogue_; }
    int LevelCount() const { return levelCount_; }
    const std::string& FirstLevelName() const { return firstLevelName_; }

    TVerdict Verify(const std::vector<uint8_t>& replay) const;

private:
    std::string runner_;
    std::string programDir_;
    int timeCapMs_;
    std::string board_;
    uint64_t catalogue_ = 0;
    int levelCount_ = 0;
    std::string firstLevelName_;
};

// A digest as the API shows it.
std::string DigestHex(uint64_t digest);

}  // namespace server

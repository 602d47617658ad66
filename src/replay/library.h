// The recordings kept in one directory, "game-000001.mnr" and up: the next
// number for a new one, the newest twenty and those behind the high-score
// table kept, and the best one that can be played here for the demo.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "game/high_scores.h"
#include "replay/replay_file.h"

namespace replay {

// What a recording must have been made with to play here.
struct TDataDigests {
    uint64_t levels = 0;
    uint64_t catalogue = 0;
};

// Those of the level set being played and the program's catalogue.
TDataDigests CurrentDigests();

// "" when the file can be played with these digests, else why not.
std::string CheckReplay(const std::string& path, TReplay& replay, const TDataDigests& digests);

// Whether a recording is the game behind a high-score entry.
bool IsBehindEntry(const TReplay& replay, const game::THighScoreRecord& entry);

class TLibrary {
public:
    // The directory with its trailing separator; empty: no recordings.
    explicit TLibrary(std::string directory) : directory_(std::move(directory)) {}

    const std::string& Directory() const { return directory_; }
    // The name a new recording takes: the number after the highest there.
    std::string NextName() const;
    // Writes a recording under `name`; false when it could not be written.
    bool Write(const std::string& name, const TReplay& replay) const;
    // Deletes all but the newest twenty and those behind an entry of the table.
    void Prune(const game::THighScoresCollection& table) const;
    // Whether entry i of the table has a recording here.
    std::vector<bool> Marks(const game::THighScoresCollection& table) const;
    // The highest-scoring recording that plays with these digests, or null.
    std::unique_ptr<TReplay> Best(const TDataDigests& digests) const;

private:
    std::string directory_;
};

}  // namespace replay

// The level sets the online table keeps for everyone: a shared set is
// stored only when each of its levels is proven (its proof played again
// here on that level alone), pictures left out (the game draws them), under
// the digest the game's recordings name it by.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace server {

struct TStoredSet {
    std::string digest;  // 16 hex digits
    std::string name;
    int levels = 0;
};

struct TAddedSet {
    std::optional<TStoredSet> stored;
    std::string refusal;  // why not, in the game's words
    bool known = false;   // stored before
};

class LevelSetLibrary {
public:
    // `folder`: where the sets are kept; `programDir` and `runner`: what
    // plays the proofs again.
    LevelSetLibrary(std::string folder, std::string programDir, std::string runner);

    TAddedSet Add(const std::vector<uint8_t>& pack, const std::string& name);
    std::vector<TStoredSet> List() const;
    // The folder of a stored set, or nullopt.
    std::optional<std::string> Folder(const std::string& digest) const;
    // The stored set as a pack, or nullopt.
    std::optional<std::vector<uint8_t>> Pack(const std::string& digest) const;

private:
    std::string folder_, programDir_, runner_;
    mutable std::mutex mutex_;
};

}  // namespace server

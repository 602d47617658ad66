// The headless runner's side of the online table: a run token fetched when
// a game starts, and the games played with one sent when the run ends.
#pragma once

#include <string>
#include <vector>

#include "replay/replay_file.h"

namespace program {

class OnlineClient {
public:
    // server: "http://host:port"; playerName may be empty.
    OnlineClient(std::string server, std::string playerName);

    // A fresh token for a game starting now; offline (no token) when the
    // server does not give one, with the reason on standard error.
    replay::TOnlinePlay StartGame();
    // Sends every recording in `directory` played with a token of this
    // run; a line for each on standard output ("online: " and the server's
    // answer). false when one could not be sent.
    bool SendGames(const std::string& directory);

private:
    std::string server_;
    std::string playerName_;
    std::string playerId_;
    std::vector<std::string> tokens_;
};

}  // namespace program

// The online table's HTTP service: the routes of /api, the workers that
// verify what is sent, and the files of the browser build on the same
// origin.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "server/level_set_library.h"
#include "server/rate_limit.h"
#include "server/run_tokens.h"
#include "server/score_store.h"
#include "server/verifier.h"

namespace httplib {
class Server;
}

namespace server {

struct TServiceOptions {
    std::string staticDirectory;  // empty: none
    int workers = 1;
    // How long a submission waits for its verdict before it is answered
    // "pending".
    int answerWithinMs = 5000;
    // Submissions a minute from one address.
    int submissionsPerMinute = 30;
};

class Service {
public:
    Service(ScoreStore& store, const Verifier& verifier, const RunTokens& tokens, LevelSetLibrary& levelSets,
            TServiceOptions options);
    ~Service();

    // Serves until Stop; false when the address cannot be bound. port 0:
    // any free port, which `Port` then tells.
    bool Listen(const std::string& address, int port, const std::function<void(int port)>& listening);
    void Stop();

private:
    void Routes();
    void Work();
    // Wakes a worker for a new submission, and whoever waits for a verdict.
    void Notify();

    ScoreStore& store_;
    const Verifier& verifier_;
    const RunTokens& tokens_;
    LevelSetLibrary& levelSets_;
    TServiceOptions options_;
    RateLimit rateLimit_;
    std::unique_ptr<httplib::Server> http_;
    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable changed_;
    uint64_t generation_ = 0;  // counts submissions and verdicts
    bool stopping_ = false;
    // A stop may come before the server listens, or while it starts to.
    std::atomic<bool> stopRequested_ = false;
    std::atomic<bool> listening_ = false;
};

}  // namespace server

// The desktop's network: libcurl on one worker thread, one request at a
// time, so the game's thread never waits for a server.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/network.h"

namespace platform {

class CurlNetwork : public Network {
public:
    CurlNetwork();
    // Stops the request in progress and drops those not started.
    ~CurlNetwork() override;
    CurlNetwork(const CurlNetwork&) = delete;
    CurlNetwork& operator=(const CurlNetwork&) = delete;

    void Start(uint32_t request, const NetworkRequest& what) override;
    std::vector<NetworkReply> TakeReplies() override;
    size_t Outstanding() const override;

private:
    struct Job {
        uint32_t request;
        NetworkRequest what;
    };
    void Work();
    NetworkReply Perform(const Job& job);

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> jobs_;
    std::vector<NetworkReply> replies_;
    size_t outstanding_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread worker_;
};

}  // namespace platform

// The browser's network: the page's fetch(), whose answers come back on the
// game's own thread between frames.
#pragma once

#include "platform/network.h"

namespace platform {

class WebNetwork : public Network {
public:
    void Start(uint32_t request, const NetworkRequest& what) override;
    std::vector<NetworkReply> TakeReplies() override;
    size_t Outstanding() const override { return outstanding_; }

    // Called by the fetch when it ends.
    void Finished(NetworkReply reply);

private:
    std::vector<NetworkReply> replies_;
    size_t outstanding_ = 0;
};

}  // namespace platform

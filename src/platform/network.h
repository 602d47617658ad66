// Requests to the online table and their replies. A machine starts a
// request and never waits for it; the reply comes back later through the
// dispatcher as a call on the loop thread, which a recording writes down
// like every other call, so a recorded game sees the same replies again.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// The largest reply body a game accepts; a longer one is a failed request.
constexpr size_t kMaxReplyBytes = 2 << 20;
// How long a request may take, connecting included.
constexpr int kRequestTimeoutMs = 5000;

struct NetworkRequest {
    // The caller's own mark, handed back with the reply.
    uint8_t purpose = 0;
    std::string method = "GET";
    std::string url;
    std::string body;
    std::string contentType;
};

struct NetworkReply {
    uint32_t request = 0;
    uint8_t purpose = 0;
    // The HTTP status; 0 when no answer came (no server, a timeout, a
    // refused certificate), with the reason as the body.
    uint16_t status = 0;
    std::string body;

    bool operator==(const NetworkReply&) const = default;
};

class Network {
public:
    virtual ~Network() = default;
    // Starts a request and returns at once.
    virtual void Start(uint32_t request, const NetworkRequest& what) = 0;
    // The replies that came since the last call, oldest first.
    virtual std::vector<NetworkReply> TakeReplies() = 0;
    // Requests started and not yet taken back as replies.
    virtual size_t Outstanding() const = 0;
};

}  // namespace platform

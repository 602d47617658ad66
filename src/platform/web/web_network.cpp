#include "platform/web/web_network.h"

#include <emscripten/fetch.h>

#include <cstring>
#include <memory>

namespace platform {

namespace {

// What a fetch in flight keeps alive until it ends.
struct InFlight {
    WebNetwork* network;
    uint32_t request;
    uint8_t purpose;
    std::string body;
    std::string contentType;
    const char* headers[3];
};

void Ended(emscripten_fetch_t* fetch) {
    std::unique_ptr<InFlight> flight(static_cast<InFlight*>(fetch->userData));
    NetworkReply reply{flight->request, flight->purpose, 0, ""};
    // A status of 0 is no answer at all: no server, a timeout, a refused origin.
    if (fetch->status > 0 && fetch->status < 1000) {
        reply.status = fetch->status;
        if (fetch->numBytes > kMaxReplyBytes) {
            reply = {flight->request, flight->purpose, 0, "the answer was too long"};
        } else {
            reply.body.assign(fetch->data, size_t(fetch->numBytes));
        }
    } else {
        reply.body = "the online table cannot be reached";
    }
    emscripten_fetch_close(fetch);
    flight->network->Finished(std::move(reply));
}

}  // namespace

void WebNetwork::Start(uint32_t request, const NetworkRequest& what) {
    auto flight =
        std::make_unique<InFlight>(InFlight{this, request, what.purpose, what.body, what.contentType, {}});
    emscripten_fetch_attr_t attr;
    emscripten_fetch_attr_init(&attr);
    std::strncpy(attr.requestMethod, what.method.c_str(), sizeof attr.requestMethod - 1);
    attr.attributes = EMSCRIPTEN_FETCH_LOAD_TO_MEMORY;
    attr.timeoutMSecs = kRequestTimeoutMs;
    attr.onsuccess = Ended;
    attr.onerror = Ended;
    if (!flight->body.empty()) {
        attr.requestData = flight->body.data();
        attr.requestDataSize = flight->body.size();
    }
    if (!flight->contentType.empty()) {
        flight->headers[0] = "Content-Type";
        flight->headers[1] = flight->contentType.c_str();
        flight->headers[2] = nullptr;
        attr.requestHeaders = flight->headers;
    }
    attr.userData = flight.release();
    ++outstanding_;
    emscripten_fetch(&attr, what.url.c_str());
}

void WebNetwork::Finished(NetworkReply reply) { replies_.push_back(std::move(reply)); }

std::vector<NetworkReply> WebNetwork::TakeReplies() {
    std::vector<NetworkReply> taken;
    taken.swap(replies_);
    outstanding_ -= taken.size();
    return taken;
}

}  // namespace platform

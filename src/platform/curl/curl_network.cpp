#include "platform/curl/curl_network.h"

#include <curl/curl.h>

namespace platform {

namespace {

struct Transfer {
    std::string body;
    bool tooLong = false;
    const std::atomic<bool>* stopping;
};

size_t Collect(char* data, size_t size, size_t count, void* user) {
    auto& transfer = *static_cast<Transfer*>(user);
    const size_t bytes = size * count;
    if (transfer.body.size() + bytes > kMaxReplyBytes) {
        transfer.tooLong = true;
        return 0;  // ends the transfer
    }
    transfer.body.append(data, bytes);
    return bytes;
}

// A transfer in progress ends as soon as the game closes.
int Progress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<Transfer*>(user)->stopping->load() ? 1 : 0;
}

}  // namespace

CurlNetwork::CurlNetwork() {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    worker_ = std::thread([this] { Work(); });
}

CurlNetwork::~CurlNetwork() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    worker_.join();
    curl_global_cleanup();
}

void CurlNetwork::Start(uint32_t request, const NetworkRequest& what) {
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back({request, what});
        ++outstanding_;
    }
    wake_.notify_one();
}

std::vector<NetworkReply> CurlNetwork::TakeReplies() {
    std::lock_guard lock(mutex_);
    std::vector<NetworkReply> taken;
    taken.swap(replies_);
    outstanding_ -= taken.size();
    return taken;
}

size_t CurlNetwork::Outstanding() const {
    std::lock_guard lock(mutex_);
    return outstanding_;
}

void CurlNetwork::Work() {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (stopping_) return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        NetworkReply reply = Perform(job);
        std::lock_guard lock(mutex_);
        replies_.push_back(std::move(reply));
    }
}

NetworkReply CurlNetwork::Perform(const Job& job) {
    NetworkReply reply{job.request, job.what.purpose, 0, ""};
    CURL* curl = curl_easy_init();
    if (!curl) {
        reply.body = "the network library could not start";
        return reply;
    }
    Transfer transfer{"", false, &stopping_};
    curl_slist* headers = nullptr;
    if (!job.what.contentType.empty())
        headers = curl_slist_append(headers, ("Content-Type: " + job.what.contentType).c_str());
    curl_easy_setopt(curl, CURLOPT_URL, job.what.url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, long(kRequestTimeoutMs));
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, long(kRequestTimeoutMs));
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, Progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    if (headers) curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    if (job.what.method == "POST") {
        curl_easy_setopt(curl, CURLOPT_POST, 1L);
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, job.what.body.data());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(job.what.body.size()));
    }
    const CURLcode result = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    if (result == CURLE_OK && status > 0 && status < 1000) {
        reply.status = uint16_t(status);
        reply.body = std::move(transfer.body);
    } else if (transfer.tooLong) {
        reply.body = "the answer was too long";
    } else {
        reply.body = curl_easy_strerror(result);
    }
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
    return reply;
}

}  // namespace platform

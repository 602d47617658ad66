// How often one address may submit: a bucket of `perMinute` submissions
// that refills evenly. Addresses are kept in memory only, never stored, and
// forgotten once their bucket is full again.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>

namespace server {

class RateLimit {
public:
    explicit RateLimit(int perMinute) : perMinute_(perMinute) {}

    // Takes one submission from the address's bucket; false when it is empty.
    bool Allow(const std::string& address, int64_t nowMs);

private:
    struct Bucket {
        double left = 0;
        int64_t at = 0;
    };

    int perMinute_;
    std::mutex mutex_;
    std::unordered_map<std::string, Bucket> buckets_;
    int64_t lastSweep_ = 0;
};

}  // namespace server

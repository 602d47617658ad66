#include "server/rate_limit.h"

#include <algorithm>

namespace server {

bool RateLimit::Allow(const std::string& address, int64_t nowMs) {
    std::lock_guard lock(mutex_);
    const double perMs = perMinute_ / 60000.0;
    if (nowMs - lastSweep_ > 60000) {
        // A bucket full again says nothing the next request would not.
        std::erase_if(buckets_, [&](const auto& entry) {
            return entry.second.left + double(nowMs - entry.second.at) * perMs >= perMinute_;
        });
        lastSweep_ = nowMs;
    }
    auto [it, added] = buckets_.try_emplace(address, Bucket{double(perMinute_), nowMs});
    Bucket& bucket = it->second;
    bucket.left = std::min<double>(perMinute_, bucket.left + double(nowMs - bucket.at) * perMs);
    bucket.at = nowMs;
    if (bucket.left < 1) return false;
    bucket.left -= 1;
    return true;
}

}  // namespace server

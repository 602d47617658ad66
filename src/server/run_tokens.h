// Run tokens: what the server hands a game when it starts, signed with the
// server's secret, so that a submitted game shows when it was begun and that
// it began here. "<issued ms>.<random>.<HMAC-SHA256 of both>", hexadecimal.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace server {

class RunTokens {
public:
    // Reads the secret from `path`, or makes a new one there (mode 0600) when
    // the file does not exist. Throws std::runtime_error with the reason
    // when it can do neither.
    explicit RunTokens(const std::string& path);

    std::string Issue(int64_t nowMs) const;
    // When a token of ours was issued; nothing for a forged or malformed one.
    std::optional<int64_t> IssuedAt(const std::string& token) const;

private:
    std::string Sign(const std::string& text) const;

    std::string secret_;
};

}  // namespace server

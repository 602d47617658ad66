#include "server/run_tokens.h"

#include <fcntl.h>
#include <openssl/crypto.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace server {

namespace {

constexpr size_t kSecretBytes = 32;
constexpr size_t kNonceBytes = 16;

std::string Hex(const unsigned char* data, size_t size) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (size_t i = 0; i < size; ++i) {
        text += digits[data[i] >> 4];
        text += digits[data[i] & 15];
    }
    return text;
}

std::string RandomHex(size_t bytes) {
    std::vector<unsigned char> random(bytes);
    if (RAND_bytes(random.data(), int(bytes)) != 1) throw std::runtime_error("no random numbers for a token");
    return Hex(random.data(), bytes);
}

}  // namespace

RunTokens::RunTokens(const std::string& path) {
    std::ifstream in(path);
    if (in) {
        std::getline(in, secret_);
        if (secret_.size() != 2 * kSecretBytes)
            throw std::runtime_error("the secret in " + path + " is damaged");
        return;
    }
    secret_ = RandomHex(kSecretBytes);
    // Made with its mode from the start, and only when it does not exist.
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0)
        throw std::runtime_error("can't make the secret file " + path + " (--secret-file names another)");
    const std::string line = secret_ + "\n";
    const bool written = write(fd, line.data(), line.size()) == ssize_t(line.size());
    if (close(fd) != 0 || !written) throw std::runtime_error("can't write the secret file " + path);
}

std::string RunTokens::Sign(const std::string& text) const {
    unsigned char mac[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    HMAC(EVP_sha256(), secret_.data(), int(secret_.size()),
         reinterpret_cast<const unsigned char*>(text.data()), text.size(), mac, &size);
    return Hex(mac, size);
}

std::string RunTokens::Issue(int64_t nowMs) const {
    const std::string text = std::to_string(nowMs) + "." + RandomHex(kNonceBytes);
    return text + "." + Sign(text);
}

std::optional<int64_t> RunTokens::IssuedAt(const std::string& token) const {
    const size_t first = token.find('.');
    const size_t last = token.rfind('.');
    if (first == std::string::npos || first == last || first == 0 || first > 15) return std::nullopt;
    const std::string text = token.substr(0, last);
    const std::string mac = token.substr(last + 1);
    const std::string wanted = Sign(text);
    if (mac.size() != wanted.size() || CRYPTO_memcmp(mac.data(), wanted.data(), mac.size()) != 0)
        return std::nullopt;
    const std::string issued = token.substr(0, first);
    if (issued.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    return std::stoll(issued);
}

}  // namespace server

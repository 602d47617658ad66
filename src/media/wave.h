// A wave sound: the checked bytes of a RIFF WAVE file. A backend turns it
// into its own voice data the first time it is played.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace media {

class Wave {
public:
    explicit Wave(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

    const std::vector<uint8_t>& Bytes() const { return bytes_; }

    // Backend data made from the bytes, kept with the wave.
    struct Voice {
        virtual ~Voice() = default;
    };
    Voice* BackendVoice() const { return voice_.get(); }
    void SetBackendVoice(std::unique_ptr<Voice> voice) { voice_ = std::move(voice); }

private:
    std::vector<uint8_t> bytes_;
    std::unique_ptr<Voice> voice_;
};

}  // namespace media

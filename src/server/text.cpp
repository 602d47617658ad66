#include "server/text.h"

#include <stdexcept>

namespace server {

std::string EightBitToUtf8(const std::string& text) {
    std::string utf8;
    for (unsigned char c : text) {
        if (c < 0x80) {
            utf8 += char(c);
        } else {
            utf8 += char(0xC0 | (c >> 6));
            utf8 += char(0x80 | (c & 0x3F));
        }
    }
    return utf8;
}

std::string Utf8ToEightBit(const std::string& text) {
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = text[i];
        if (c < 0x80) {
            bytes += char(c);
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < text.size()) {
            bytes += char((c & 0x03) << 6 | (text[++i] & 0x3F));
        } else {
            throw std::runtime_error("a name outside the game's 8-bit text");
        }
    }
    return bytes;
}

}  // namespace server

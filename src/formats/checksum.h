// The CRC-32 of zlib and PNG, which the game's own files end with.
#pragma once

#include <cstddef>
#include <cstdint>

namespace formats {

uint32_t Crc32(const uint8_t* data, size_t size);

}  // namespace formats

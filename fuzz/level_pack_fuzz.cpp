#include <cstddef>
#include <cstdint>

#include "checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (fuzz::CheckLevelPack(data, size) != nullptr) __builtin_trap();
    return 0;
}

#include "game/random.h"

namespace game {

uint32_t RandSeed = 0;

namespace {
std::function<int64_t()> g_clock;
}

uint32_t Random(uint32_t n) {
    RandSeed = RandSeed * 134775813u + 1u;
    return uint32_t((uint64_t(RandSeed) * n) >> 32);
}

void SetRandomClock(std::function<int64_t()> utcMillisOfDay) { g_clock = std::move(utcMillisOfDay); }

void ReseedFromClock() {
    // ((hour x 60 + minute) x 60 + second) x 1000 + millisecond
    if (g_clock) RandSeed = uint32_t(g_clock() % 86400000);
}

}  // namespace game

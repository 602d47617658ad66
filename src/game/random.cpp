#include "game/random.h"

#include "game/globals.h"

namespace game {

namespace {
std::function<int64_t()> g_clock;
}

uint32_t Random(uint32_t n) {
    State.RandSeed = State.RandSeed * 134775813u + 1u;
    return uint32_t((uint64_t(State.RandSeed) * n) >> 32);
}

void SetRandomClock(std::function<int64_t()> utcMillisOfDay) { g_clock = std::move(utcMillisOfDay); }

void ReseedFromClock() {
    // ((hour x 60 + minute) x 60 + second) x 1000 + millisecond
    if (g_clock) State.RandSeed = uint32_t(g_clock() % 86400000);
}

}  // namespace game

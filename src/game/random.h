// The program's one random number generator: a 32-bit linear congruential
// generator whose seed, State.RandSeed, is 0 at start. Only drawing a bonus
// cell reseeds it from the time of day, so runs are otherwise repeatable.
#pragma once

#include <cstdint>
#include <functional>

namespace game {

// A number from 0 to n - 1 (n taken as an unsigned 32-bit count).
uint32_t Random(uint32_t n);

// Milliseconds since midnight UTC, as the platform's clock tells them.
void SetRandomClock(std::function<int64_t()> utcMillisOfDay);
void ReseedFromClock();

}  // namespace game

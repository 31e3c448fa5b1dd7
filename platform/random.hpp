// The program's random generator: the classic C library linear congruential generator,
// so that a recorded seed replays a game exactly on every machine. Each thread has its own.
#pragma once

#include <cstdint>

namespace platform {

void seedRandom(std::uint32_t seed);

// 0 .. 32767. Game objects draw in a fixed order; that order is part of the behaviour.
int nextRandom();

// As `count` calls of nextRandom, in a few steps whatever the count.
void skipRandom(std::uint32_t count);

// The generator's whole state, for replays and tests.
std::uint32_t randomState();

}  // namespace platform

#include "platform/random.hpp"

namespace platform {
namespace {

// One generator per thread: each of the score server's verifier threads plays a game of its
// own. The game itself runs on one thread, so for it this is the one generator.
thread_local std::uint32_t state = 1;

}  // namespace

void seedRandom(std::uint32_t seed) { state = seed; }

int nextRandom() {
  state = state * 214013u + 2531011u;
  return static_cast<int>((state >> 16) & 0x7FFFu);
}

std::uint32_t randomState() { return state; }

}  // namespace platform

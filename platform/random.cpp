#include "platform/random.hpp"

namespace platform {
namespace {

// One generator per thread: each of the score server's verifier threads plays a game of its
// own. The game itself runs on one thread, so for it this is the one generator.
thread_local std::uint32_t state = 1;

constexpr std::uint32_t kMultiplier = 214013u;
constexpr std::uint32_t kIncrement = 2531011u;

}  // namespace

void seedRandom(std::uint32_t seed) { state = seed; }

int nextRandom() {
  state = state * kMultiplier + kIncrement;
  return static_cast<int>((state >> 16) & 0x7FFFu);
}

void skipRandom(std::uint32_t count) {
  // Composes the step x -> a x + c with itself by squaring: all its powers commute.
  std::uint32_t multiplier = 1;
  std::uint32_t increment = 0;
  std::uint32_t a = kMultiplier;
  std::uint32_t c = kIncrement;
  for (; count != 0; count >>= 1) {
    if ((count & 1u) != 0) {
      multiplier *= a;
      increment = increment * a + c;
    }
    c *= a + 1;
    a *= a;
  }
  state = state * multiplier + increment;
}

std::uint32_t randomState() { return state; }

}  // namespace platform

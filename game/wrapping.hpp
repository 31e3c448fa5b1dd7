// 32-bit arithmetic that wraps around as the handheld's registers do. Positions and
// velocities set from outside (the headless driver) can be anything; the sums and products
// of the simulation then wrap instead of overflowing.
#pragma once

#include <cstdint>

namespace game {

constexpr std::int32_t wrapAdd(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

constexpr std::int32_t wrapSub(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

constexpr std::int32_t wrapMul(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}

constexpr std::int32_t wrapNeg(std::int32_t a) { return wrapSub(0, a); }

}  // namespace game

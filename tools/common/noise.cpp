#include "tools/common/noise.hpp"

#include <cmath>

namespace tools {

std::uint32_t hash(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
  std::uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u ^ (c + 0x165667B1u) * 0xC2B2AE3Du;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return h;
}

float hashUnit(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
  return static_cast<float>(hash(a, b, c) >> 8) / static_cast<float>(1u << 24);
}

float valueNoise(float x, float y, std::uint32_t seed) {
  const float fx = std::floor(x);
  const float fy = std::floor(y);
  const auto ix = static_cast<std::uint32_t>(static_cast<std::int32_t>(fx));
  const auto iy = static_cast<std::uint32_t>(static_cast<std::int32_t>(fy));
  float tx = x - fx;
  float ty = y - fy;
  tx = tx * tx * (3 - 2 * tx);
  ty = ty * ty * (3 - 2 * ty);
  const float a = hashUnit(ix, iy, seed);
  const float b = hashUnit(ix + 1, iy, seed);
  const float c = hashUnit(ix, iy + 1, seed);
  const float d = hashUnit(ix + 1, iy + 1, seed);
  return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

float fractalNoise(float x, float y, std::uint32_t seed, int octaves) {
  float sum = 0;
  float weight = 1;
  float total = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += valueNoise(x, y, seed + static_cast<std::uint32_t>(i) * 101u) * weight;
    total += weight;
    weight *= 0.5F;
    x *= 2;
    y *= 2;
  }
  return total > 0 ? sum / total : 0;
}

}  // namespace tools

// Deterministic noise for textures: hashed value noise and its fractal sum. The same seed
// and coordinates give the same values on every run.
#pragma once

#include <cstdint>

namespace tools {

std::uint32_t hash(std::uint32_t a, std::uint32_t b = 0, std::uint32_t c = 0);
// 0 .. 1 from a hash.
float hashUnit(std::uint32_t a, std::uint32_t b = 0, std::uint32_t c = 0);
// Smooth value noise, 0 .. 1, one lattice cell per unit.
float valueNoise(float x, float y, std::uint32_t seed);
// Sum of `octaves` layers of value noise, each twice as fine and half as strong; 0 .. 1.
float fractalNoise(float x, float y, std::uint32_t seed, int octaves);

}  // namespace tools

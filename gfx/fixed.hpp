// Fixed-point numbers: signed 32 bits with 16 fraction bits, 0x10000 = 1.0.
// Positions are Fixed pixels; shifts and divisions are done exactly as written, never in
// floating point, so that a replay gives the same game on every machine.
#pragma once

#include <cstdint>

using Fixed = std::int32_t;

constexpr Fixed kFixedOne = 0x10000;

// Whole pixels to Fixed.
constexpr Fixed toFixed(int pixels) { return static_cast<Fixed>(static_cast<std::uint32_t>(pixels) << 16); }

// Fixed to whole pixels: an arithmetic shift, so -0.5 becomes -1.
constexpr int toPixels(Fixed value) { return value >> 16; }

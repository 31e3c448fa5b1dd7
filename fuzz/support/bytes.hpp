// Reading a fuzz input the way the file layouts store their numbers, to check what a loader
// made of it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace fuzzing {

// The little-endian number of `count` bytes (at most 4) at `at`, from those of them that lie
// within `size`: missing high bytes read as 0, as a loader that ORs in each byte read sees it.
inline std::uint32_t littleEndian(const std::uint8_t* data, std::size_t size, std::size_t at, std::size_t count) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < count && at + i < size; ++i) value |= static_cast<std::uint32_t>(data[at + i]) << (8 * i);
  return value;
}

}  // namespace fuzzing

// The soak judges memory by these two figures: they must follow what the program holds.
#include "platform/memory_use.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

// Kept where the compiler cannot see it unused, so the block is really allocated.
std::uint8_t* volatile kept = nullptr;

TEST(MemoryUse, TheBytesInUseFollowWhatIsAllocatedAndFreed) {
  constexpr std::uint64_t kBlock = 4 << 20;
  const std::uint64_t before = platform::heapBytesInUse();
  kept = new std::uint8_t[kBlock];
  std::memset(kept, 1, kBlock);
  const std::uint64_t holding = platform::heapBytesInUse();
  const std::uint64_t resident = platform::residentBytes();
  delete[] kept;
  kept = nullptr;
  const std::uint64_t after = platform::heapBytesInUse();
  EXPECT_GE(holding, before + kBlock);
  EXPECT_LE(after + kBlock, holding);
  // Every page of the block was written, so it is resident.
  EXPECT_GE(resident, kBlock);
}

}  // namespace

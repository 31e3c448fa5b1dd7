// libFuzzer target for the replay decoder: any bytes either decode to a replay whose encoding
// decodes to the same replay, or are refused with a reason; nothing reads out of bounds or
// costs more than the input's size allows.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "replay/replay_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  const replay::Decoded decoded = replay::decode(bytes);
  if (decoded.replay) {
    const replay::Decoded again = replay::decode(replay::encode(*decoded.replay));
    if (!again.replay || !(*again.replay == *decoded.replay)) std::abort();
  } else if (decoded.error.empty()) {
    std::abort();
  }
  replay::peekHeader(bytes);
  return 0;
}

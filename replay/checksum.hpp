// CRC-32 (the IEEE polynomial of zip and PNG): the replay file's guard against accidental
// damage, a cut download or a flipped bit. It is no protection against a forger, who can
// compute it too; the verifier is.
#pragma once

#include <cstdint>
#include <span>

namespace replay {

std::uint32_t crc32(std::span<const std::uint8_t> bytes);

}  // namespace replay

// What the process holds in memory, for the soak's check that memory stays flat from one
// game to the next.
#pragma once

#include <cstdint>

namespace platform {

// The bytes the program has allocated and not yet freed, from the allocator's own count:
// AddressSanitizer's under the sanitizers (whose quarantine of freed blocks would hide a
// slow leak in the resident size for a long while), glibc's otherwise. Exact, so a leak
// of a few bytes a game shows.
std::uint64_t heapBytesInUse();

// The resident set: the pages of the process in memory, from /proc/self/statm.
std::uint64_t residentBytes();

}  // namespace platform

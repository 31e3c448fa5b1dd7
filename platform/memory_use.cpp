#include "platform/memory_use.hpp"

#include <malloc.h>
#include <unistd.h>

#include <cstddef>
#include <cstdio>

#if defined(__SANITIZE_ADDRESS__)
#define ZEBROLITE_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZEBROLITE_ASAN 1
#endif
#endif

#ifdef ZEBROLITE_ASAN
// The sanitizer runtime's count, declared here: GCC ships the runtime but not its headers.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace platform {

std::uint64_t heapBytesInUse() {
#ifdef ZEBROLITE_ASAN
  return __sanitizer_get_current_allocated_bytes();
#else
  const struct mallinfo2 info = ::mallinfo2();
  return info.uordblks + info.hblkhd;
#endif
}

std::uint64_t residentBytes() {
  std::FILE* statm = std::fopen("/proc/self/statm", "r");
  if (statm == nullptr) return 0;
  unsigned long long size = 0;
  unsigned long long resident = 0;
  const int read = std::fscanf(statm, "%llu %llu", &size, &resident);
  std::fclose(statm);
  return read == 2 ? resident * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE)) : 0;
}

}  // namespace platform

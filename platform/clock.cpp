#include "platform/clock.hpp"

#include <chrono>

namespace platform {
namespace {

bool manual = false;
std::uint32_t manualNow = 0;

}  // namespace

std::uint32_t tickCount() {
  if (manual) return manualNow;
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  // Truncation to 32 bits is the wrap the timers are written for.
  return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void useManualClock(std::uint32_t start) {
  manual = true;
  manualNow = start;
}

void advanceManualClock(std::uint32_t ms) { manualNow += ms; }

void setManualClock(std::uint32_t now) { manualNow = now; }

void useSystemClock() { manual = false; }

}  // namespace platform

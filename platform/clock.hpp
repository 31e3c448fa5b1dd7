// The millisecond clock: an unsigned 32-bit count that wraps, like the handheld's tick count.
// Tests and the headless driver switch to a manual clock that moves only when told.
#pragma once

#include <cstdint>

namespace platform {

// Milliseconds since an arbitrary start; wraps after about 49.7 days.
std::uint32_t tickCount();

// From now on tickCount() returns `start` plus whatever advanceManualClock adds.
void useManualClock(std::uint32_t start);
void advanceManualClock(std::uint32_t ms);
void setManualClock(std::uint32_t now);
void useSystemClock();

}  // namespace platform

// A gate that opens at most once per interval of the millisecond clock: it opens only after
// more than `interval` ms, and missed periods are dropped, never caught up.
#pragma once

#include <cstdint>

namespace shell {

class FrameTimer {
 public:
  explicit FrameTimer(std::uint32_t interval);

  // True once more than `interval` ms have passed since the gate last opened; the new
  // period then starts from a second reading of the clock. The unsigned difference makes
  // the wrap of the clock harmless.
  bool due();

  // Milliseconds until due() will next return true (0 when it would now): how long the main
  // loop may sleep.
  std::uint32_t millisecondsUntilDue() const;

 private:
  std::uint32_t interval_;
  std::uint32_t lastTick_;
};

}  // namespace shell

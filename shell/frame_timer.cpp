#include "shell/frame_timer.hpp"

#include "platform/clock.hpp"

namespace shell {

FrameTimer::FrameTimer(std::uint32_t interval) : interval_(interval), lastTick_(platform::tickCount()) {}

bool FrameTimer::due() {
  const std::uint32_t now = platform::tickCount();
  if (now - lastTick_ <= interval_) return false;
  lastTick_ = platform::tickCount();
  return true;
}

std::uint32_t FrameTimer::millisecondsUntilDue() const {
  const std::uint32_t elapsed = platform::tickCount() - lastTick_;
  return elapsed > interval_ ? 0 : interval_ + 1 - elapsed;
}

}  // namespace shell

// The frame timers: open only after more than the interval, drop missed periods, survive the
// wrap of the clock, and tell the main loop how long it may sleep.
#include "shell/frame_timer.hpp"

#include <gtest/gtest.h>

#include "platform/clock.hpp"

namespace {

TEST(FrameTimerTest, OpensAfterMoreThanTheIntervalWithoutCatchingUp) {
  const std::uint32_t starts[] = {1000, 0xFFFFFFF8u};  // the second across the wrap of the clock
  for (const std::uint32_t t : starts) {
    platform::useManualClock(t);
    shell::FrameTimer timer(10);
    EXPECT_EQ(timer.millisecondsUntilDue(), 11u);
    platform::setManualClock(t + 8);
    EXPECT_EQ(timer.millisecondsUntilDue(), 3u);
    platform::setManualClock(t + 10);
    EXPECT_FALSE(timer.due());
    platform::setManualClock(t + 11);
    EXPECT_EQ(timer.millisecondsUntilDue(), 0u);
    EXPECT_TRUE(timer.due());
    platform::setManualClock(t + 21);
    EXPECT_FALSE(timer.due());
    platform::setManualClock(t + 5022);  // a long gap: due once, then a new period
    EXPECT_TRUE(timer.due());
    EXPECT_FALSE(timer.due());
    platform::setManualClock(t + 5033);
    EXPECT_TRUE(timer.due());
  }
  platform::useSystemClock();
}

}  // namespace

#include "app/frame_timer.hpp"

#include <gtest/gtest.h>

#include "platform/clock.hpp"

namespace {

class FrameTimerTest : public ::testing::Test {
 protected:
  void TearDown() override { platform::useSystemClock(); }
};

TEST_F(FrameTimerTest, OpensOnlyAfterMoreThanTheInterval) {
  platform::useManualClock(1000);
  app::FrameTimer timer(10);
  platform::setManualClock(1010);
  EXPECT_FALSE(timer.due());
  platform::setManualClock(1011);
  EXPECT_TRUE(timer.due());
  platform::setManualClock(1021);
  EXPECT_FALSE(timer.due());
  platform::setManualClock(1022);
  EXPECT_TRUE(timer.due());
}

TEST_F(FrameTimerTest, DropsMissedPeriodsInsteadOfCatchingUp) {
  platform::useManualClock(0);
  app::FrameTimer timer(10);
  platform::setManualClock(5000);
  EXPECT_TRUE(timer.due());
  EXPECT_FALSE(timer.due());
  platform::setManualClock(5010);
  EXPECT_FALSE(timer.due());
  platform::setManualClock(5011);
  EXPECT_TRUE(timer.due());
}

TEST_F(FrameTimerTest, SurvivesTheWrapOfTheClock) {
  platform::useManualClock(0xFFFFFFF8u);
  app::FrameTimer timer(10);
  platform::setManualClock(0x00000005u);
  EXPECT_TRUE(timer.due());
}

TEST_F(FrameTimerTest, TellsHowLongTheMainLoopMaySleep) {
  platform::useManualClock(100);
  app::FrameTimer timer(10);
  EXPECT_EQ(timer.millisecondsUntilDue(), 11u);
  platform::setManualClock(108);
  EXPECT_EQ(timer.millisecondsUntilDue(), 3u);
  platform::setManualClock(111);
  EXPECT_EQ(timer.millisecondsUntilDue(), 0u);
}

}  // namespace

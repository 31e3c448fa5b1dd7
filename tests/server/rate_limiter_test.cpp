// The token bucket per address: a minute's worth at once, refilled over the minute, bounded
// in memory.
#include <gtest/gtest.h>

#include "server/rate_limiter.hpp"

namespace server {
namespace {

TEST(RateLimiterTest, AFullBucketThenOneTokenPerShareOfTheMinute) {
  RateLimiter limiter(30, 100);
  for (int i = 0; i < 30; ++i) EXPECT_TRUE(limiter.take("10.0.0.1", 1000)) << i;
  EXPECT_FALSE(limiter.take("10.0.0.1", 1000));
  EXPECT_TRUE(limiter.take("10.0.0.2", 1000));  // another address has its own bucket
  EXPECT_FALSE(limiter.take("10.0.0.1", 2999));  // a token takes 2 s at 30 a minute
  EXPECT_TRUE(limiter.take("10.0.0.1", 3000));
  EXPECT_FALSE(limiter.take("10.0.0.1", 3000));
  // Idle for ten minutes: full again, never more than full.
  for (int i = 0; i < 30; ++i) EXPECT_TRUE(limiter.take("10.0.0.1", 603000)) << i;
  EXPECT_FALSE(limiter.take("10.0.0.1", 603000));
}

TEST(RateLimiterTest, ZeroTurnsItOff) {
  RateLimiter limiter(0, 1);
  for (int i = 0; i < 1000; ++i) ASSERT_TRUE(limiter.take("a", 0));
  EXPECT_EQ(limiter.buckets(), 0u);
}

TEST(RateLimiterTest, KeepsAtMostMaxBucketsAndDropsTheLeastRecentlyUsed) {
  RateLimiter limiter(1, 3);
  for (const char* address : {"a", "b", "c"}) EXPECT_TRUE(limiter.take(address, 0));
  EXPECT_FALSE(limiter.take("a", 0));  // a is now the most recently used
  EXPECT_TRUE(limiter.take("d", 0));   // b goes
  EXPECT_EQ(limiter.buckets(), 3u);
  EXPECT_TRUE(limiter.take("b", 0));   // b starts again full; c goes
  EXPECT_FALSE(limiter.take("a", 0));  // a was kept, still empty
  EXPECT_FALSE(limiter.take("d", 0));
  EXPECT_EQ(limiter.buckets(), 3u);
}

}  // namespace
}  // namespace server

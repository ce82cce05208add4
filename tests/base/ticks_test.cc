// The loop clock keeps increasing across wraps of its millisecond source.

#include "base/ticks.h"

#include <gtest/gtest.h>

namespace {

uint32_t g_fake_ms = 0;
uint32_t FakeMilliseconds() { return g_fake_ms; }

TEST(TickClockTest, KeepsIncreasingAcrossWraps) {
  const uint32_t readings[] = {0xFFFFFF00u, 0xFFFFFFFFu, 0x00000010u, 0x7FFFFFFFu,
                               0xFFFFFFF0u, 0x00000005u};
  const int64_t k32 = int64_t{1} << 32;
  const int64_t expected_ms[] = {0xFFFFFF00LL, 0xFFFFFFFFLL, k32 + 0x10, k32 + 0x7FFFFFFF,
                                 k32 + 0xFFFFFFF0LL, 2 * k32 + 5};
  base::TickClock clock(&FakeMilliseconds);
  base::Ticks previous = -1;
  for (size_t i = 0; i < sizeof(readings) / sizeof(readings[0]); ++i) {
    g_fake_ms = readings[i];
    base::Ticks now = clock.Now();
    EXPECT_EQ(now, expected_ms[i] * 1000) << i;
    EXPECT_GT(now, previous) << i;
    previous = now;
  }
}

TEST(TickClockTest, TheSameReadingTwiceIsNoWrap) {
  base::TickClock clock(&FakeMilliseconds);
  g_fake_ms = 500;
  EXPECT_EQ(clock.Now(), 500000);
  EXPECT_EQ(clock.Now(), 500000);
}

TEST(TickClockTest, SystemClockIsInMicrosecondsOfWholeMilliseconds) {
  base::Ticks a = base::NowTicks();
  base::Ticks b = base::NowTicks();
  EXPECT_EQ(a % 1000, 0);
  EXPECT_GE(b, a);
}

}  // namespace

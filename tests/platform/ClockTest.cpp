#include <gtest/gtest.h>

#include "platform/Clock.h"

TEST(Clock, FakeClockDrivesGameTimeAndSleep) {
  plat::FakeClock fake(1000);
  {
    plat::ScopedClock scope(&fake);
    EXPECT_EQ(plat::GetTimeMs(), 1000u);
    plat::SleepMs(50);
    EXPECT_EQ(plat::GetTimeMs(), 1050u);
    fake.Set(0xFFFFFFFFu);
    fake.Advance(2);
    EXPECT_EQ(plat::GetTimeMs(), 1u);  // wraps like the system timer
  }
}

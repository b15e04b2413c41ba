#include <gtest/gtest.h>

#include "platform/os/Clock.h"
#include "platform/os/PlatformServices.h"

TEST(Clock, FakeClockDrivesGameTimeAndSleep) {
  plat::FakeClock fake(1000);
  {
    plat::PlatformServicesScope scope({.clock = &fake});
    EXPECT_EQ(plat::GetTimeMs(), 1000u);
    plat::SleepMs(50);
    EXPECT_EQ(plat::GetTimeMs(), 1050u);
    fake.Set(0xFFFFFFFFu);
    fake.Advance(2);
    EXPECT_EQ(plat::GetTimeMs(), 1u);  // wraps like the system timer
  }
}

TEST(Clock, FakeLocalTimeMovesWithTheClockAcrossDates) {
  plat::FakeClock fake(500);
  plat::PlatformServicesScope scope({.clock = &fake});
  fake.SetLocalTime({2023, 12, 0, 31, 23, 59, 59, 900});
  plat::LocalTime t = plat::GetLocalTime();
  EXPECT_EQ(t.year, 2023);
  EXPECT_EQ(t.milliseconds, 900);
  fake.Advance(150);
  t = plat::GetLocalTime();
  EXPECT_EQ(t.year, 2024);
  EXPECT_EQ(t.month, 1);
  EXPECT_EQ(t.day, 1);
  EXPECT_EQ(t.dayOfWeek, 1);  // a Monday
  EXPECT_EQ(t.hour, 0);
  EXPECT_EQ(t.second, 0);
  EXPECT_EQ(t.milliseconds, 50);
}

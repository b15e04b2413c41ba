#include <gtest/gtest.h>

#include <string>

#include "base/Clock.h"
#include "base/SystemInfo.h"
#include "base/TimeFormat.h"
#include "platform/os/Clock.h"
#include "platform/os/PlatformServices.h"

namespace {

using std::u16string;

kis::SystemTime At(u16 hour, u16 minute = 0, u16 second = 0, u16 ms = 0) {
  kis::SystemTime t{};
  t.year = 2024;
  t.month = 3;
  t.dayOfWeek = 2;
  t.day = 5;
  t.hour = hour;
  t.minute = minute;
  t.second = second;
  t.milliseconds = ms;
  return t;
}

u16string Format(const char16_t* pattern, const kis::SystemTime& t, u32 size = 64) {
  wchar buf[64];
  return kis::FormatTimeW(pattern, buf, size, t);
}

TEST(TimeRecord, MillisecondsRoundTrip) {
  kis::SystemTime t;
  kis::MsToSystemTime(3725000, t);
  EXPECT_EQ(t.year, 0);
  EXPECT_EQ(t.month, 0);
  EXPECT_EQ(t.day, 0);
  EXPECT_EQ(t.hour, 1);
  EXPECT_EQ(t.minute, 2);
  EXPECT_EQ(t.second, 5);
  EXPECT_EQ(Format(u"hh:nn:ss", t), u"01:02:05");
  for (u32 ms : {0u, 999u, 3725123u, 86399999u, 4294967295u}) {
    kis::MsToSystemTime(ms, t);
    EXPECT_EQ(kis::TimeToMs(t), ms);
  }
}

TEST(FormatTime, DateFieldsAndNames) {
  const kis::SystemTime t = At(7, 8, 9, 45);
  EXPECT_EQ(Format(u"DD.MM.Y, HH:NN:SS", t), u"05.03.2024, 07:08:09");
  EXPECT_EQ(Format(u"d/m/yy", t), u"5/3/2024");
  kis::SystemTime old = t;
  old.year = 7;
  EXPECT_EQ(Format(u"y yyy", old), u"07 0007");
  EXPECT_EQ(Format(u"ddd dddd mmm mmmm", t), u"Tue Tuesday Mar March");
  EXPECT_EQ(Format(u"HH:NN:SS.ZZZ z zz", t), u"07:08:09.045 45 45");
  kis::SystemTime bad = t;
  bad.month = 13;
  bad.dayOfWeek = 9;
  EXPECT_EQ(Format(u"[mmm][dddd]", bad), u"[][]");
  char a[32];
  kis::InitLocaleNames();
  EXPECT_STREQ(kis::FormatTimeA("mmmm d, yyyy", a, 32, t), "March 5, 2024");
}

TEST(FormatTime, TwelveHourMarkers) {
  EXPECT_EQ(Format(u"h:nn AM/PM", At(0)), u"12:00 AM");
  EXPECT_EQ(Format(u"h:nn AM/PM", At(12)), u"12:00 PM");
  EXPECT_EQ(Format(u"h:nn AM/PM", At(13)), u"1:00 PM");
  EXPECT_EQ(Format(u"h:nn AM/PM", At(9)), u"9:00 AM");
  EXPECT_EQ(Format(u"hh:nn am/pm", At(21, 5)), u"09:05 pm");  // the pattern's own case
  EXPECT_EQ(Format(u"h a/p", At(23)), u"11 p");
  EXPECT_EQ(Format(u"h A/P", At(1)), u"1 A");
  EXPECT_EQ(Format(u"h ampm", At(15)), u"3 PM");
  EXPECT_EQ(Format(u"h AMPM", At(3)), u"3 AM");
  // No marker: 24-hour form and a lone "a" stays a letter; "aa" is letters.
  EXPECT_EQ(Format(u"h a aa", At(15)), u"15 a aa");
  // A marker inside literal text does not count.
  EXPECT_EQ(Format(u"h 'AM/PM'", At(15)), u"15 AM/PM");
}

TEST(FormatTime, MarkerStateBelongsToEachCall) {
  // A marker found in one call must not turn a later call to 12-hour form.
  EXPECT_EQ(Format(u"h AM/PM", At(15)), u"3 PM");
  EXPECT_EQ(Format(u"h", At(15)), u"15");
  EXPECT_EQ(Format(u"a", At(15)), u"a");
}

TEST(FormatTime, QuotesSwitchLiteralText) {
  EXPECT_EQ(Format(u"'h'h", At(5)), u"h5");
  EXPECT_EQ(Format(u"\"at\" hh", At(5)), u"at 05");
  // The character after a quote is not tested for a quote: '' writes one.
  EXPECT_EQ(Format(u"h''x'", At(5)), u"5'x");
  EXPECT_EQ(Format(u"'unterminated h", At(5)), u"unterminated h");
}

TEST(FormatTime, OutputIsCutAndTerminated) {
  wchar buf[8];
  for (auto& c : buf) c = u'#';
  kis::FormatTimeW(u"hh:nn:ss", buf, 5, At(10, 20, 30));
  EXPECT_EQ(u16string(buf), u"10:2");
  EXPECT_EQ(buf[5], u'#');
  kis::FormatTimeW(u"hh", buf, 1, At(10));
  EXPECT_EQ(buf[0], 0);
  EXPECT_EQ(kis::FormatTimeW(u"hh", nullptr, 5, At(10)), nullptr);
  EXPECT_EQ(Format(nullptr, At(1)), u"");
}

TEST(SystemName, LinuxIsAnUnknownCode) {
  EXPECT_EQ(kis::GetOSVersion(), 0u);
  wchar buf[16];
  EXPECT_EQ(u16string(kis::GetOSNameW(buf, 16, true)), u"Unknown");
  EXPECT_EQ(u16string(kis::GetOSNameW(buf, 4, false)), u"Unk");
}

TEST(Clock, TimeComesFromThePlatformClock) {
  plat::FakeClock clock(1234);
  plat::PlatformServicesScope scoped({.clock = &clock});
  EXPECT_EQ(kis::GetTimeMs(), 1234u);
  clock.Advance(16);
  EXPECT_EQ(kis::GetTimeMs(), 1250u);
}

}  // namespace

#include "platform/os/Clock.h"
#include "platform/os/PlatformServices.h"
#include "platform/os/WallClock.h"

#include <time.h>

#include <cstdint>

namespace plat {

namespace {

class SystemClock : public Clock {
 public:
  uint32_t NowMs() override {
    timespec ts;
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    const uint64_t ms = static_cast<uint64_t>(ts.tv_sec) * 1000u + static_cast<uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
  }
  void SleepMs(uint32_t ms) override {
    timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    while (::nanosleep(&ts, &ts) != 0) {
    }
  }
};

SystemClock gSystemClock;

LocalTime FromTm(const tm& t, uint32_t ms) {
  return LocalTime{static_cast<uint16_t>(t.tm_year + 1900), static_cast<uint16_t>(t.tm_mon + 1),
                   static_cast<uint16_t>(t.tm_wday), static_cast<uint16_t>(t.tm_mday),
                   static_cast<uint16_t>(t.tm_hour), static_cast<uint16_t>(t.tm_min),
                   static_cast<uint16_t>(t.tm_sec), static_cast<uint16_t>(ms)};
}

// A calendar date and time (no time zone) as seconds since 1970.
time_t CalendarSeconds(const LocalTime& l) {
  tm t{};
  t.tm_year = l.year - 1900;
  t.tm_mon = l.month - 1;
  t.tm_mday = l.day;
  t.tm_hour = l.hour;
  t.tm_min = l.minute;
  t.tm_sec = l.second;
  return ::timegm(&t);
}

}  // namespace

LocalTime Clock::LocalNow() {
  timespec ts;
  ::clock_gettime(CLOCK_REALTIME, &ts);
  tm t{};
  ::localtime_r(&ts.tv_sec, &t);
  return FromTm(t, static_cast<uint32_t>(ts.tv_nsec / 1000000));
}

uint64_t Clock::WorkUs() {
  timespec ts;
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<uint64_t>(ts.tv_sec) * 1000000u + static_cast<uint64_t>(ts.tv_nsec) / 1000u;
}

// The set time is read as a calendar time (no time zone), moved on and read
// back, so the date carries over days, months and years.
LocalTime FakeClock::LocalNow() {
  const uint64_t ms = uint64_t{local_.milliseconds} + (now_ - localSetAt_);
  const time_t at = CalendarSeconds(local_) + static_cast<time_t>(ms / 1000);
  tm out{};
  ::gmtime_r(&at, &out);
  return FromTm(out, static_cast<uint32_t>(ms % 1000));
}

Clock* GetClock() {
  Clock* installed = GetPlatformServices().clock;
  return installed != nullptr ? installed : &gSystemClock;
}
uint32_t GetTimeMs() { return GetClock()->NowMs(); }
uint64_t GetWorkUs() { return GetClock()->WorkUs(); }
void SleepMs(uint32_t ms) { GetClock()->SleepMs(ms); }
LocalTime GetLocalTime() { return GetClock()->LocalNow(); }

uint64_t GetWallSeconds() {
  Clock* clock = GetClock();
  if (clock == &gSystemClock) return static_cast<uint64_t>(::time(nullptr));
  const time_t at = CalendarSeconds(clock->LocalNow());
  return at < 0 ? 0 : static_cast<uint64_t>(at);
}

}  // namespace plat

#include "platform/Clock.h"

#include <time.h>

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
Clock* gClock = &gSystemClock;

}  // namespace

uint32_t GetTimeMs() { return gClock->NowMs(); }
void SleepMs(uint32_t ms) { gClock->SleepMs(ms); }
void SetClock(Clock* clock) { gClock = clock ? clock : &gSystemClock; }

}  // namespace plat

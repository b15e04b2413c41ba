// The platform's millisecond clock and sleep. All game timing reads this one
// clock; tests install a FakeClock so nothing depends on real time.
#pragma once

#include <cstdint>

namespace plat {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual uint32_t NowMs() = 0;          // wraps after 49.7 days, like the system timer
  virtual void SleepMs(uint32_t ms) = 0;
};

// Milliseconds of the installed clock (the monotonic system clock by default).
uint32_t GetTimeMs();
void SleepMs(uint32_t ms);

// Installs a clock; null restores the system clock. The caller keeps ownership.
void SetClock(Clock* clock);

// A clock that moves only when told to; sleeping advances it at once.
class FakeClock : public Clock {
 public:
  explicit FakeClock(uint32_t start = 0) : now_(start) {}
  uint32_t NowMs() override { return now_; }
  void SleepMs(uint32_t ms) override { now_ += ms; }
  void Advance(uint32_t ms) { now_ += ms; }
  void Set(uint32_t ms) { now_ = ms; }

 private:
  uint32_t now_;
};

// Installs a clock for the lifetime of a scope (tests).
class ScopedClock {
 public:
  explicit ScopedClock(Clock* clock) { SetClock(clock); }
  ~ScopedClock() { SetClock(nullptr); }
  ScopedClock(const ScopedClock&) = delete;
  ScopedClock& operator=(const ScopedClock&) = delete;
};

}  // namespace plat

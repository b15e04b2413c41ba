// The platform's millisecond clock, sleep and local date and time. All game
// timing reads this one clock; tests install a FakeClock so nothing depends on
// real time.
#pragma once

#include <cstdint>

namespace plat {

// A calendar date and time of day, in the shape of the system's record.
struct LocalTime {
  uint16_t year;
  uint16_t month;      // 1-12
  uint16_t dayOfWeek;  // 0 Sunday
  uint16_t day;        // 1-31
  uint16_t hour;
  uint16_t minute;
  uint16_t second;
  uint16_t milliseconds;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual uint32_t NowMs() = 0;          // wraps after 49.7 days, like the system timer
  virtual void SleepMs(uint32_t ms) = 0;
  virtual LocalTime LocalNow();          // the system's local date and time
  // Microseconds of processor time the calling thread has had: what a piece
  // of work cost, whatever else the machine ran meanwhile.
  virtual uint64_t WorkUs();
};

// The installed clock is PlatformServices::clock (null: the monotonic system
// clock).
// Milliseconds of the installed clock.
uint32_t GetTimeMs();
// The installed clock's processor time of the calling thread, in microseconds.
uint64_t GetWorkUs();
void SleepMs(uint32_t ms);
// Local date and time of the installed clock.
LocalTime GetLocalTime();

// A clock that moves only when told to; sleeping advances it at once. Its
// local time is the one last set (1 January 2000, 00:00 until then), moved on
// by the milliseconds the clock has advanced since; its processor time is
// the time it has advanced.
class FakeClock : public Clock {
 public:
  explicit FakeClock(uint32_t start = 0) : now_(start), localSetAt_(start) {}
  uint32_t NowMs() override { return now_; }
  void SleepMs(uint32_t ms) override { now_ += ms; }
  LocalTime LocalNow() override;
  uint64_t WorkUs() override { return uint64_t{now_} * 1000; }  // all of its time is work
  void Advance(uint32_t ms) { now_ += ms; }
  void Set(uint32_t ms) { now_ = ms; }
  void SetLocalTime(const LocalTime& time) {
    local_ = time;
    localSetAt_ = now_;
  }

 private:
  uint32_t now_;
  LocalTime local_{2000, 1, 6, 1, 0, 0, 0, 0};
  uint32_t localSetAt_;
};

}  // namespace plat

// The wall clock read through the installed clock (Clock.h): the system's
// time, or under a fake clock (tests, replays) the fake's local time taken as
// universal time, so a replay stamps its files with the time it names.
#pragma once

#include <cstdint>

namespace plat {

class Clock;

// Seconds since 1970.
uint64_t GetWallSeconds();
// The clock installed now (the system clock's when none was).
Clock* GetClock();

}  // namespace plat

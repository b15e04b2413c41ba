// LevelClock - the running level's time: the game speed (1 to 4), the
// level clock that earns the medals, the medal stage it gives, and the
// accumulator that turns frame time into fixed simulation ticks.
//
// A frame's time, times the game speed, goes whole to the level clock (when
// the clock runs), while at most ResourceServices' maxTimeSteps ticks of
// timeStep each (20 of 10 ms) are carried into the simulation: a slow frame
// counts in full against the medal time but the world only moves 200 ms.
#pragma once

#include "base/Types.h"

constexpr i32 kMaxGameSpeed = 4;

class LevelClock {
 public:
  i32 GetSpeed() const { return speed_; }
  void SetSpeed(i32 speed) { speed_ = speed < 1 ? 1 : speed > kMaxGameSpeed ? kMaxGameSpeed : speed; }
  u32 Scale(u32 elapsed) const { return elapsed * static_cast<u32>(speed_); }

  u32 GetTime() const { return time_; }  // ms
  void SetTime(u32 time) { time_ = time; }
  void Advance(u32 d) { time_ = d < UINT32_MAX - time_ ? time_ + d : UINT32_MAX; }  // stops at the largest time

  // The medal the clock earns on the level (LevelTable::GetMedal): 6 gold,
  // 5 silver, 4 bronze, 3 none; gold while there is no level table.
  i32 UpdateMedal(i32 regime, i32 level);
  i32 GetMedal() const { return medal_; }

  // Adds d to the accumulator (at most the largest carry); the number of
  // whole ticks in it, which leave it for the tick clock.
  u32 TakeTicks(u32 d);
  u32 GetTickClock() const { return tickClock_; }
  u32 GetCarry() const { return carry_; }
  u32 GetFrameTicks() const { return frameTicks_; }

  void ResetTicks();  // tick clock, carry and frame ticks 0 (entering the level)
  void Reset();       // the level clock 0, medal gold, the ticks reset; the speed stays

 private:
  i32 speed_ = 1;
  u32 time_ = 0;
  i32 medal_ = 6;
  u32 tickClock_ = 0;
  u32 carry_ = 0;
  u32 frameTicks_ = 0;
};

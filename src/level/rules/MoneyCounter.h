// MoneyCounter - the animated figure of the money window: it counts from
// the figure shown towards a new value in whole steps of 30 ms, one unit per
// step when that is quick enough, else as many units per step as the
// duration allows. When that comes to about 5 or 50 units a step, the step
// becomes 34 ms (and stays so), so the last digit does not seem to stand
// still. Durations shorter than one step count in one step.
#pragma once

#include "base/Types.h"

class MoneyCounter {
 public:
  static constexpr i32 kStep = 30;
  static constexpr i32 kSlowStep = 34;

  // duration 0 jumps to the value; otherwise a new value starts a count
  // from the figure shown, beginning `delay` ms after `start`.
  void SetTarget(i32 value, i32 duration, u32 start, i32 delay);
  // The figure at time `now` (ms, the clock SetTarget's start is on).
  void Update(u32 now);

  i32 GetShown() const { return shown_; }
  i32 GetTarget() const { return target_; }
  i32 GetDelta() const { return delta_; }
  i32 GetDuration() const { return duration_; }
  i32 GetStepTime() const { return step_; }

 private:
  i32 shown_ = 0;
  i32 target_ = 0;
  i32 delta_ = 0;  // target - shown when the count began
  i32 duration_ = 0;
  u32 start_ = 0;
  i32 delay_ = 0;
  i32 step_ = kStep;
};

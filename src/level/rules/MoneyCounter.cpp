#include "level/rules/MoneyCounter.h"

#include <cmath>
#include <cstdlib>

void MoneyCounter::SetTarget(i32 value, i32 duration, u32 start, i32 delay) {
  if (duration <= 0) {
    shown_ = target_ = value;
    delta_ = 0;
    duration_ = 0;
    return;
  }
  if (value == target_) return;
  target_ = value;
  delta_ = target_ - shown_;
  start_ = start;
  delay_ = delay < 0 ? 0 : delay;
  const i64 oneUnitEach = std::llabs(static_cast<i64>(delta_)) * step_;
  if (oneUnitEach < duration) {
    duration_ = static_cast<i32>(oneUnitEach);
    return;
  }
  duration_ = duration;
  // A duration shorter than one step is one step: no division by zero.
  const i32 steps = duration / step_ > 0 ? duration / step_ : 1;
  const double perStep = static_cast<double>(delta_) / steps;
  const double rounded = std::fabs(std::floor(perStep + 0.5));
  if (rounded == 5.0 || rounded == 50.0) step_ = kSlowStep;
}

void MoneyCounter::Update(u32 now) {
  i32 elapsed = static_cast<i32>(now - start_);
  if (elapsed < 0) return;  // not begun yet
  if (delay_ != 0) {
    if (elapsed < delay_) return;
    elapsed -= delay_;
    start_ += static_cast<u32>(delay_);
    delay_ = 0;
  }
  if (elapsed >= duration_) {
    shown_ = target_;
    delta_ = 0;
    return;
  }
  const double whole = static_cast<double>(elapsed / step_ * step_);
  shown_ = (target_ - delta_) + static_cast<i32>(std::floor(whole / duration_ * delta_ + 0.5));
}

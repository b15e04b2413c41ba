#include "level/rules/LevelClock.h"

#include "content/LevelTable.h"
#include "resources/ResourceServices.h"

i32 LevelClock::UpdateMedal(i32 regime, i32 level) {
  const LevelTable* table = GetLevelTable();
  medal_ = table ? table->GetMedal(regime, level, time_) : kGradeGold;
  return medal_;
}

u32 LevelClock::TakeTicks(u32 d) {
  const ResourceServices& s = GetResourceServices();
  const u32 step = s.timeStep ? s.timeStep : 1;
  const u32 cap = step * s.maxTimeSteps;
  carry_ = d >= cap || carry_ + d >= cap ? cap : carry_ + d;
  frameTicks_ = carry_ / step;
  tickClock_ += frameTicks_ * step;
  carry_ %= step;
  return frameTicks_;
}

void LevelClock::ResetTicks() {
  tickClock_ = 0;
  carry_ = 0;
  frameTicks_ = 0;
}

void LevelClock::Reset() {
  time_ = 0;
  medal_ = kGradeGold;
  ResetTicks();
}

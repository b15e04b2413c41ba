// LevelPanelHooks - what the level tells its bottom panel: a task's
// progress changed, a bonus slot changed, the medal-time bar is to follow
// the level clock. The level panel implements it; tests record the calls.
#pragma once

#include "base/Types.h"

struct BONUSSLOT;

class LevelPanelHooks {
 public:
  virtual ~LevelPanelHooks() = default;
  // Task `index` (-1: every task) changed by delta.
  virtual void UpdateTaskButtons(i32 index, i32 delta, bool animate) = 0;
  // The slot's button shows its state: active, charging or ready, and the
  // remaining fraction.
  virtual void UpdateBonusButton(u32 slot, const BONUSSLOT& state, bool animate) = 0;
  virtual void UpdateTimeBar(bool animate) = 0;
};

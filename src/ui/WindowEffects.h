// The sprite effects of windows: the drop-in of a sprite window that is
// shown (SEffect_ShowWindow) and the lift-out of one that closes
// (SEffect_HideWindow), both a vertical offset written into the window's
// effect list with the window sound at their start; and the number an award
// window counts up (SEffect_SmAwProgress).
#pragma once

#include "resources/SpriteEffect.h"

// distance: the offset at which the window is out of sight above the
// screen (negative). The show effect goes from it to 0 (settling), the hide
// effect from 0 to it (accelerating). The window sound plays once the delay
// is over.
class SEffect_ShowWindow : public SpriteEffect {
 public:
  SEffect_ShowWindow(float distance, u32 duration, u32 delay);
  SpriteEffect* Clone() const override;
  bool Step() override;

 protected:
  virtual float OffsetAt(float progress) const;
  float distance_;
  u8 soundPending_ = 1;
  u32 startDelay_;
};

class SEffect_HideWindow : public SEffect_ShowWindow {
 public:
  using SEffect_ShowWindow::SEffect_ShowWindow;
  SpriteEffect* Clone() const override;

 protected:
  float OffsetAt(float progress) const override;
};

// A number from `start` to `end`, 2 s per unit (at least one time step).
class SEffect_SmAwProgress : public SpriteEffect {
 public:
  SEffect_SmAwProgress(float start, float end, u32 delay);
  SpriteEffect* Clone() const override;
  bool Step() override;
  float GetValue() const { return value_; }

 private:
  float start_;
  float distance_;
  float value_;
  u32 startDelay_;
};

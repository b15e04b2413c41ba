// The sprite effects that write no value: a wait, and a sound or a call
// after a delay (see SpriteEffect.h for the timing; times are
// milliseconds). Sound and call effects end on the first step after their
// delay; what they do runs once the list step is over (SpriteEffect.h).
#pragma once

#include <cstdint>

#include "resources/SpriteEffect.h"

// Plays a sample (SoundSettings::PlaySound with the group flags, looping as loaded).
class SEffect_Sound : public SpriteEffect {
 public:
  SEffect_Sound(u32 sample, u32 playFlags, u32 delay);
  SpriteEffect* Clone() const override;
  bool Step() override;

 private:
  u32 sample_;
  u32 playFlags_;
  u32 startDelay_;
};

using EffectProc = void (*)(uintptr_t, uintptr_t, uintptr_t);

// Calls a function with three arguments.
class SEffect_Proc : public SpriteEffect {
 public:
  SEffect_Proc(EffectProc function, uintptr_t a, uintptr_t b, uintptr_t c, u32 delay);
  SpriteEffect* Clone() const override;
  bool Step() override;

 private:
  EffectProc function_;
  uintptr_t args_[3];
  u32 startDelay_;
};

// Takes up time and writes nothing.
class SEffect_Wait : public SpriteEffect {
 public:
  explicit SEffect_Wait(u32 duration);
  SpriteEffect* Clone() const override;
};

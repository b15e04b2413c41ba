// The sprite effects of colour: a colour between two, a colour gradient and
// a logo's fade. Each writes its value into its owner list after every step
// (p = elapsed / duration); see SpriteEffect.h for the timing. Times are
// milliseconds, colours ARGB.
#pragma once

#include "resources/Gradient.h"
#include "resources/SpriteEffect.h"

// colour = LerpColor(from, to, p).
class SEffect_Color : public SpriteEffect {
 public:
  SEffect_Color(u32 from, u32 to, u32 duration, bool removeWhenDone, u32 delay);
  SpriteEffect* Clone() const override;
  bool Step() override;

 private:
  u32 from_, to_;
  u32 startDelay_;
};

// A logo's fade: over d + 1000 ms the alpha of the list's colour rises
// from 0 to 255 in the first 500 ms, stays 255 and falls back to 0 in the
// last 500 (255 x t / 500, 255 - 255 x (t - fade-out start) / 500, to the
// nearest integer); ends and leaves its list after the total time.
class SEffect_Logo : public SpriteEffect {
 public:
  explicit SEffect_Logo(u32 duration);
  SpriteEffect* Clone() const override;
  bool Step() override;
  u32 GetLogoDuration() const { return logoDuration_; }
  // The alpha at t ms into the effect.
  u32 AlphaAt(u32 t) const;

 private:
  u32 logoDuration_;
  u32 fadeOutStart_;
};

// The gradient's colour at round(total x p), without looping; the duration
// is the gradient's total time.
class SEffect_Gradient : public SpriteEffect {
 public:
  // `count` stops from (colour, time) pairs.
  SEffect_Gradient(bool removeWhenDone, u32 delay, u32 count, const u32* pairs);
  SEffect_Gradient(bool removeWhenDone, u32 delay, const Gradient& gradient);
  SpriteEffect* Clone() const override;
  bool Step() override;
  const Gradient& GetGradient() const { return gradient_; }

 private:
  Gradient gradient_;
  u32 startDelay_;
};

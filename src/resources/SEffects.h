// The sprite effects most things appear and leave with: the
// squash-and-stretch of a building going up, scales (plain, there and back,
// pulsing) and alpha. Each writes its value into its owner list after every
// step (p = elapsed / duration); see SpriteEffect.h for the timing. Times
// are milliseconds, colours ARGB. The other effects: moves and rotation in
// MotionEffects.h, colours in ColorEffects.h, waits, sounds and calls in
// WaitEffects.h.
#pragma once

#include "resources/SpriteEffect.h"

// The squash and stretch of a building going up, ending at scale 1.
class SEffect_Build : public SpriteEffect {
 public:
  SEffect_Build(u32 duration, u32 delay);
  SpriteEffect* Clone() const override;
  bool Step() override;
  static void ScaleAt(float p, float* x, float* y);

 private:
  u32 startDelay_;
};

// scale = from + (to - from) x p.
class SEffect_Scale : public SpriteEffect {
 public:
  SEffect_Scale(float from, float to, u32 duration, bool removeWhenDone, u32 delay);
  SpriteEffect* Clone() const override;
  bool Step() override;

 protected:
  virtual float ScaleAt() const;

  float from_, to_;
  u32 startDelay_;
};

// From `from` to `to` by half time and back.
class SEffect_PPScale : public SEffect_Scale {
 public:
  using SEffect_Scale::SEffect_Scale;
  SpriteEffect* Clone() const override;

 protected:
  float ScaleAt() const override;
};

// A sine pulse between `from` and `to` with the period, starting at `from`;
// it goes on past the duration while the effect stays in the list.
class SEffect_SinScale : public SEffect_Scale {
 public:
  SEffect_SinScale(float from, float to, u32 period, u32 duration, bool removeWhenDone, u32 delay);
  SpriteEffect* Clone() const override;

 protected:
  float ScaleAt() const override;

 private:
  u32 period_;
};

// Only the alpha of the list's colour: from + (to - from) x p (0..1); the
// RGB written before it stays.
class SEffect_Alpha : public SpriteEffect {
 public:
  SEffect_Alpha(float from, float to, u32 duration, bool removeWhenDone, u32 delay);
  SpriteEffect* Clone() const override;
  bool Step() override;

 private:
  float from_, to_;
  u32 startDelay_;
};

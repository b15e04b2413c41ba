// The sprite effects: a delayed sound, a delayed call, a wait, moves (plain
// and overshooting), a shift of the centre of rotation and scale, the
// squash-and-stretch of a building going up, scales (plain, there and back,
// pulsing), colour, alpha, a colour gradient and a rotation. Each writes its
// value into its owner list after every step (p = elapsed / duration); see
// SpriteEffect.h for the timing. Times are milliseconds, angles degrees,
// colours ARGB.
//
// Sound and call effects end on the first step after their delay; what they
// do runs once the list step is over (SpriteEffect.h).
#pragma once

#include "resources/Gradient.h"
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

// position = from + (to - from) x p.
class SEffect_Pos : public SpriteEffect {
 public:
  SEffect_Pos(float fromX, float fromY, float toX, float toY, u32 duration, bool removeWhenDone, u32 delay);
  SpriteEffect* Clone() const override;
  bool Step() override;

 protected:
  // The fraction of the way at progress p.
  virtual float Fraction(float p) const { return p; }

  float fromX_, fromY_, toX_, toY_;
  u32 startDelay_;
};

// Like SEffect_Pos, overshooting to 1.3 of the way at p = 0.75 and settling at 1.
class SEffect_PosBump : public SEffect_Pos {
 public:
  using SEffect_Pos::SEffect_Pos;
  SpriteEffect* Clone() const override;

 protected:
  float Fraction(float p) const override;
};

// position = (-dx, -dy), centre = (dx, dy): rotation and scale about (dx, dy).
class SEffect_DisCenter : public SpriteEffect {
 public:
  SEffect_DisCenter(u32 duration, i32 dx, i32 dy, u32 delay);
  SpriteEffect* Clone() const override;
  bool Step() override;

 private:
  float dx_, dy_;
  u32 startDelay_;
};

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

// angle = start + raw elapsed / period x degrees per period, in 0..360; it
// goes on turning past the duration while the effect stays in the list.
class SEffect_Rotation : public SpriteEffect {
 public:
  SEffect_Rotation(float startAngle, float degreesPerPeriod, u32 period, u32 duration, bool removeWhenDone,
                   u32 delay);
  SpriteEffect* Clone() const override;
  bool Step() override;

 private:
  float startAngle_;
  float degrees_;
  u32 period_;
  u32 startDelay_;
};

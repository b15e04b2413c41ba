// The sprite effects that move: positions (plain and overshooting), a
// shift of the centre of rotation and scale, and a rotation. Each writes
// its value into its owner list after every step (p = elapsed / duration);
// see SpriteEffect.h for the timing. Times are milliseconds, angles degrees.
#pragma once

#include "resources/SpriteEffect.h"

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

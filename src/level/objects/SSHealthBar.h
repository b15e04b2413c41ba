// SSHealthBar - a villain's health on the head-up display: one segment of
// 10 pixels a health point, centred on its anchor; the segments up to the
// current value from "vil_health_bar", the others from "vil_health_back",
// each run with its end caps. It keeps its pixel size while the level is
// zoomed out.
#pragma once

#include "hud/ScreenSprite.h"

class Sprite;

constexpr i32 kHealthSegment = 10;
constexpr i32 kHealthCapLeft = 12;   // the pictures' left border
constexpr i32 kHealthCapRight = 11;  // and right border

class SSHealthBar : public ScreenSprite {
 public:
  SSHealthBar(i32 x, i32 y, i32 value, i32 maximum);

  bool Draw() override;
  void DrawContent() override;

  void SetValue(i32 value);  // clamped to 0 .. the maximum
  i32 GetValue() const { return value_; }
  i32 GetMaximum() const { return maximum_; }
  i32 GetWidth() const { return maximum_ * kHealthSegment; }
  // The filled run's and the empty run's extent from the anchor (left,
  // right); an empty run has left == right.
  void GetRuns(float* filledLeft, float* filledRight, float* emptyLeft, float* emptyRight) const;

 private:
  void Build();

  Sprite* full_;
  Sprite* empty_;
  i32 value_;
  i32 maximum_;
  DXLQUAD quads_[6] = {};
  i32 fullQuads_ = 0;
  i32 emptyQuads_ = 0;
};

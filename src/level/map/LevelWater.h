// LevelWater - animated water: its frames cross-fade in a cycle on the game
// clock, each fading in over its predecessor in one period, the last one
// fading out before the cycle starts again. The period and frames come
// from the map sprite's own animation when it has one (which is then
// switched off), else 1,500 ms over its frames.
#pragma once

#include "level/map/SpriteObject.h"

class LevelWater : public SpriteObject {
 public:
  LevelWater(LevelMap& map, MapSprite* mapSprite, u8 flagByte, i32 x, i32 y);  // ground layer, no owner
  ~LevelWater() override = default;

  void Draw() override;

  u32 GetPeriod() const { return period_; }
  u32 GetStepCount() const { return stepCount_; }
  u32 GetStep() const { return step_; }
  float GetFraction() const { return fraction_; }

 private:
  u32 start_;
  u32 period_ = 1500;
  u32 stepCount_ = 1;
  u32 step_ = 0;
  float fraction_ = 0.0f;
};

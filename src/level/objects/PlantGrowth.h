// PlantGrowth - the rules of a plant point's crop without its look: the
// growth percent driven by the grown time, the frame a crop or a tree's
// fruit shows at a growth, the water a watering gives, a tree's fruit order,
// and the point's saved header (kind, level, plant id, the growth percent's
// bits in the price word, water left and water maximum). Plant beds and
// trees (BasePointPlant) keep one and draw from it.
//
// Growth is time over the kind's growth time; a growth time of 0 ripens at
// once (percent 100) instead of dividing by zero. A saved header whose
// growth is not a number or outside 0 to 100, or whose water left is above
// its maximum, is refused.
#pragma once

#include <vector>

#include "base/Types.h"

struct PLANT;
struct POINTPARAMS;

class PlantGrowth {
 public:
  float GetPercent() const { return percent_; }
  float GetTime() const { return time_; }           // ms grown
  float GetFullTime() const { return fullTime_; }   // ms to 100 percent
  bool IsRipe() const { return ripe_; }

  void SetFullTime(float ms) { fullTime_ = ms > 0.0f ? ms : 0.0f; }
  // The percent clamped to 0..100; unless forced, the same percent changes
  // nothing (false). Ripe is exactly 100.
  bool Set(float percent, bool forced);
  // The percent with the time that gives it (forced).
  void SetWithTime(float percent);
  // Adds grown ms (already scaled by the level's rate); true when the
  // percent changed. No time changes nothing.
  bool Grow(float ms);

 private:
  float percent_ = 0.0f;
  float time_ = 0.0f;
  float fullTime_ = 0.0f;
  bool ripe_ = false;
};

// The frame of a bed's crop of `frames` frames at a growth percent: the
// last frame is never reached by growth; fewer than 3 frames show frame 0.
i32 CropFrame(float percent, u32 frames);
// The frame of a fruit that shows from `start` for `duration` ms of grown
// time: -1 before, the last at the end.
i32 FruitFrame(float time, float start, float duration, u32 frames);
// Harvests a watering lasts: a whole number between the kind's water
// minimum and maximum, both included, in either order.
i32 DrawWater(const PLANT& plant);
// A tree's order of its fruit positions: a random permutation of 0 .. n - 1.
std::vector<u32> DrawFruitOrder(u32 n);

// The saved header of a plant point.
struct PlantInfo {
  float percent = 0.0f;
  i32 waterLeft = 0;
  i32 waterMax = 0;
};
void PutPlantInfo(const PlantInfo& info, POINTPARAMS* out);  // the words after kind, level and id
bool GetPlantInfo(const POINTPARAMS& params, PlantInfo* out);  // false on a growth or water no play gives

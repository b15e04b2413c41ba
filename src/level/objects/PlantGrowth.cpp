#include "level/objects/PlantGrowth.h"

#include <bit>
#include <climits>
#include <cmath>

#include "base/Random.h"
#include "content/PlantTable.h"
#include "level/map/BaseLevelPoint.h"

namespace {

float Clamp(float v) { return v < 0.0f ? 0.0f : v > 100.0f ? 100.0f : v; }

}  // namespace

bool PlantGrowth::Set(float percent, bool forced) {
  percent = Clamp(percent);
  if (!forced && percent == percent_) return false;
  percent_ = percent;
  ripe_ = percent_ == 100.0f;
  return true;
}

void PlantGrowth::SetWithTime(float percent) {
  percent = Clamp(percent);
  time_ = percent * fullTime_ / 100.0f;
  Set(percent, true);
}

// The time is kept as grown; the percent follows it. Without a growth time
// any growth is the whole of it.
bool PlantGrowth::Grow(float ms) {
  if (!(ms > 0.0f)) return false;
  time_ += ms;
  return Set(fullTime_ > 0.0f ? time_ / fullTime_ * 100.0f : 100.0f, false);
}

i32 CropFrame(float percent, u32 frames) {
  if (frames < 3) return 0;
  return static_cast<i32>(std::floor(Clamp(percent) * static_cast<float>(frames - 2) / 100.0f));
}

// A duration of 0 shows the last frame from the start on.
i32 FruitFrame(float time, float start, float duration, u32 frames) {
  const float t = time - start;
  if (t < 0.0f || frames == 0) return -1;
  const i32 last = static_cast<i32>(frames) - 1;
  if (t >= duration) return last;
  const i32 frame = static_cast<i32>(std::floor(static_cast<float>(last) * t / duration));
  return frame < last ? frame : last;
}

i32 DrawWater(const PLANT& plant) {
  const i32 lo = plant.waterMin > INT32_MAX ? INT32_MAX : static_cast<i32>(plant.waterMin);
  const i32 hi = plant.waterMax > INT32_MAX ? INT32_MAX : static_cast<i32>(plant.waterMax);
  return kis::RandomRange(lo, hi);
}

std::vector<u32> DrawFruitOrder(u32 n) {
  std::vector<u32> left(n), order;
  for (u32 i = 0; i < n; ++i) left[i] = i;
  order.reserve(n);
  while (!left.empty()) {
    const u32 pick = kis::RandomInt(static_cast<u32>(left.size()));
    order.push_back(left[pick]);
    left.erase(left.begin() + pick);
  }
  return order;
}

void PutPlantInfo(const PlantInfo& info, POINTPARAMS* out) {
  out->price = std::bit_cast<u32>(info.percent);
  out->extra[0] = static_cast<u32>(info.waterLeft);
  out->extra[1] = static_cast<u32>(info.waterMax);
}

bool GetPlantInfo(const POINTPARAMS& params, PlantInfo* out) {
  const float percent = std::bit_cast<float>(params.price);
  const i32 left = static_cast<i32>(params.extra[0]), most = static_cast<i32>(params.extra[1]);
  if (!(percent >= 0.0f && percent <= 100.0f) || left < 0 || most < 0 || left > most) return false;
  out->percent = percent;
  out->waterLeft = left;
  out->waterMax = most;
  return true;
}

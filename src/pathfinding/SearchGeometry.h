// Small geometry shared by the steps of the path search (PathSearch.cpp,
// PathSegments.cpp, PathDetours.cpp): distances, float-to-grid conversions and
// the nearest-point bookkeeping. Private to the path finder.
#pragma once

#include <algorithm>
#include <cmath>

#include "base/Types.h"
#include "pathfinding/ShapeRecords.h"

namespace shpf::search {

inline constexpr float kFar = 1000000.0f;
inline constexpr float kSideTolerance = 0.00001f;

inline float Dist(float ax, float ay, float bx, float by) { return std::hypot(bx - ax, by - ay); }

// Integer ceiling of a non-negative float: truncation plus one on any fraction.
inline i32 CeilPos(float v) {
  const i32 t = static_cast<i32>(v);
  return static_cast<float>(t) < v ? t + 1 : t;
}

inline bool Finite(float v) { return std::isfinite(v); }

// Fits a float into the 16-bit coordinate range before truncating it.
inline float Trunc(float v) { return std::trunc(std::clamp(v, -32768.0f, 32767.0f)); }

// Nearest-point bookkeeping shared by NearestFree and the finish relocation:
// vertices that are not corners count by distance, edges by the foot of the
// perpendicular when the point lies between their ends.
struct Nearest {
  float px = 0.0f, py = 0.0f;
  float best = kFar;
  float bx = 0.0f, by = 0.0f;

  void Vertex(const _MSPOINT* v) {
    if (v->corner != 0) return;
    Take(Dist(px, py, v->x, v->y), v->x, v->y);
  }
  void Edge(const _MSPOINT* a, const _MSPOINT* b) {
    if (a->y == b->y) {
      const float lo = std::min<float>(a->x, b->x), hi = std::max<float>(a->x, b->x);
      if (px >= lo - kSideTolerance && px <= hi + kSideTolerance) Take(std::fabs(py - a->y), px, a->y);
    } else {
      const float lo = std::min<float>(a->y, b->y), hi = std::max<float>(a->y, b->y);
      if (py >= lo - kSideTolerance && py <= hi + kSideTolerance) Take(std::fabs(px - a->x), a->x, py);
    }
  }
  void Take(float d, float x, float y) {
    if (d < best) {
      best = d;
      bx = x;
      by = y;
    }
  }
};

}  // namespace shpf::search

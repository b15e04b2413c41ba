// Independent checks of a found path against the registered shapes alone:
// ends where it should, every point free and inside the bounds, and every
// segment clear of the inflated rectangles (sampled finely; a cut of less
// than one pixel across a corner is allowed, as the search walks pixel steps).
#pragma once

#include <cmath>
#include <string>

#include "pathfinding/PathFinder.h"

namespace shpf_test {

using namespace shpf;

inline bool Inflated(const _SHAPE* s, const _SHAPEGRID* g, i32* l, i32* t, i32* r, i32* b) {
  if (s->mask != 0 && (s->mask & g->mask) == 0) return false;
  *l = s->left - g->footLeft;
  *t = s->top - g->footTop;
  *r = s->right + g->footRight;
  *b = s->bottom + g->footBottom;
  return *l < *r && *t < *b;
}

inline bool PixelBlocked(const PathFinder& pf, const _SHAPEGRID* g, i32 x, i32 y) {
  for (i32 i = 0; i < pf.GetShapes().GetCount(); ++i) {
    i32 l, t, r, b;
    if (Inflated(pf.GetShapes()[i], g, &l, &t, &r, &b) && x >= l && x < r && y >= t && y < b) return true;
  }
  return false;
}

inline bool DeepInside(const PathFinder& pf, const _SHAPEGRID* g, float x, float y) {
  for (i32 i = 0; i < pf.GetShapes().GetCount(); ++i) {
    i32 l, t, r, b;
    if (Inflated(pf.GetShapes()[i], g, &l, &t, &r, &b) && x > l + 1.0f && x < r - 1.0f && y > t + 1.0f &&
        y < b - 1.0f)
      return true;
  }
  return false;
}

inline std::string CheckSegment(const PathFinder& pf, const _SHAPEGRID* g, float ax, float ay, float bx, float by) {
  const float len = std::hypot(bx - ax, by - ay);
  const i32 samples = static_cast<i32>(len * 8.0f) + 1;
  for (i32 k = 0; k <= samples; ++k) {
    const float t = static_cast<float>(k) / static_cast<float>(samples);
    const float x = ax + 0.5f + (bx - ax) * t, y = ay + 0.5f + (by - ay) * t;
    if (DeepInside(pf, g, x, y))
      return "segment (" + std::to_string(ax) + "," + std::to_string(ay) + ")-(" + std::to_string(bx) + "," +
             std::to_string(by) + ") crosses an obstacle";
  }
  return "";
}

// expectFinish: the finish the path must end on, or null when the finish lay
// inside an obstacle (then any free point will do).
inline std::string CheckPath(const PathFinder& pf, const _SHAPEGRID* g, const _PATHREQUEST& req, float sx, float sy,
                             const float* expectFinish) {
  if (req.prState != PFS_FOUND) return "not found";
  if (req.pointCount < 2 || !req.points) return "fewer than two points";
  if (req.points[0] != std::trunc(sx) || req.points[1] != std::trunc(sy)) return "does not start at the start";
  const float lx = req.points[2 * req.pointCount - 2], ly = req.points[2 * req.pointCount - 1];
  if (expectFinish && (lx != expectFinish[0] || ly != expectFinish[1])) return "does not end at the finish";
  for (u32 i = 0; i < req.pointCount; ++i) {
    const float x = req.points[2 * i], y = req.points[2 * i + 1];
    if (x < g->boundLeft || y < g->boundTop || x >= g->boundRight || y >= g->boundBottom) return "point outside the bounds";
    if (PixelBlocked(pf, g, static_cast<i32>(x), static_cast<i32>(y))) return "point on a blocked pixel";
    if (i > 0) {
      const std::string e = CheckSegment(pf, g, req.points[2 * i - 2], req.points[2 * i - 1], x, y);
      if (!e.empty()) return e;
    }
  }
  return "";
}

}  // namespace shpf_test

// shpf::OutlineBuilder - the rings round one group of touching rectangles.
//
// Contract: given the member rectangles of a group (half-open, in map units)
// and the walkable bounds, Build returns the outline rings that a walker uses
// to go round the group. A ring runs through the free pixels that touch the
// group (8-adjacent), always along rows and columns, and always closes unless
// the bounds cut it open; then each stretch inside the bounds is a ring of its
// own whose two ends lie on the bounds. Passages of free space narrower than
// three pixels inside a group are not followed: the ring passes their mouth. L, T and U shapes, groups with holes and
// groups that nearly close on themselves all give closed rings.
//
// Vertices come in order of walking direction 1: the group on the walker's
// right hand (screen coordinates, y down). A vertex where the group has a
// convex corner carries corner number 1..4 (top-left, top-right, bottom-right,
// bottom-left) and is a detour waypoint; a vertex at an inner corner of the
// group carries corner number 0 and is never a waypoint; a vertex made where a
// ring is cut by the bounds carries corner number 0 and a bound corner number.
#pragma once

#include <vector>

#include "base/Types.h"

namespace shpf {

struct OutlineRect {
  i32 left, top, right, bottom;
};

struct OutlineVertex {
  i32 x, y;
  u8 corner;       // 1..4 at a convex corner, else 0
  u8 boundCorner;  // 1..4 where the bounds cut the ring, else 0
  u8 sideMask;     // sides of the group the vertex joins: 1 left, 2 top, 4 right, 8 bottom
};

struct OutlineRing {
  std::vector<OutlineVertex> points;  // in walking direction 1
  bool closed = false;                // false: cut open by the bounds at both ends
};

class OutlineBuilder {
 public:
  OutlineBuilder() = default;
  OutlineBuilder(const OutlineBuilder&) = delete;
  OutlineBuilder& operator=(const OutlineBuilder&) = delete;

  // Appends the rings of the group to out. Empty rectangles are ignored.
  void Build(const OutlineRect* rects, size_t count, const OutlineRect& bounds, std::vector<OutlineRing>& out);

 private:
  struct Turn {
    i32 x, y;   // lattice point
    u8 in, out; // headings: 0 east, 1 south, 2 west, 3 north
  };

  void Trace(i32 startI, i32 startJ, u8 startDir, std::vector<Turn>& turns);
  void Clip(const std::vector<OutlineVertex>& ring, const OutlineRect& bounds, std::vector<OutlineRing>& out);

  std::vector<i32> xs_, ys_;   // compressed lattice coordinates
  std::vector<i32> cover_;     // per compressed cell: how many rectangles cover it
  std::vector<u8> edges_;      // per lattice point: outgoing boundary edges, bit per heading
  size_t nx_ = 0, ny_ = 0;     // lattice points per axis
};

}  // namespace shpf

// The segment tests of the path search: tracing a segment through the grid,
// placing its crossings on the outline rings and pairing them (step 2 of the
// walk-through in PathSearch.cpp).
#include <algorithm>
#include <cmath>

#include "pathfinding/PathFinder.h"
#include "pathfinding/SearchGeometry.h"

namespace shpf {

using namespace search;

bool PathFinder::TestSegment(_PATHDATA* data, i32 k) {
  ++data->segmentTests;
  data->segIndex = static_cast<i16>(k);
  data->segStart = data->path[k - 1];
  data->segEnd = data->path[k];
  ClearCollisions(data);
  Trace(data);
  if (data->pdInPoints.GetCount() == 0 && data->pdOutPoints.GetCount() == 0) {
    data->segEnd->checked = 1;
    return false;
  }
  for (i32 i = 0; i < data->pdInPoints.GetCount(); ++i) Attach(data, data->pdInPoints[i]);
  for (i32 i = 0; i < data->pdOutPoints.GetCount(); ++i) Attach(data, data->pdOutPoints[i]);
  Pair(data);
  data->segEnd->checked = 0;
  return true;
}

// Walks the segment from pixel centre to pixel centre in unit steps along its
// longer axis, noting where it enters and leaves grid shapes.
void PathFinder::Trace(_PATHDATA* data) {
  const _PATHPOINT* a = data->segStart;
  const _PATHPOINT* b = data->segEnd;
  const float dx = b->x - a->x, dy = b->y - a->y;
  i32 steps = std::max(CeilPos(std::fabs(dx)), CeilPos(std::fabs(dy)));
  if (steps < 2) steps = 1;
  const float sx = dx / static_cast<float>(steps), sy = dy / static_cast<float>(steps);
  u16 inFlags = 0, outFlags = 0;
  if (b->x > a->x) inFlags |= 1, outFlags |= 4;
  if (b->x < a->x) inFlags |= 4, outFlags |= 1;
  if (b->y > a->y) inFlags |= 2, outFlags |= 8;
  if (b->y < a->y) inFlags |= 8, outFlags |= 2;
  data->sliceWork += static_cast<u32>(steps);
  float px = a->x + 0.5f, py = a->y + 0.5f;
  bool inside = false;
  _MULTISHAPE* lastIn = nullptr;
  auto point = [&](float x, float y, u16 flags, _MULTISHAPE* ms) {
    auto* cp = new _COLLISPOINT{};
    cp->x = std::trunc(x);
    cp->y = std::trunc(y);
    cp->flags = flags;
    cp->multiShape = ms;
    cp->approach = std::fabs(cp->x - a->x) + std::fabs(cp->y - a->y);
    return cp;
  };
  for (i32 i = 1; i <= steps; ++i) {
    const float prevX = px, prevY = py;
    if (i == steps) {
      px = b->x + 0.5f;
      py = b->y + 0.5f;
    } else {
      px += sx;
      py += sy;
    }
    _GRIDSHAPE* hit = ShapeAtPixel(data->grid, static_cast<i32>(px), static_cast<i32>(py));
    if (hit && !inside) {
      lastIn = hit->multiShape;
      data->pdInPoints.Add(point(prevX, prevY, inFlags, lastIn));
    } else if (!hit && inside) {
      data->pdOutPoints.Add(point(px, py, outFlags, lastIn));
    }
    inside = hit != nullptr;
  }
}

// Places a collision point on its ring: the first outline vertex each way
// round and the distance to it. The rules (AttachByRules) scan the point's
// row or column for the ring edge it lies on, and they place every crossing
// of a group whose free space is at least three pixels wide. They fail only
// in, or at the mouth of, a pocket or passage narrower than that, which the
// ring passes by: there they find no side, no vertex one way round or both,
// or two that do not bound one edge. A point left on no ring, or with one
// way round, would end the walk at the pocket's mouth, fail it or break the
// detour's invariants, though the target may be plainly reachable; so
// there, and only there, the point goes on the nearest ring edge it can see
// (AttachNearest, counted in GetFallbacks). A group with no ring inside the
// bounds leaves it on none.
void PathFinder::Attach(_PATHDATA* data, _COLLISPOINT* cp) {
  cp->vertex[0] = cp->vertex[1] = nullptr;
  cp->dist[0] = cp->dist[1] = 0.0f;
  cp->nearest = 0;
  cp->offset = 0.0f;
  cp->ring = 0;
  if (!cp->multiShape) return;
  AttachByRules(data, cp);
  if (cp->ring == 0) AttachNearest(data, cp, 0);
}

bool PathFinder::AttachNearest(_PATHDATA* data, _COLLISPOINT* cp, i16 onlyRing) {
  const _MULTISHAPE* ms = cp->multiShape;
  float best = kFar;
  bool found = false;
  for (i32 r = 0; r < ms->outlines.GetCount(); ++r) {
    if (onlyRing > 0 && r + 1 != onlyRing) continue;
    const PointList* ring = ms->outlines[r];
    for (i32 k = 0; k < ring->GetCount(); ++k) {
      _MSPOINT* a = (*ring)[k];
      _MSPOINT* b = a->link[1].point;
      if (!b) continue;
      const float qx = std::clamp(cp->x, static_cast<float>(std::min(a->x, b->x)), static_cast<float>(std::max(a->x, b->x)));
      const float qy = std::clamp(cp->y, static_cast<float>(std::min(a->y, b->y)), static_cast<float>(std::max(a->y, b->y)));
      const float d = Dist(cp->x, cp->y, qx, qy);
      ++data->sliceWork;
      if (d >= best) continue;
      data->sliceWork += static_cast<u32>(d);  // the pixels LineClear probes at most
      if (!LineClear(data->grid, cp->x, cp->y, qx, qy)) continue;
      best = d;
      cp->vertex[0] = a;
      cp->vertex[1] = b;
      cp->dist[0] = d + std::fabs(qx - a->x) + std::fabs(qy - a->y);
      cp->dist[1] = d + std::fabs(qx - b->x) + std::fabs(qy - b->y);
      cp->ring = a->outline;
      cp->nearest = 1;
      cp->offset = d;
      found = true;
    }
  }
  if (found) ++fallbacks_;
  return found;
}

// True when the pixel walk between two free points meets no grid shape.
bool PathFinder::LineClear(const _SHAPEGRID* grid, float ax, float ay, float bx, float by) const {
  const float dx = bx - ax, dy = by - ay;
  i32 steps = std::max(CeilPos(std::fabs(dx)), CeilPos(std::fabs(dy)));
  if (steps < 1) steps = 1;
  for (i32 i = 0; i <= steps; ++i) {
    const float t = static_cast<float>(i) / static_cast<float>(steps);
    if (ShapeAtPixel(grid, static_cast<i32>(ax + 0.5f + dx * t), static_cast<i32>(ay + 0.5f + dy * t))) return false;
  }
  return true;
}

void PathFinder::AttachByRules(_PATHDATA* data, _COLLISPOINT* cp) {
  _MULTISHAPE* ms = cp->multiShape;
  u8 code = 0;
  switch (cp->flags) {
    case 3: code = 1; break;
    case 6: code = 2; break;
    case 12: code = 3; break;
    case 9: code = 4; break;
    default: break;
  }
  const i32 x = static_cast<i32>(cp->x), y = static_cast<i32>(cp->y);
  const _GRIDCELL* cell = CellAt(data->grid, ColumnOf(x), RowOf(y));
  for (i32 i = 0; i < cell->points.GetCount(); ++i) {
    _MSPOINT* v = cell->points[i];
    if (v->multiShape != ms || v->x != x || v->y != y || (v->corner != 0 && v->corner != code)) continue;
    for (i32 d = 0; d < 2; ++d) {
      if (v->link[d].point) {
        cp->vertex[d] = v->link[d].point;
        cp->dist[d] = v->link[d].length;
      } else {
        cp->vertex[d] = v;
        cp->dist[d] = 0.0f;
      }
    }
    cp->ring = v->outline;
    return;
  }
  // The side of the obstacle the point faces, probed one pixel on.
  i32 side = 0;
  if ((cp->flags & 1) && ShapeAtPixel(data->grid, x + 1, y)) side = 4;
  else if ((cp->flags & 4) && ShapeAtPixel(data->grid, x - 1, y)) side = 2;
  if ((cp->flags & 2) && ShapeAtPixel(data->grid, x, y + 1)) {
    if (side) return;  // touches a corner diagonally
    side = 1;
  } else if ((cp->flags & 8) && ShapeAtPixel(data->grid, x, y - 1)) {
    if (side) return;
    side = 3;
  }
  if (!side) return;
  _MSPOINT* found[2] = {nullptr, nullptr};
  float dist[2] = {0.0f, 0.0f};
  for (i32 d = 0; d < 2; ++d) {
    const i32 axis = d == 0 ? (side + 1) % 4 : side - 1;
    u8 want = static_cast<u8>(side + d);
    if (want > 4) want = static_cast<u8>(want - 4);
    if (!RunAlong(data, cp, axis, want, &found[d], &dist[d])) return;
  }
  if (found[0]->outline != found[1]->outline || found[0]->link[1].point != found[1] ||
      found[1]->link[0].point != found[0])
    return;
  cp->vertex[0] = found[0];
  cp->vertex[1] = found[1];
  cp->dist[0] = dist[0];
  cp->dist[1] = dist[1];
  cp->ring = found[0]->outline;
}

// Scans from the point along one axis (0 right, 1 down, 2 left, 3 up) for the
// nearest qualifying vertex of its group, and checks that no member of the
// group lies across the run to it.
bool PathFinder::RunAlong(_PATHDATA* data, _COLLISPOINT* cp, i32 axis, u8 want, _MSPOINT** found, float* dist) {
  _MULTISHAPE* ms = cp->multiShape;
  const i32 x = static_cast<i32>(cp->x), y = static_cast<i32>(cp->y);
  const bool horizontal = axis == 0 || axis == 2;
  const i32 step = (axis == 0 || axis == 1) ? 1 : -1;
  i32 c = ColumnOf(x), r = RowOf(y);
  _MSPOINT* best = nullptr;
  i32 bestDist = 0;
  while (c >= 0 && c < columns_ && r >= 0 && r < rows_) {
    const _GRIDCELL* cell = CellAt(data->grid, c, r);
    data->sliceWork += 1 + static_cast<u32>(cell->points.GetCount());
    for (i32 i = 0; i < cell->points.GetCount(); ++i) {
      _MSPOINT* v = cell->points[i];
      if (v->multiShape != ms || (v->corner != 0 && v->corner != want)) continue;
      const i32 along = horizontal ? (v->x - x) * step : (v->y - y) * step;
      if ((horizontal ? v->y != y : v->x != x) || along <= 0) continue;
      if (!best || along < bestDist) {
        best = v;
        bestDist = along;
      }
    }
    if (best) break;
    if (horizontal) c += step;
    else r += step;
  }
  if (!best) return false;
  // The run must not cross a member of the group.
  const i32 x0 = std::min<i32>(x, best->x), x1 = std::max<i32>(x, best->x);
  const i32 y0 = std::min<i32>(y, best->y), y1 = std::max<i32>(y, best->y);
  for (i32 rr = RowOf(y0); rr <= RowOf(y1); ++rr)
    for (i32 cc = ColumnOf(x0); cc <= ColumnOf(x1); ++cc) {
      const _GRIDCELL* cell = CellAt(data->grid, cc, rr);
      data->sliceWork += 1 + static_cast<u32>(cell->shapes.GetCount());
      for (i32 i = 0; i < cell->shapes.GetCount(); ++i) {
        const _GRIDSHAPE* g = cell->shapes[i];
        if (g->multiShape == ms && g->left <= x1 && x0 < g->right && g->top <= y1 && y0 < g->bottom) return false;
      }
    }
  *found = best;
  *dist = static_cast<float>(bestDist);
  return true;
}

// Pairs each in point with the out point where the segment leaves the same
// group on the same ring. A crossing through a hole (out and in on another
// ring) is folded into the pair round it; an out point and the next in point
// at the same place (a one-pixel gap) cancel, joining their pairs.
void PathFinder::Pair(_PATHDATA* data) {
  kis::list<_COLLISPOINT*>& ins = data->pdInPoints;
  kis::list<_COLLISPOINT*>& outs = data->pdOutPoints;
  if (ins.GetCount() > 0 && ins[0]->ring == 0) {
    _COLLISPOINT* first = ins[0];
    ins.Delete(0);
    ins.DeleteAll();
    outs.DeleteAll();
    ins.Add(first);
    return;
  }
  kis::list<_COLLISPOINT*> keptIns, keptOuts;
  kis::list<_COLLISPOINT*> dropped;
  i32 oi = 0;
  i32 skip = 0;  // in points to drop after crossings through other rings
  _COLLISPOINT* lastOut = nullptr;
  for (i32 ii = 0; ii < ins.GetCount(); ++ii) {
    _COLLISPOINT* in = ins[ii];
    if (skip > 0 || in->ring == 0 || (lastOut && in->approach < lastOut->approach) ||
        (ii != 0 && outs.GetCount() == 0)) {
      if (skip > 0) --skip;
      dropped.Add(in);
      continue;
    }
    _COLLISPOINT* current = in;
    if (lastOut && in->approach == lastOut->approach && in->vertex[0] == lastOut->vertex[0] &&
        in->vertex[1] == lastOut->vertex[1]) {
      dropped.Add(in);
      dropped.Add(lastOut);
      keptOuts.Delete(keptOuts.GetCount() - 1);
      lastOut = nullptr;
      current = keptIns.Last();
    } else {
      current->pair = static_cast<i16>(keptIns.GetCount());
      keptIns.Add(current);
    }
    while (oi < outs.GetCount()) {
      _COLLISPOINT* out = outs[oi++];
      if (out->approach < current->approach) {
        dropped.Add(out);
        continue;
      }
      // A crossing from one ring of a group to another with no further entry
      // into the group: a passage too narrow to outline joins the two sides.
      // One of the points is placed on the other's ring, where it can see it.
      if (out->multiShape == current->multiShape && out->ring != current->ring && out->ring != 0) {
        bool later = false;
        for (i32 jj = ii + 1; jj < ins.GetCount(); ++jj)
          if (ins[jj]->multiShape == out->multiShape && ins[jj]->approach > out->approach) later = true;
        if (!later && !AttachNearest(data, current, out->ring)) AttachNearest(data, out, current->ring);
      }
      if (out->ring == current->ring && out->multiShape == current->multiShape && out->ring != 0) {
        out->pair = current->pair;
        keptOuts.Add(out);
        lastOut = out;
        break;
      }
      dropped.Add(out);
      ++skip;
    }
  }
  while (oi < outs.GetCount()) dropped.Add(outs[oi++]);
  dropped.DeleteAll();
  ins.RemoveAll();
  outs.RemoveAll();
  ins.AddList(&keptIns);
  outs.AddList(&keptOuts);
}

}  // namespace shpf

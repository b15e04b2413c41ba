// The detours of the path search and the free points of walkers: going round
// the obstacles a segment crosses (step 3 of the walk-through in
// PathSearch.cpp), moving a finish out of an obstacle, and the nearest free
// point in a direction or anywhere.
#include <algorithm>
#include <cmath>

#include "pathfinding/PathFinder.h"
#include "pathfinding/SearchGeometry.h"

namespace shpf {

using namespace search;

namespace {

const char16_t kCountsDiffer[] = u"Ошибка поиска пути!\ndata->pdInPoints.count() != data->pdOutPoints.count()";
const char16_t kNoInPoint[] = u"Ошибка поиска пути!\n!in_point";
const char16_t kPrevDistNegative[] = u"Ошибка поиска пути!\ndata->pdIOOuts[index-1].opFullDist < 0";
const char16_t kPrevIndexNegative[] = u"Ошибка поиска пути!\nout_point->opPrevPointIndex < 0";

}  // namespace

bool PathFinder::Detour(_PATHDATA* data) {
  if (data->pdInPoints.GetCount() != data->pdOutPoints.GetCount()) {
    Invariant(kCountsDiffer);
    return false;
  }
  const i32 n = data->pdInPoints.GetCount();
  if (n == 0) return false;  // nothing to go round: the search cannot go on
  data->ioCount = static_cast<u16>(n);
  data->pdIOIns = new _IOIN[static_cast<size_t>(n)];
  data->pdIOOuts = new _IOOUT[static_cast<size_t>(n)];
  for (i32 i = 0; i < n; ++i) {
    _IOIN& in = data->pdIOIns[i];
    in.point = data->pdInPoints[i];
    in.index = static_cast<u16>(i);
    in.fullDist = -1.0f;
    in.walked[0] = in.walked[1] = 0.0f;
    _IOOUT& out = data->pdIOOuts[i];
    out.point = data->pdOutPoints[i];
    out.index = static_cast<u16>(i);
    out.dir = 0;
    out.opPrevPointIndex = -1;
    out.in = nullptr;
    out.outlineDist = -1.0f;
    out.opFullDist = -1.0f;
  }
  for (i32 i = 0; i < n; ++i) {
    if (!Walk(data, i, 1) || !Walk(data, i, 0)) return false;
  }
  // Follow the best chain back from the last out point; among the waypoints on
  // it the one that bends the segment most wins.
  const _PATHPOINT* s = data->segStart;
  const _PATHPOINT* e = data->segEnd;
  _MSPOINT* winner = nullptr;
  float best = 0.0f, winDs = 0.0f, winDe = 0.0f;
  for (i32 j = n - 1; j >= 0;) {
    const _IOOUT& out = data->pdIOOuts[j];
    if (!out.in) {
      Invariant(kNoInPoint);
      return false;
    }
    const kis::list<_MSPOINT*>& list = out.in->waypoints[out.dir];
    for (i32 k = 0; k <= out.opPrevPointIndex && k < list.GetCount(); ++k) {
      _MSPOINT* v = list[k];
      const float ds = Dist(s->x, s->y, v->x, v->y), de = Dist(v->x, v->y, e->x, e->y);
      if (ds + de > best) {
        best = ds + de;
        winner = v;
        winDs = ds;
        winDe = de;
      }
    }
    j = out.in->index - 1;
  }
  if (!winner) return false;  // no corner to go round: the search cannot go on
  InsertPoint(data, winner, winDs, winDe);
  ClearCollisions(data);
  return true;
}

// Walks the ring of in point i in direction d, noting the corners passed and
// the cheapest way found to every later out point on the ring.
bool PathFinder::Walk(_PATHDATA* data, i32 i, i32 d) {
  _IOIN& in = data->pdIOIns[i];
  if (in.fullDist < 0.0f) {
    if (i == 0) {
      in.fullDist = Dist(data->segStart->x, data->segStart->y, in.point->x, in.point->y);
    } else {
      const _IOOUT& prev = data->pdIOOuts[i - 1];
      if (prev.opFullDist < 0.0f) {
        Invariant(kPrevDistNegative);
        return false;
      }
      in.fullDist = Dist(prev.point->x, prev.point->y, in.point->x, in.point->y) + prev.opFullDist;
    }
  }
  _MSPOINT* v = in.point->vertex[d];
  if (!v) return true;  // no way round in this direction
  float walked = in.point->dist[d];
  const i32 other = (d + 1) % 2;
  // Records a way to out entry j whose length along the outline is `along`.
  auto reach = [&](i32 j, float along) {
    _IOOUT& out = data->pdIOOuts[j];
    const float candidate = in.fullDist + along;
    if (out.opFullDist > 0.0f && candidate > out.opFullDist) return true;
    out.outlineDist = along;
    out.opFullDist = candidate;
    out.in = &in;
    out.dir = static_cast<i16>(d);
    out.opPrevPointIndex = static_cast<i16>(in.waypoints[d].GetCount() - 1);
    // Going round with no corner passed is a broken outline, unless a point
    // was only placed near its ring (then the way simply offers no corner).
    if (out.opPrevPointIndex < 0 && d == 0 && !in.point->nearest && !out.point->nearest) {
      Invariant(kPrevIndexNegative);
      return false;
    }
    return true;
  };
  // Distance along the ring edge to the point's vertex in direction k.
  auto along = [](const _COLLISPOINT* c, i32 k) { return c->dist[k] - c->offset; };
  // An out point on the first edge, between the in point and its first vertex.
  for (i32 j = i; j < data->ioCount; ++j) {
    const _COLLISPOINT* o = data->pdIOOuts[j].point;
    if (o->vertex[d] != v || along(o, d) > along(in.point, d)) continue;
    if (!reach(j, in.point->offset + along(in.point, d) - along(o, d) + o->offset)) return false;
  }
  // Never more steps than the ring has vertices (and one to close it).
  const PointList* ring = in.point->ring > 0 ? in.point->multiShape->outlines[in.point->ring - 1] : nullptr;
  const i32 limit = (ring ? ring->GetCount() : 0) + 2;
  for (i32 steps = 0; steps < limit; ++steps) {
    data->sliceWork += 1 + static_cast<u32>(data->ioCount);
    if (v->corner != 0 && (v->x != in.point->x || v->y != in.point->y)) in.waypoints[d].Add(v);
    // The walk has come round to an in point on the edge just walked; out
    // points passed before it on that edge still count.
    float stopAt = -1.0f;
    for (i32 k = 0; k <= i; ++k) {
      const _COLLISPOINT* c = data->pdIOIns[k].point;
      if (c->vertex[other] == v) stopAt = std::max(stopAt, along(c, other));
    }
    for (i32 j = i; j < data->ioCount; ++j) {
      const _COLLISPOINT* o = data->pdIOOuts[j].point;
      if (o->vertex[other] != v || along(o, other) < stopAt) continue;
      if (!reach(j, walked + o->dist[other])) return false;
    }
    if (stopAt >= 0.0f) return true;
    const _MSLINK& link = v->link[d];
    if (!link.point) return true;
    walked += link.length;
    v = link.point;
  }
  return true;
}

void PathFinder::InsertPoint(_PATHDATA* data, _MSPOINT* v, float ds, float de) {
  const i32 k = data->segIndex;
  _PATHPOINT* end = data->path[k];
  const float grow = ds + de - end->segLength;
  end->segLength = de;
  for (i32 j = k; j < data->path.GetCount(); ++j) data->path[j]->fullDist += grow;
  const float before = data->path[k - 1]->fullDist;
  data->path.Insert(k, new _PATHPOINT{static_cast<float>(v->x), static_cast<float>(v->y), 0, ds, ds + before});
}

// Moves a finish that lies inside an obstacle to the nearest point of the
// outline where the segment entered it, or to that entry itself: the free
// pixel before the obstacle is the first candidate, and an entry placed on
// no ring (the free space round it too narrow to outline) stays the finish,
// so that the walker goes as far as the straight way is free.
bool PathFinder::RelocateFinish(_PATHDATA* data) {
  _COLLISPOINT* in = data->pdInPoints.Last();
  if (!in) {  // a blocked segment starts free, so it always has an entry
    ClearCollisions(data);
    return false;
  }
  Nearest n;
  n.px = data->finishX;
  n.py = data->finishY;
  n.Take(Dist(in->x, in->y, data->finishX, data->finishY), in->x, in->y);
  const PointList* ring = in->ring > 0 && in->vertex[1] ? in->multiShape->outlines[in->ring - 1] : nullptr;
  const i32 limit = ring ? ring->GetCount() + 2 : 0;
  const _MSPOINT* first = in->vertex[1];
  bool open = false;
  const _MSPOINT* v = first;
  for (i32 steps = 0; steps < limit && v; ++steps) {
    n.Vertex(v);
    const _MSPOINT* next = v->link[1].point;
    if (!next) {
      open = true;
      break;
    }
    n.Edge(v, next);
    v = next;
    if (v == first) {
      n.Vertex(v);
      break;
    }
  }
  if (open && in->vertex[0]) {
    v = in->vertex[0];
    for (i32 steps = 0; steps < limit && v; ++steps) {
      n.Vertex(v);
      const _MSPOINT* next = v->link[0].point;
      if (!next) break;
      n.Edge(v, next);
      v = next;
    }
  }
  ClearCollisions(data);
  const i32 last = data->path.GetCount() - 1;
  _PATHPOINT* finish = data->path[last];
  const _PATHPOINT* before = data->path[last - 1];
  finish->x = data->finishX = n.bx;
  finish->y = data->finishY = n.by;
  finish->segLength = Dist(before->x, before->y, n.bx, n.by);
  finish->fullDist = before->fullDist + finish->segLength;
  finish->checked = 0;
  return true;
}

// ---------------------------------------------------------------------------
// Free points

FloatPoint PathFinder::EscapeAlong(u32 gridId, float x, float y, float angle) {
  const FloatPoint start{Trunc(Finite(x) ? x : 0.0f), Trunc(Finite(y) ? y : 0.0f)};
  _SHAPEGRID* grid = GetGrid(gridId);
  if (updateNesting_ > 0 || !grid || !Finite(x) || !Finite(y)) return start;
  if (!GridShapeAt(grid, static_cast<i32>(start.x), static_cast<i32>(start.y))) return start;
  if (!Finite(angle)) return start;
  const double a = angle * 3.1415927 / 180.0;
  const float sx = static_cast<float>(std::cos(a)), sy = static_cast<float>(std::sin(a));
  float px = x + 0.5f, py = y + 0.5f;
  for (;;) {
    px += sx;
    py += sy;
    if (px < grid->boundLeft || py < grid->boundTop || px >= grid->boundRight || py >= grid->boundBottom) return start;
    if (!ShapeAtPixel(grid, static_cast<i32>(px), static_cast<i32>(py))) return FloatPoint{std::trunc(px), std::trunc(py)};
  }
}

FloatPoint PathFinder::NearestFree(u32 gridId, float x, float y) {
  _SHAPEGRID* grid = GetGrid(gridId);
  if (updateNesting_ > 0 || !grid || !Finite(x) || !Finite(y)) return FloatPoint{x, y};
  // Far coordinates are pulled into the 16-bit range before they become
  // pixels; they lie outside the bounds either way.
  _GRIDSHAPE* gs = GridShapeAt(grid, static_cast<i32>(Trunc(x)), static_cast<i32>(Trunc(y)));
  if (!gs || !gs->multiShape) return FloatPoint{x, y};
  Nearest n;
  n.px = x;
  n.py = y;
  n.bx = x;
  n.by = y;
  const _MULTISHAPE* ms = gs->multiShape;
  for (i32 r = 0; r < ms->outlines.GetCount(); ++r) {
    const PointList* ring = ms->outlines[r];
    for (i32 k = 0; k < ring->GetCount(); ++k) {
      const _MSPOINT* v = (*ring)[k];
      n.Vertex(v);
      if (v->link[1].point) n.Edge(v, v->link[1].point);
    }
  }
  return FloatPoint{std::trunc(n.bx), std::trunc(n.by)};
}

}  // namespace shpf

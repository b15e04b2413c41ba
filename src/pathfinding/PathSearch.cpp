// The path search of shpf::PathFinder: a polyline from start to finish is
// refined, one outline corner at a time, until every segment is free.
#include <algorithm>
#include <cmath>

#include "base/Clock.h"
#include "pathfinding/PathFinder.h"

namespace shpf {

namespace {

const char16_t kCountsDiffer[] = u"Ошибка поиска пути!\ndata->pdInPoints.count() != data->pdOutPoints.count()";
const char16_t kNoInPoint[] = u"Ошибка поиска пути!\n!in_point";
const char16_t kPrevDistNegative[] = u"Ошибка поиска пути!\ndata->pdIOOuts[index-1].opFullDist < 0";
const char16_t kPrevIndexNegative[] = u"Ошибка поиска пути!\nout_point->opPrevPointIndex < 0";
const char16_t kWalkFailed[] = u"path->Rec.prState == shpf::PFS_FAILED";

constexpr float kFar = 1000000.0f;
constexpr float kSideTolerance = 0.00001f;

float Dist(float ax, float ay, float bx, float by) { return std::hypot(bx - ax, by - ay); }

// Integer ceiling of a non-negative float: truncation plus one on any fraction.
i32 CeilPos(float v) {
  const i32 t = static_cast<i32>(v);
  return static_cast<float>(t) < v ? t + 1 : t;
}

bool Finite(float v) { return std::isfinite(v); }

// Fits a float into the 16-bit coordinate range before truncating it.
float Trunc(float v) { return std::trunc(std::clamp(v, -32768.0f, 32767.0f)); }

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

}  // namespace

_GRIDSHAPE* PathFinder::ShapeAtPixel(const _SHAPEGRID* grid, i32 x, i32 y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return nullptr;
  const _GRIDCELL* cell = CellAt(grid, ColumnOf(x), RowOf(y));
  for (i32 i = cell->shapes.GetCount() - 1; i >= 0; --i) {
    _GRIDSHAPE* g = cell->shapes[i];
    if (x >= g->left && x < g->right && y >= g->top && y < g->bottom) return g;
  }
  return nullptr;
}

// ---------------------------------------------------------------------------
// Requests

void PathFinder::RunRequest(_PATHREQUEST* request) {
  if (!request || request->prState == PFS_FAILED || request->prState == PFS_FOUND) return;
  if (updateNesting_ > 0) return;
  currentRequest_ = request;
  if (request->prState == PFS_SEARCHING && !request->data) request->prState = PFS_NEW;  // cancelled meanwhile
  if (request->prState == PFS_NEW) {
    StartSearch(request);
    if (request->prState == PFS_SEARCHING) ContinueSearch(request);
  } else if (request->prState == PFS_SEARCHING) {
    ContinueSearch(request);
  } else {
    request->prState = PFS_FAILED;  // an unknown state is not searched
  }
  currentRequest_ = nullptr;
  currentData_ = nullptr;
}

// A cancelled search goes back to new, so running it again starts afresh
// rather than continuing on freed data.
void PathFinder::CancelRequest(_PATHREQUEST* request) {
  if (!request || !request->data) return;
  FreeSearchData(request->data);
  request->data = nullptr;
  if (request->prState == PFS_SEARCHING) request->prState = PFS_NEW;
}

void PathFinder::StartSearch(_PATHREQUEST* request) {
  request->gridVersion = 0;
  delete[] request->points;
  request->points = nullptr;
  request->pointCount = 0;
  if (request->data) FreeSearchData(request->data);
  request->data = nullptr;
  request->prState = PFS_FAILED;
  _SHAPEGRID* grid = GetGrid(request->gridId);
  if (!grid) return;
  const float sx = request->startX, sy = request->startY;
  if (!Finite(sx) || !Finite(sy) || !Finite(request->finishX) || !Finite(request->finishY)) return;
  if (sx < grid->boundLeft || sy < grid->boundTop || sx >= grid->boundRight || sy >= grid->boundBottom) return;
  auto* data = new _PATHDATA{};
  data->grid = grid;
  data->startX = Trunc(sx);
  data->startY = Trunc(sy);
  float fx = Trunc(request->finishX), fy = Trunc(request->finishY);
  if (fx < grid->boundLeft) fx = grid->boundLeft;
  if (fx >= grid->boundRight) fx = static_cast<float>(grid->boundRight - 1);
  if (fy < grid->boundTop) fy = grid->boundTop;
  if (fy >= grid->boundBottom) fy = static_cast<float>(grid->boundBottom - 1);
  data->finishX = fx;
  data->finishY = fy;
  if (GridShapeAt(grid, static_cast<i32>(data->startX), static_cast<i32>(data->startY))) {
    delete data;
    return;
  }
  request->data = data;
  const float d = Dist(data->startX, data->startY, fx, fy);
  data->path.Add(new _PATHPOINT{data->startX, data->startY, 1, 0.0f, 0.0f});
  data->path.Add(new _PATHPOINT{fx, fy, 0, d, d});
  data->pass = 0;
  data->gridVersion = grid->version;
  request->prState = PFS_SEARCHING;
}

void PathFinder::ContinueSearch(_PATHREQUEST* request) {
  _PATHDATA* data = request->data;
  currentData_ = data;
  searchBroken_ = false;
  data->sliceLimited = request->interval != 0 && request->interval != 0xFFFFFFFFu;
  data->sliceStart = data->sliceLimited ? kis::GetTimeMs() : 0;
  if (data->grid->version != data->gridVersion || updateNesting_ > 0) {
    FreeSearchData(data);
    request->data = nullptr;
    request->prState = PFS_NEW;
    StartSearch(request);
    if (request->prState != PFS_SEARCHING) return;
    data = request->data;
    currentData_ = data;
    data->sliceLimited = request->interval != 0 && request->interval != 0xFFFFFFFFu;
    data->sliceStart = data->sliceLimited ? kis::GetTimeMs() : 0;
  }
  if (data->pass == 0) {
    data->sweepIndex = 0;
    bool blocked = TestSegment(data, 1);
    if (searchBroken_) return FailSearch(request);
    if (blocked && (data->pdInPoints.GetCount() == 0 || data->pdInPoints.GetCount() > data->pdOutPoints.GetCount())) {
      // The finish lies inside an obstacle: end at the nearest point of its outline.
      if (!RelocateFinish(data)) return FailSearch(request);
      blocked = TestSegment(data, 1);
      if (searchBroken_) return FailSearch(request);
    }
    if (!blocked) return FinishSearch(request);
    if (!Detour(data)) return FailSearch(request);
    data->sweepIndex = static_cast<i16>(data->path.GetCount() - 1);
    data->sweepClean = 1;
    ++data->pass;
  }
  for (;;) {
    if (data->sweepIndex < 1) {
      if (data->sweepClean) return FinishSearch(request);
      data->sweepClean = 1;
      data->sweepIndex = static_cast<i16>(data->path.GetCount() - 1);
    }
    _PATHPOINT* p = data->path[data->sweepIndex];
    if (!p->checked) {
      if (data->segmentTests >= maxSegmentTests_) return FailSearch(request);
      bool blocked = TestSegment(data, data->sweepIndex);
      if (searchBroken_) return FailSearch(request);
      // The last leg entering an obstacle for good: the finish lies beyond a
      // passage too narrow to outline. It moves to the near side, as on the
      // first pass.
      if (blocked && data->sweepIndex == data->path.GetCount() - 1 &&
          data->pdInPoints.GetCount() > data->pdOutPoints.GetCount()) {
        if (!RelocateFinish(data)) return FailSearch(request);
        blocked = TestSegment(data, data->sweepIndex);
        if (searchBroken_) return FailSearch(request);
      }
      if (blocked) {
        if (!Detour(data)) return FailSearch(request);
        if (static_cast<u32>(data->path.GetCount()) > maxPathPoints_) return FailSearch(request);
        data->sweepClean = 0;
      }
    }
    --data->sweepIndex;
    if (data->sliceLimited && kis::GetTimeMs() - data->sliceStart >= request->interval) {
      ++data->pass;
      return;
    }
  }
}

void PathFinder::FinishSearch(_PATHREQUEST* request) {
  _PATHDATA* data = request->data;
  const i32 n = data->path.GetCount();
  request->points = new float[static_cast<size_t>(n) * 2];
  for (i32 i = 0; i < n; ++i) {
    request->points[i * 2] = data->path[i]->x;
    request->points[i * 2 + 1] = data->path[i]->y;
  }
  request->pointCount = static_cast<u32>(n);
  request->gridVersion = data->grid->version;
  FreeSearchData(data);
  request->data = nullptr;
  request->prState = PFS_FOUND;
}

// Ends a search that cannot go on: the request fails and the game goes on.
void PathFinder::FailSearch(_PATHREQUEST* request) {
  if (request->data) FreeSearchData(request->data);
  request->data = nullptr;
  currentData_ = nullptr;
  request->prState = PFS_FAILED;
}

// A broken invariant leaves the dump for diagnosis; the step under way stops
// and its request fails.
void PathFinder::Invariant(const char16_t* message) {
  if (searchBroken_) return;
  searchBroken_ = true;
  WriteFailureDump(message);
}

void PathFinder::ClearCollisions(_PATHDATA* data) {
  data->pdInPoints.DeleteAll();
  data->pdOutPoints.DeleteAll();
  delete[] data->pdIOIns;
  delete[] data->pdIOOuts;
  data->pdIOIns = nullptr;
  data->pdIOOuts = nullptr;
  data->ioCount = 0;
}

void PathFinder::FreeSearchData(_PATHDATA* data) {
  ClearCollisions(data);
  data->path.DeleteAll();
  if (currentData_ == data) currentData_ = nullptr;
  delete data;
}

// ---------------------------------------------------------------------------
// Segments

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
// round and the distance to it. The rules scan the point's row or column for
// the ring edge it lies on; a point they cannot place (one in a pocket of the
// group narrower than the ring's reach, or touching a corner diagonally) is
// put on the nearest ring edge it can see instead, so that every crossing can
// be walked round.
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
      if (d >= best || !LineClear(data->grid, cp->x, cp->y, qx, qy)) continue;
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

// ---------------------------------------------------------------------------
// Detours

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
// outline where the segment entered it.
bool PathFinder::RelocateFinish(_PATHDATA* data) {
  _COLLISPOINT* in = data->pdInPoints.Last();
  if (!in || !in->vertex[1] || in->ring <= 0) {
    ClearCollisions(data);
    return false;
  }
  Nearest n;
  n.px = data->finishX;
  n.py = data->finishY;
  n.Take(Dist(in->x, in->y, data->finishX, data->finishY), in->x, in->y);
  const PointList* ring = in->multiShape->outlines[in->ring - 1];
  const i32 limit = ring->GetCount() + 2;
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
  _GRIDSHAPE* gs = GridShapeAt(grid, static_cast<i32>(x), static_cast<i32>(y));
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

// ---------------------------------------------------------------------------
// A walker's use of the search

FloatPoint PathFinder::BeginWalkSearch(_PATHREQUEST* request, u32 gridId, float x, float y, float targetX,
                                       float targetY) {
  FloatPoint start;
  if (Trunc(x) == Trunc(targetX) && Trunc(y) == Trunc(targetY)) {
    start = NearestFree(gridId, x, y);
  } else {
    const float angle =
        static_cast<float>(std::atan2(static_cast<double>(targetY) - y, static_cast<double>(targetX) - x) * 180.0 /
                           3.14159265358979323846);
    start = EscapeAlong(gridId, x, y, angle < 0.0f ? angle + 360.0f : angle);
  }
  if (request->data) CancelRequest(request);
  delete[] request->points;
  request->points = nullptr;
  request->pointCount = 0;
  request->startX = start.x;
  request->startY = start.y;
  request->finishX = targetX;
  request->finishY = targetY;
  request->gridId = gridId;
  request->interval = 10;
  request->gridVersion = 0;
  request->prState = PFS_NEW;
  return start;
}

u32 PathFinder::StepWalkSearch(_PATHREQUEST* request) {
  if (!request) return PFS_FAILED;
  const u32 before = request->prState;
  RunRequest(request);
  if (request->prState == PFS_FAILED && before != PFS_FAILED) WriteFailureDump(kWalkFailed, request);
  return request->prState;
}

}  // namespace shpf

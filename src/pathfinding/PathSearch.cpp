// The path search of shpf::PathFinder: a polyline from start to finish is
// refined, one outline corner at a time, until every segment is free.
//
// How a request goes:
// 1. StartSearch checks the request against its grid (finite coordinates, a
//    start inside the bounds and on no shape; the finish is clamped into the
//    bounds) and makes the first path: start and finish, one segment.
// 2. Segment test (PathSegments.cpp): Trace walks the segment pixel by pixel
//    and notes where it enters (in points) and leaves (out points) the merged
//    obstacles; Attach puts each point on its outline ring, with the nearest
//    outline vertex each way round; Pair matches every in point with the out
//    point where the segment leaves the same obstacle.
// 3. Detour (PathDetours.cpp): from every in point the ring is walked both
//    ways to the out points after it, keeping the cheapest way to each; the
//    cheapest chain is followed back from the last out point, and of the
//    outline corners on it the one that bends the segment most becomes a new
//    path point between the segment's ends. A finish inside an obstacle first
//    moves to the nearest point of its outline (RelocateFinish).
// 4. Sweeps (ContinueSearch): after the first segment's detour the path is
//    swept from its end to its start, testing each segment not yet found free
//    and detouring the blocked ones, until one whole sweep finds nothing
//    blocked (PFS_FOUND). With a time slice (the request's interval, in
//    milliseconds) a call stops between segments once the slice is used, or
//    once it has done the finder's work per slice (counted in pixels traced,
//    cells scanned and outline steps), whichever comes first: the clock
//    only tells milliseconds, and the work keeps every call short. The next
//    call goes on there, or starts afresh when the grid has changed.
// 5. The caps on path points and segment tests, a blocked segment with no
//    corner to go round, and a broken invariant (which writes the failure
//    dump) fail the request (PFS_FAILED); the game goes on.
//
// A walker (BeginWalkSearch, StepWalkSearch) first moves its start off any
// shape, towards its target, then runs its request in slices of 10 ms.
#include <cmath>

#include "base/Clock.h"
#include "pathfinding/PathFinder.h"
#include "pathfinding/SearchGeometry.h"

namespace shpf {

using namespace search;

namespace {

const char16_t kWalkFailed[] = u"path->Rec.prState == shpf::PFS_FAILED";

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

// True when a sliced request has used its time or its work for this call.
bool PathFinder::SliceUsed(const _PATHREQUEST* request, const _PATHDATA* data) const {
  return data->sliceLimited &&
         (data->sliceWork >= sliceWork_ || kis::GetTimeMs() - data->sliceStart >= request->interval);
}

void PathFinder::ContinueSearch(_PATHREQUEST* request) {
  _PATHDATA* data = request->data;
  currentData_ = data;
  searchBroken_ = false;
  data->sliceLimited = request->interval != 0 && request->interval != 0xFFFFFFFFu;
  data->sliceStart = data->sliceLimited ? kis::GetTimeMs() : 0;
  data->sliceWork = 0;
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
      // The finish lies inside an obstacle: end at the nearest point of its
      // outline, or where the way entered it.
      if (!RelocateFinish(data)) return FailSearch(request);
      blocked = TestSegment(data, 1);
      if (searchBroken_) return FailSearch(request);
    }
    if (!blocked) return FinishSearch(request);
    if (!Detour(data)) return FailSearch(request);
    data->sweepIndex = static_cast<i16>(data->path.GetCount() - 1);
    data->sweepClean = 1;
    ++data->pass;
    if (SliceUsed(request, data)) return;
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
    if (SliceUsed(request, data)) {
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

// A walk that fails leaves the dump, unless a broken invariant of this
// step has already left it: one failure, one report.
u32 PathFinder::StepWalkSearch(_PATHREQUEST* request) {
  if (!request) return PFS_FAILED;
  const u32 before = request->prState;
  searchBroken_ = false;
  RunRequest(request);
  if (request->prState == PFS_FAILED && before != PFS_FAILED && !searchBroken_) WriteFailureDump(kWalkFailed, request);
  return request->prState;
}

}  // namespace shpf

// shpf::PathFinder - the obstacle world of one level.
//
// Map objects register axis-aligned rectangles; for every walker footprint a
// grid keeps them inflated by the footprint, merges those that overlap or touch
// into groups and outlines every group with rings of free pixels. Rectangles
// are half-open (left <= x < right). Update brackets defer the merging so that
// many changes cost one pass; a grid's content is consistent whenever no
// bracket is open. Every change of a grid's content or bounds raises its
// version.
//
// A finder whose size exceeds 32767 or whose cell size is 0 is unusable: it
// creates no grids and accepts no shapes (IsValid tells).
//
// Path search: RunRequest refines a straight segment round the outlines until
// every segment is free, in slices bounded by the request's interval and by
// the finder's work per slice (SetSliceWork). It always
// ends: a search that cannot settle within its bounds fails. A failure never
// ends the program: broken invariants write the failure dump ("$crash.shpf",
// "$crash.log"), report to the failure sink and end the request failed.
// A request still searching when the finder goes must be cancelled first.
#pragma once

#include <string>

#include "base/List.h"
#include "base/Stream.h"
#include "base/Types.h"
#include "pathfinding/OutlineBuilder.h"
#include "pathfinding/PathRecords.h"
#include "pathfinding/ShapeRecords.h"

namespace shpf {

struct FloatPoint {
  float x, y;
};

// Where path-finding failures are reported: the caption and text the game
// shows, one report per failure. The default sink writes to standard error.
class PathFailureSink {
 public:
  virtual ~PathFailureSink() = default;
  virtual void Report(const std::u16string& caption, const std::u16string& message) = 0;
};

class PathFinder {
 public:
  static constexpr i32 kMaxSize = 32767;

  PathFinder(u16 width, u16 height, u16 cellWidth, u16 cellHeight);
  ~PathFinder();
  PathFinder(const PathFinder&) = delete;
  PathFinder& operator=(const PathFinder&) = delete;

  bool IsValid() const { return columns_ > 0; }

  // Footprint and bounds arguments are packed pairs (PackPair).
  // A grid the finder owns (freed with it); null for a duplicate id or empty bounds.
  _SHAPEGRID* CreateGrid(u32 id, u32 footLeftTop, u32 footRightBottom, u32 mask);
  _SHAPEGRID* GetGrid(u32 id) const;
  _SHAPEGRID* FindGrid(i16 footLeft, i16 footTop, i16 footRight, i16 footBottom, u32 mask) const;
  void SetGridBounds(_SHAPEGRID* grid, u32 leftTop, u32 rightBottom);  // bad or equal bounds are ignored

  _SHAPE* AddShape(u32 leftTop, u32 rightBottom, u32 mask);  // null only on an unusable finder
  // The cells (half-open column and row ranges: left, top, right, bottom) in
  // which AddShape would file a shape of these arguments in the grid; false
  // when it would block nothing there. Lets a reader weigh shapes first.
  bool ShapeCells(const _SHAPEGRID* grid, u32 leftTop, u32 rightBottom, u32 mask, i32 cells[4]) const;
  void RemoveShape(_SHAPE* shape);                           // null is ignored
  void RemoveAllShapes();

  void BeginUpdate() { ++updateNesting_; }
  void EndUpdate();  // closing the outermost bracket (or none) merges what is pending

  // The grid shape holding a walker position, or null (also outside the bounds).
  _GRIDSHAPE* GridShapeAt(const _SHAPEGRID* grid, i32 x, i32 y) const;

  // Path search.
  static constexpr u32 kMaxPathPoints = 512;       // a longer path fails
  static constexpr u32 kMaxSegmentTests = 20000;   // per search, over all slices
  // A request with an interval (sliced) stops between two segment tests once
  // the call has run that many milliseconds or done this much work: pixels
  // traced and probed, grid cells scanned and outline steps walked. A
  // segment test is never cut, so a call does at most this much and one
  // test more; the path found is the same however it is sliced.
  static constexpr u32 kSliceWork = 10000;
  void SetSliceWork(u32 units) { sliceWork_ = units > 0 ? units : 1; }
  u32 GetSliceWork() const { return sliceWork_; }
  // How many times, since the finder was made, the search placed a crossing
  // on the nearest ring edge in sight where the rules could not place it
  // usefully: in or at the mouth of a pocket or passage too narrow to
  // outline (under three pixels). Groups with no such place never need it.
  u32 GetFallbacks() const { return fallbacks_; }
  void RunRequest(_PATHREQUEST* request);     // null, final or bracketed: nothing happens
  void CancelRequest(_PATHREQUEST* request);  // frees the search data; a running request goes back to new
  FloatPoint EscapeAlong(u32 gridId, float x, float y, float angle);
  FloatPoint NearestFree(u32 gridId, float x, float y);

  // A walker's use of the search: picks the start (nearest free point when
  // start and target are one pixel, else the way out of an obstacle towards
  // the target), fills the request (10 ms slices) and returns the start used.
  FloatPoint BeginWalkSearch(_PATHREQUEST* request, u32 gridId, float x, float y, float targetX, float targetY);
  // Runs one slice; a failed search leaves the failure dump. Returns the state.
  u32 StepWalkSearch(_PATHREQUEST* request);

  // Failure dump.
  bool DumpShapes(kis::Stream* stream) const;
  void WriteFailureDump(const char16_t* message, const _PATHREQUEST* request = nullptr);
  void SetFailureSink(PathFailureSink* sink) { failureSink_ = sink; }
  void SetDumpFolder(const std::u16string& folder) { dumpFolder_ = folder; }  // default: the program's folder

  u16 GetWidth() const { return width_; }
  u16 GetHeight() const { return height_; }
  i16 GetCellWidth() const { return cellWidth_; }
  i16 GetCellHeight() const { return cellHeight_; }
  i16 GetColumns() const { return columns_; }
  i16 GetRows() const { return rows_; }
  u32 GetUpdateNesting() const { return updateNesting_; }
  const kis::list<_SHAPE*>& GetShapes() const { return shapes_; }
  const kis::list<_SHAPEGRID*>& GetGrids() const { return grids_; }
  _GRIDCELL* CellAt(const _SHAPEGRID* grid, i32 column, i32 row) const {
    return &grid->cells[static_cast<size_t>(row) * static_cast<size_t>(columns_) + static_cast<size_t>(column)];
  }

 private:
  friend class PathFinderTestAccess;  // tests reach the search steps directly

  void EnterShape(_SHAPEGRID* grid, _SHAPE* shape);
  bool Inflate(const _SHAPEGRID* grid, const _SHAPE& shape, i32 rect[4]) const;
  void CellSpan(const i32 rect[4], i32 cells[4]) const;
  void Merge(_SHAPEGRID* grid, _GRIDSHAPE* gs);
  void Rebuild();
  void Outline(_SHAPEGRID* grid, _MULTISHAPE* ms);
  void DiscardOutlines(_SHAPEGRID* grid, _MULTISHAPE* ms);
  void Dissolve(_SHAPEGRID* grid, _MULTISHAPE* ms);
  void RemoveGridShape(_SHAPEGRID* grid, _GRIDSHAPE* gs);
  void WithdrawShape(_SHAPE* shape);
  void DestroyGrid(_SHAPEGRID* grid);
  i32 ColumnOf(i32 x) const;
  i32 RowOf(i32 y) const;

  _GRIDSHAPE* ShapeAtPixel(const _SHAPEGRID* grid, i32 x, i32 y) const;
  void StartSearch(_PATHREQUEST* request);
  void ContinueSearch(_PATHREQUEST* request);
  bool TestSegment(_PATHDATA* data, i32 k);
  void Trace(_PATHDATA* data);
  void Attach(_PATHDATA* data, _COLLISPOINT* cp);
  void AttachByRules(_PATHDATA* data, _COLLISPOINT* cp);
  bool AttachNearest(_PATHDATA* data, _COLLISPOINT* cp, i16 onlyRing);
  bool LineClear(const _SHAPEGRID* grid, float ax, float ay, float bx, float by) const;
  bool RunAlong(_PATHDATA* data, _COLLISPOINT* cp, i32 axis, u8 want, _MSPOINT** found, float* dist);
  void Pair(_PATHDATA* data);
  bool Detour(_PATHDATA* data);
  bool Walk(_PATHDATA* data, i32 i, i32 d);
  void InsertPoint(_PATHDATA* data, _MSPOINT* v, float ds, float de);
  bool RelocateFinish(_PATHDATA* data);
  bool SliceUsed(const _PATHREQUEST* request, const _PATHDATA* data) const;
  void FinishSearch(_PATHREQUEST* request);
  void FailSearch(_PATHREQUEST* request);
  void Invariant(const char16_t* message);
  void ClearCollisions(_PATHDATA* data);
  void FreeSearchData(_PATHDATA* data);

  _SHAPEGRID* currentGrid_ = nullptr;
  u32 updateNesting_ = 0;
  u16 width_ = 0, height_ = 0;
  i16 cellWidth_ = 0, cellHeight_ = 0;
  i16 columns_ = 0, rows_ = 0;
  kis::list<_SHAPE*> shapes_;
  kis::list<_SHAPEGRID*> grids_;
  _PATHREQUEST* currentRequest_ = nullptr;
  _PATHDATA* currentData_ = nullptr;
  bool searchBroken_ = false;  // an invariant failed in the step under way
  u32 maxPathPoints_ = kMaxPathPoints;
  u32 maxSegmentTests_ = kMaxSegmentTests;
  u32 sliceWork_ = kSliceWork;
  u32 fallbacks_ = 0;
  PathFailureSink* failureSink_ = nullptr;
  std::u16string dumpFolder_;
  OutlineBuilder outliner_;
  std::vector<OutlineRect> outlineRects_;
  std::vector<OutlineRing> outlineRings_;
};

}  // namespace shpf

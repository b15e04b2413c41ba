#include "pathfinding/PathFinder.h"

#include <algorithm>
#include <cstdlib>

namespace shpf {

namespace {

// A grid with more cells than this would cost more memory than any level
// needs; such a finder is refused.
constexpr i64 kMaxCells = 1 << 20;

constexpr u32 kNoStamp = 0xFFFFFFFFu;

i32 Clamp(i32 v, i32 lo, i32 hi) { return v < lo ? lo : (v > hi ? hi : v); }

// A shape's rectangle from its corners in either order.
_SHAPE ShapeOf(u32 leftTop, u32 rightBottom, u32 mask) {
  const i16 x0 = PairX(leftTop), y0 = PairY(leftTop), x1 = PairX(rightBottom), y1 = PairY(rightBottom);
  _SHAPE shape{};
  shape.left = std::min(x0, x1);
  shape.right = std::max(x0, x1);
  shape.top = std::min(y0, y1);
  shape.bottom = std::max(y0, y1);
  shape.mask = mask;
  return shape;
}

// Overlapping, sharing an edge or touching at a corner: no free pixel between.
bool Touches(const _GRIDSHAPE* g, const _GRIDSHAPE* h) {
  return h->left < g->right + 1 && g->left - 1 < h->right && h->top < g->bottom + 1 && g->top - 1 < h->bottom;
}

}  // namespace

// The size is checked here: the finder's arithmetic is 16-bit and divides by
// the cell size, so an oversized level or a zero cell leaves it unusable.
PathFinder::PathFinder(u16 width, u16 height, u16 cellWidth, u16 cellHeight) : width_(width), height_(height) {
  shapes_.SetCapacity(64);
  if (width == 0 || height == 0 || width > kMaxSize || height > kMaxSize || cellWidth == 0 || cellHeight == 0 ||
      cellWidth > kMaxSize || cellHeight > kMaxSize)
    return;
  const i32 columns = (width + cellWidth - 1) / cellWidth;
  const i32 rows = (height + cellHeight - 1) / cellHeight;
  if (static_cast<i64>(columns) * rows > kMaxCells) return;
  cellWidth_ = static_cast<i16>(cellWidth);
  cellHeight_ = static_cast<i16>(cellHeight);
  columns_ = static_cast<i16>(columns);
  rows_ = static_cast<i16>(rows);
}

PathFinder::~PathFinder() {
  for (i32 i = grids_.GetCount() - 1; i >= 0; --i) DestroyGrid(grids_[i]);
  grids_.Clear();
  shapes_.DeleteAll();
}

i32 PathFinder::ColumnOf(i32 x) const { return Clamp(x / cellWidth_, 0, columns_ - 1); }
i32 PathFinder::RowOf(i32 y) const { return Clamp(y / cellHeight_, 0, rows_ - 1); }

_SHAPEGRID* PathFinder::CreateGrid(u32 id, u32 footLeftTop, u32 footRightBottom, u32 mask) {
  if (!IsValid() || GetGrid(id)) return nullptr;
  const i16 fl = std::max<i16>(0, PairX(footLeftTop));
  const i16 ft = std::max<i16>(0, PairY(footLeftTop));
  const i16 fr = std::max<i16>(0, PairX(footRightBottom));
  const i16 fb = std::max<i16>(0, PairY(footRightBottom));
  const i32 right = width_ - fr;
  const i32 bottom = height_ - fb;
  if (fl >= right || ft >= bottom) return nullptr;
  auto* grid = new _SHAPEGRID{};
  grid->id = id;
  grid->mask = mask;
  grid->footLeft = fl;
  grid->footTop = ft;
  grid->footRight = fr;
  grid->footBottom = fb;
  grid->stamp = kNoStamp;
  grid->version = 0;
  grid->boundLeft = fl;
  grid->boundTop = ft;
  grid->boundRight = static_cast<i16>(right);
  grid->boundBottom = static_cast<i16>(bottom);
  grid->cells = new _GRIDCELL[static_cast<size_t>(columns_) * static_cast<size_t>(rows_)];
  grid->changed = false;
  grids_.Add(grid);
  BeginUpdate();
  for (i32 i = 0; i < shapes_.GetCount(); ++i) EnterShape(grid, shapes_[i]);
  EndUpdate();
  return grid;
}

_SHAPEGRID* PathFinder::GetGrid(u32 id) const {
  for (i32 i = 0; i < grids_.GetCount(); ++i)
    if (grids_[i]->id == id) return grids_[i];
  return nullptr;
}

_SHAPEGRID* PathFinder::FindGrid(i16 footLeft, i16 footTop, i16 footRight, i16 footBottom, u32 mask) const {
  for (i32 i = 0; i < grids_.GetCount(); ++i) {
    _SHAPEGRID* g = grids_[i];
    if (g->mask == mask && g->footLeft == footLeft && g->footTop == footTop && g->footRight == footRight &&
        g->footBottom == footBottom)
      return g;
  }
  return nullptr;
}

void PathFinder::SetGridBounds(_SHAPEGRID* grid, u32 leftTop, u32 rightBottom) {
  if (!grid) return;
  const i16 l = PairX(leftTop), t = PairY(leftTop), r = PairX(rightBottom), b = PairY(rightBottom);
  if (r - l <= 1 || b - t <= 1) return;
  if (l < grid->footLeft || t < grid->footTop || r > width_ - grid->footRight || b > height_ - grid->footBottom)
    return;
  if (l == grid->boundLeft && t == grid->boundTop && r == grid->boundRight && b == grid->boundBottom) return;
  BeginUpdate();
  while (grid->multiShapes.GetCount() > 0) Dissolve(grid, grid->multiShapes.Last());
  grid->boundLeft = l;
  grid->boundTop = t;
  grid->boundRight = r;
  grid->boundBottom = b;
  ++grid->version;
  EndUpdate();
}

_SHAPE* PathFinder::AddShape(u32 leftTop, u32 rightBottom, u32 mask) {
  if (!IsValid()) return nullptr;
  auto* shape = new _SHAPE(ShapeOf(leftTop, rightBottom, mask));
  shape->cellLeft = columns_;
  shape->cellTop = rows_;
  shape->cellRight = -1;
  shape->cellBottom = -1;
  shapes_.Add(shape);
  for (i32 i = 0; i < grids_.GetCount(); ++i) EnterShape(grids_[i], shape);
  if (updateNesting_ == 0)
    for (i32 i = 0; i < grids_.GetCount(); ++i) ++grids_[i]->version;
  return shape;
}

void PathFinder::RemoveShape(_SHAPE* shape) {
  if (!shape) return;
  const bool outermost = updateNesting_ == 0;
  BeginUpdate();
  WithdrawShape(shape);
  shapes_.Remove(shape);
  delete shape;
  if (outermost) {
    for (i32 i = 0; i < grids_.GetCount(); ++i) {
      ++grids_[i]->version;
      grids_[i]->changed = false;
    }
  }
  EndUpdate();
}

void PathFinder::RemoveAllShapes() {
  BeginUpdate();
  for (i32 i = shapes_.GetCount() - 1; i >= 0; --i) {
    WithdrawShape(shapes_[i]);
    delete shapes_[i];
  }
  shapes_.RemoveAll();
  EndUpdate();
}

void PathFinder::EndUpdate() {
  if (updateNesting_ > 0) {
    --updateNesting_;
    if (updateNesting_ > 0) return;
  }
  Rebuild();
}

_GRIDSHAPE* PathFinder::GridShapeAt(const _SHAPEGRID* grid, i32 x, i32 y) const {
  if (!grid) return nullptr;
  if (x < grid->boundLeft || y < grid->boundTop || x >= grid->boundRight || y >= grid->boundBottom) return nullptr;
  const _GRIDCELL* cell = CellAt(grid, ColumnOf(x), RowOf(y));
  for (i32 i = cell->shapes.GetCount() - 1; i >= 0; --i) {
    _GRIDSHAPE* g = cell->shapes[i];
    if (x >= g->left && x < g->right && y >= g->top && y < g->bottom) return g;
  }
  return nullptr;
}

// Inflates the shape by the grid's footprint and files it in the cells it
// covers, reaching one pixel left and above and one cell right and below so
// that touching neighbours always share a cell. A shape that stays empty after
// inflating blocks nothing and is left out.
void PathFinder::EnterShape(_SHAPEGRID* grid, _SHAPE* shape) {
  i32 rect[4], cells[4];
  if (!Inflate(grid, *shape, rect)) return;
  CellSpan(rect, cells);
  const i32 left = rect[0], top = rect[1], right = rect[2], bottom = rect[3];
  auto* gs = new _GRIDSHAPE{};
  gs->left = left;
  gs->top = top;
  gs->right = right;
  gs->bottom = bottom;
  gs->stamp = kNoStamp;
  gs->source = shape;
  gs->multiShape = nullptr;
  gs->cellLeft = static_cast<i16>(cells[0]);
  gs->cellTop = static_cast<i16>(cells[1]);
  gs->cellRight = static_cast<i16>(cells[2]);
  gs->cellBottom = static_cast<i16>(cells[3]);
  gs->corners[0] = _GSCORNER{left - 1, top - 1, 0, 0, kSideLeft | kSideTop};
  gs->corners[1] = _GSCORNER{right, top - 1, 1, 0, kSideTop | kSideRight};
  gs->corners[2] = _GSCORNER{right, bottom, 2, 0, kSideRight | kSideBottom};
  gs->corners[3] = _GSCORNER{left - 1, bottom, 3, 0, kSideLeft | kSideBottom};
  shape->cellLeft = std::min(shape->cellLeft, gs->cellLeft);
  shape->cellTop = std::min(shape->cellTop, gs->cellTop);
  shape->cellRight = std::max(shape->cellRight, gs->cellRight);
  shape->cellBottom = std::max(shape->cellBottom, gs->cellBottom);
  for (i32 r = gs->cellTop; r < gs->cellBottom; ++r)
    for (i32 c = gs->cellLeft; c < gs->cellRight; ++c) CellAt(grid, c, r)->shapes.Add(gs);
  if (updateNesting_ == 0)
    Merge(grid, gs);
  else
    grid->pending.Add(gs);
}

bool PathFinder::Inflate(const _SHAPEGRID* grid, const _SHAPE& shape, i32 rect[4]) const {
  if (shape.mask != 0 && (shape.mask & grid->mask) == 0) return false;
  rect[0] = shape.left - grid->footLeft;
  rect[1] = shape.top - grid->footTop;
  rect[2] = shape.right + grid->footRight;
  rect[3] = shape.bottom + grid->footBottom;
  return rect[0] < rect[2] && rect[1] < rect[3];
}

// Ranges far outside the map are pulled onto the edge cells rather than
// dropped, so two touching shapes always meet in some cell.
void PathFinder::CellSpan(const i32 rect[4], i32 cells[4]) const {
  cells[0] = Clamp((rect[0] - 1) / cellWidth_, 0, columns_ - 1);
  cells[1] = Clamp((rect[1] - 1) / cellHeight_, 0, rows_ - 1);
  cells[2] = Clamp(rect[2] / cellWidth_ + 1, 1, columns_);
  cells[3] = Clamp(rect[3] / cellHeight_ + 1, 1, rows_);
}

bool PathFinder::ShapeCells(const _SHAPEGRID* grid, u32 leftTop, u32 rightBottom, u32 mask, i32 cells[4]) const {
  i32 rect[4];
  if (!IsValid() || !grid || !Inflate(grid, ShapeOf(leftTop, rightBottom, mask), rect)) return false;
  CellSpan(rect, cells);
  return true;
}

// Floods from one new grid shape over the cells of every member, taking in
// free neighbours and absorbing whole groups it touches, then outlines the
// result. The stamp marks members without a clearing pass.
void PathFinder::Merge(_SHAPEGRID* grid, _GRIDSHAPE* gs) {
  currentGrid_ = grid;
  ++grid->stamp;
  if (grid->stamp == kNoStamp) {
    grid->stamp = 0;
    const size_t n = static_cast<size_t>(columns_) * static_cast<size_t>(rows_);
    for (size_t c = 0; c < n; ++c)
      for (i32 i = 0; i < grid->cells[c].shapes.GetCount(); ++i) grid->cells[c].shapes[i]->stamp = kNoStamp;
  }
  const u32 stamp = grid->stamp;
  auto* ms = new _MULTISHAPE;
  ms->members.Add(gs);
  gs->multiShape = ms;
  gs->stamp = stamp;
  for (i32 k = 0; k < ms->members.GetCount(); ++k) {
    _GRIDSHAPE* m = ms->members[k];
    for (i32 r = m->cellTop; r < m->cellBottom; ++r) {
      for (i32 c = m->cellLeft; c < m->cellRight; ++c) {
        const _GRIDCELL* cell = CellAt(grid, c, r);
        for (i32 i = 0; i < cell->shapes.GetCount(); ++i) {
          _GRIDSHAPE* h = cell->shapes[i];
          if (h->stamp == stamp || !Touches(m, h)) continue;
          if (!h->multiShape) {
            ms->members.Add(h);
            h->multiShape = ms;
            h->stamp = stamp;
            grid->pending.Remove(h);
            continue;
          }
          _MULTISHAPE* old = h->multiShape;
          for (i32 j = 0; j < old->members.GetCount(); ++j) {
            _GRIDSHAPE* x = old->members[j];
            x->stamp = stamp;
            x->multiShape = ms;
            ms->members.Add(x);
          }
          DiscardOutlines(grid, old);
          grid->multiShapes.Remove(old);
          delete old;
        }
      }
    }
  }
  grid->multiShapes.Add(ms);
  Outline(grid, ms);
  currentGrid_ = nullptr;
}

void PathFinder::Rebuild() {
  for (i32 i = 0; i < grids_.GetCount(); ++i) {
    _SHAPEGRID* grid = grids_[i];
    if (grid->pending.GetCount() > 0 || grid->changed) ++grid->version;
    grid->changed = false;
    while (grid->pending.GetCount() > 0) {
      _GRIDSHAPE* gs = grid->pending.Last();
      grid->pending.Delete(grid->pending.GetCount() - 1);
      if (!gs->multiShape) Merge(grid, gs);
    }
  }
}

// Builds the rings of a group against the grid's bounds and files every
// vertex in its cell. Vertices are linked both ways with edge lengths.
void PathFinder::Outline(_SHAPEGRID* grid, _MULTISHAPE* ms) {
  outlineRects_.clear();
  outlineRings_.clear();
  for (i32 i = 0; i < ms->members.GetCount(); ++i) {
    _GRIDSHAPE* m = ms->members[i];
    for (_GSCORNER& c : m->corners) {
      c.borderFlags = static_cast<u8>((c.x < grid->boundLeft ? 4 : 0) | (c.x >= grid->boundRight ? 1 : 0) |
                                      (c.y < grid->boundTop ? 8 : 0) | (c.y >= grid->boundBottom ? 2 : 0));
    }
    outlineRects_.push_back(OutlineRect{m->left, m->top, m->right, m->bottom});
  }
  const OutlineRect bounds{grid->boundLeft, grid->boundTop, grid->boundRight, grid->boundBottom};
  outliner_.Build(outlineRects_.data(), outlineRects_.size(), bounds, outlineRings_);
  i16 counter = 0;
  for (const OutlineRing& ring : outlineRings_) {
    ++counter;
    auto* list = new PointList;
    list->SetCapacity(static_cast<i32>(ring.points.size()));
    for (const OutlineVertex& v : ring.points) {
      auto* p = new _MSPOINT{};
      p->x = static_cast<i16>(v.x);
      p->y = static_cast<i16>(v.y);
      p->corner = v.corner;
      p->boundCorner = v.boundCorner;
      p->sideMask = v.sideMask;
      p->outline = counter;
      p->multiShape = ms;
      list->Add(p);
      CellAt(grid, ColumnOf(p->x), RowOf(p->y))->points.Add(p);
    }
    const i32 n = list->GetCount();
    const i32 links = ring.closed ? n : n - 1;
    for (i32 k = 0; k < links; ++k) {
      _MSPOINT* a = (*list)[k];
      _MSPOINT* b = (*list)[(k + 1) % n];
      const i16 len = static_cast<i16>(std::abs(b->x - a->x) + std::abs(b->y - a->y));
      a->link[1] = _MSLINK{b, len};
      b->link[0] = _MSLINK{a, len};
    }
    ms->outlines.Add(list);
  }
}

void PathFinder::DiscardOutlines(_SHAPEGRID* grid, _MULTISHAPE* ms) {
  for (i32 r = 0; r < ms->outlines.GetCount(); ++r) {
    PointList* list = ms->outlines[r];
    for (i32 k = 0; k < list->GetCount(); ++k) {
      _MSPOINT* p = (*list)[k];
      CellAt(grid, ColumnOf(p->x), RowOf(p->y))->points.Remove(p);
      delete p;
    }
    delete list;
  }
  ms->outlines.Clear();
}

// Breaks a group up: its outlines go, its members wait to be merged again.
void PathFinder::Dissolve(_SHAPEGRID* grid, _MULTISHAPE* ms) {
  DiscardOutlines(grid, ms);
  grid->multiShapes.Remove(ms);
  for (i32 i = 0; i < ms->members.GetCount(); ++i) {
    ms->members[i]->multiShape = nullptr;
    grid->pending.Add(ms->members[i]);
  }
  delete ms;
}

void PathFinder::RemoveGridShape(_SHAPEGRID* grid, _GRIDSHAPE* gs) {
  if (_MULTISHAPE* ms = gs->multiShape) {
    ms->members.Remove(gs);
    gs->multiShape = nullptr;
    Dissolve(grid, ms);
  }
  for (i32 r = gs->cellTop; r < gs->cellBottom; ++r)
    for (i32 c = gs->cellLeft; c < gs->cellRight; ++c) CellAt(grid, c, r)->shapes.Remove(gs);
  grid->pending.Remove(gs);
  grid->changed = true;
  delete gs;
}

void PathFinder::WithdrawShape(_SHAPE* shape) {
  for (i32 i = 0; i < grids_.GetCount(); ++i) {
    _SHAPEGRID* grid = grids_[i];
    for (i32 r = shape->cellTop; r < shape->cellBottom; ++r) {
      for (i32 c = shape->cellLeft; c < shape->cellRight; ++c) {
        _GRIDCELL* cell = CellAt(grid, c, r);
        for (i32 k = cell->shapes.GetCount() - 1; k >= 0; --k) {
          if (k >= cell->shapes.GetCount()) continue;
          if (cell->shapes[k]->source == shape) RemoveGridShape(grid, cell->shapes[k]);
        }
      }
    }
  }
}

void PathFinder::DestroyGrid(_SHAPEGRID* grid) {
  for (i32 i = 0; i < grid->multiShapes.GetCount(); ++i) {
    DiscardOutlines(grid, grid->multiShapes[i]);
    delete grid->multiShapes[i];
  }
  grid->multiShapes.Clear();
  const size_t n = static_cast<size_t>(columns_) * static_cast<size_t>(rows_);
  for (size_t c = 0; c < n; ++c) {
    const i32 column = static_cast<i32>(c % static_cast<size_t>(columns_));
    const i32 row = static_cast<i32>(c / static_cast<size_t>(columns_));
    for (i32 i = 0; i < grid->cells[c].shapes.GetCount(); ++i) {
      _GRIDSHAPE* gs = grid->cells[c].shapes[i];
      // Cells are visited row by row, so a grid shape is freed at its last cell.
      if (gs->cellRight - 1 == column && gs->cellBottom - 1 == row) delete gs;
    }
  }
  delete[] grid->cells;
  delete grid;
}

}  // namespace shpf

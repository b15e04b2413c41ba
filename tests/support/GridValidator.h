// Brute-force checker of a path finder's obstacle world, for tests and fuzzing.
// It rebuilds what the grids should hold from the registered shapes alone and
// compares: grid shapes and their cells, groups against the connected
// components by the touch test, and every ring pixel by pixel against the
// free pixels that border the group. Meant for small worlds.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <map>
#include <numeric>
#include <set>
#include <unordered_map>
#include <string>
#include <vector>

#include "pathfinding/PathFinder.h"

namespace shpf_test {

using namespace shpf;

inline std::string Fail(const std::string& what, i64 a = 0, i64 b = 0) {
  return what + " (" + std::to_string(a) + ", " + std::to_string(b) + ")";
}

struct Raster {
  i32 x0 = 0, y0 = 0, w = 0, h = 0;
  std::vector<u8> px;
  void Init(i32 ax, i32 ay, i32 aw, i32 ah) {
    x0 = ax;
    y0 = ay;
    w = std::max(aw, 0);
    h = std::max(ah, 0);
    px.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
  }
  bool Get(i32 x, i32 y) const {
    x -= x0;
    y -= y0;
    if (x < 0 || y < 0 || x >= w || y >= h) return false;
    return px[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)] != 0;
  }
  void Set(i32 x, i32 y) {
    x -= x0;
    y -= y0;
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    px[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)] = 1;
  }
};

inline bool TouchTest(const _GRIDSHAPE* g, const _GRIDSHAPE* h) {
  // Closed gap of at most zero pixels in both axes.
  return h->left <= g->right && g->left <= h->right && h->top <= g->bottom && g->top <= h->bottom;
}

inline i32 Find(std::vector<i32>& parent, i32 i) {
  while (parent[static_cast<size_t>(i)] != i) i = parent[static_cast<size_t>(i)] = parent[static_cast<size_t>(parent[static_cast<size_t>(i)])];
  return i;
}

inline std::string ValidateGrid(const PathFinder& pf, const _SHAPEGRID* grid) {
  const i32 cols = pf.GetColumns(), rows = pf.GetRows();
  const i32 cw = pf.GetCellWidth(), ch = pf.GetCellHeight();
  if (grid->pending.GetCount() != 0) return "pending not empty";
  // Grid shapes as filed in the cells.
  std::unordered_map<const _GRIDSHAPE*, i32> filed;
  for (i32 r = 0; r < rows; ++r)
    for (i32 c = 0; c < cols; ++c) {
      const _GRIDCELL* cell = pf.CellAt(grid, c, r);
      for (i32 i = 0; i < cell->shapes.GetCount(); ++i) {
        const _GRIDSHAPE* g = cell->shapes[i];
        if (c < g->cellLeft || c >= g->cellRight || r < g->cellTop || r >= g->cellBottom)
          return Fail("grid shape filed outside its range", c, r);
        ++filed[g];
      }
    }
  std::vector<const _GRIDSHAPE*> shapes;
  for (const auto& [g, n] : filed) {
    if (n != (g->cellRight - g->cellLeft) * (g->cellBottom - g->cellTop)) return "grid shape missing from a cell";
    shapes.push_back(g);
  }
  // One grid shape per registered shape that belongs to the grid and is not empty once inflated.
  size_t expected = 0;
  for (i32 i = 0; i < pf.GetShapes().GetCount(); ++i) {
    const _SHAPE* s = pf.GetShapes()[i];
    if (s->mask != 0 && (s->mask & grid->mask) == 0) continue;
    const i32 l = s->left - grid->footLeft, t = s->top - grid->footTop;
    const i32 r = s->right + grid->footRight, b = s->bottom + grid->footBottom;
    if (l >= r || t >= b) continue;
    ++expected;
    i32 found = 0;
    for (const _GRIDSHAPE* g : shapes) {
      if (g->source != s) continue;
      ++found;
      if (g->left != l || g->top != t || g->right != r || g->bottom != b) return "inflated rectangle wrong";
      const i32 c0 = std::clamp((l - 1) / cw, 0, cols - 1), r0 = std::clamp((t - 1) / ch, 0, rows - 1);
      const i32 c1 = std::clamp(r / cw + 1, 1, cols), r1 = std::clamp(b / ch + 1, 1, rows);
      if (g->cellLeft != c0 || g->cellTop != r0 || g->cellRight != c1 || g->cellBottom != r1) return "cell range wrong";
      if (s->cellLeft > c0 || s->cellTop > r0 || s->cellRight < c1 || s->cellBottom < r1)
        return "shape cell range does not cover its grid shape";
    }
    if (found != 1) return Fail("grid shapes per shape", found, i);
  }
  if (expected != shapes.size()) return Fail("grid shape count", static_cast<i64>(expected), static_cast<i64>(shapes.size()));

  // Groups against brute-force components.
  const i32 n = static_cast<i32>(shapes.size());
  std::vector<i32> parent(static_cast<size_t>(n));
  std::iota(parent.begin(), parent.end(), 0);
  for (i32 i = 0; i < n; ++i)
    for (i32 j = i + 1; j < n; ++j)
      if (TouchTest(shapes[static_cast<size_t>(i)], shapes[static_cast<size_t>(j)]))
        parent[static_cast<size_t>(Find(parent, i))] = Find(parent, j);
  std::map<i32, const _MULTISHAPE*> compToMs;
  std::set<const _MULTISHAPE*> listed;
  for (i32 i = 0; i < grid->multiShapes.GetCount(); ++i) listed.insert(grid->multiShapes[i]);
  if (static_cast<i32>(listed.size()) != grid->multiShapes.GetCount()) return "group listed twice";
  size_t members = 0;
  for (const _MULTISHAPE* ms : listed) {
    members += static_cast<size_t>(ms->members.GetCount());
    for (i32 i = 0; i < ms->members.GetCount(); ++i)
      if (ms->members[i]->multiShape != ms) return "member points at another group";
  }
  if (members != shapes.size()) return Fail("members", static_cast<i64>(members), static_cast<i64>(shapes.size()));
  for (i32 i = 0; i < n; ++i) {
    const _MULTISHAPE* ms = shapes[static_cast<size_t>(i)]->multiShape;
    if (!ms || !listed.count(ms)) return "grid shape without a listed group";
    auto [it, fresh] = compToMs.emplace(Find(parent, i), ms);
    if (!fresh && it->second != ms) return "one component split over groups";
  }
  if (compToMs.size() != listed.size()) return "groups do not match components";

  // Vertices filed in cells.
  std::unordered_map<const _MSPOINT*, i32> filedPoints;
  for (i32 r = 0; r < rows; ++r)
    for (i32 c = 0; c < cols; ++c) {
      const _GRIDCELL* cell = pf.CellAt(grid, c, r);
      for (i32 i = 0; i < cell->points.GetCount(); ++i) {
        const _MSPOINT* p = cell->points[i];
        if (p->x / cw != c || p->y / ch != r) return "vertex in the wrong cell";
        ++filedPoints[p];
      }
    }
  size_t vertexCount = 0;
  const i32 bl = grid->boundLeft, bt = grid->boundTop, br = grid->boundRight, bb = grid->boundBottom;
  static const i32 kRx[4] = {0, -1, 0, 1}, kRy[4] = {1, 0, -1, 0};
  for (const _MULTISHAPE* ms : listed) {
    // U and D of the group around its box, and the pixels the rings must cover.
    i32 x0 = 1 << 30, y0 = 1 << 30, x1 = -(1 << 30), y1 = -(1 << 30);
    for (i32 i = 0; i < ms->members.GetCount(); ++i) {
      const _GRIDSHAPE* g = ms->members[i];
      x0 = std::min(x0, g->left);
      y0 = std::min(y0, g->top);
      x1 = std::max(x1, g->right);
      y1 = std::max(y1, g->bottom);
    }
    x0 = std::max(x0 - 2, bl - 2);
    y0 = std::max(y0 - 2, bt - 2);
    x1 = std::min(x1 + 2, br + 2);
    y1 = std::min(y1 + 2, bb + 2);
    if (x1 <= x0 || y1 <= y0) {
      if (ms->outlines.GetCount() != 0) return "rings of a group far outside the bounds";
      continue;
    }
    Raster u, d;
    u.Init(x0, y0, x1 - x0, y1 - y0);
    d.Init(x0, y0, x1 - x0, y1 - y0);
    for (i32 i = 0; i < ms->members.GetCount(); ++i) {
      const _GRIDSHAPE* g = ms->members[i];
      for (i32 y = std::max(g->top, y0); y < std::min(g->bottom, y1); ++y)
        for (i32 x = std::max(g->left, x0); x < std::min(g->right, x1); ++x) u.Set(x, y);
      for (i32 y = std::max(g->top - 1, y0); y < std::min(g->bottom + 1, y1); ++y)
        for (i32 x = std::max(g->left - 1, x0); x < std::min(g->right + 1, x1); ++x) d.Set(x, y);
    }
    Raster expect, covered, pinch;
    expect.Init(x0, y0, x1 - x0, y1 - y0);
    covered.Init(x0, y0, x1 - x0, y1 - y0);
    pinch.Init(x0, y0, x1 - x0, y1 - y0);
    for (i32 y = std::max(y0, bt); y < std::min(y1, bb); ++y)
      for (i32 x = std::max(x0, bl); x < std::min(x1, br); ++x) {
        if (!d.Get(x, y)) continue;
        bool edge = false;
        for (i32 dy = -1; dy <= 1 && !edge; ++dy)
          for (i32 dx = -1; dx <= 1 && !edge; ++dx)
            if (!d.Get(x + dx, y + dy)) edge = true;
        if (edge) expect.Set(x, y);
      }
    for (i32 r = 0; r < ms->outlines.GetCount(); ++r) {
      const PointList* ring = ms->outlines[r];
      const i32 m = ring->GetCount();
      if (m < 2) return "ring with fewer than two vertices";
      vertexCount += static_cast<size_t>(m);
      const bool closed = (*ring)[m - 1]->link[1].point == (*ring)[0];
      if (!closed) {
        const _MSPOINT* a = (*ring)[0];
        const _MSPOINT* z = (*ring)[m - 1];
        if (a->link[0].point || z->link[1].point) return "open ring linked at an end";
        auto onBound = [&](const _MSPOINT* p) {
          return p->x == bl || p->x == br - 1 || p->y == bt || p->y == bb - 1;
        };
        if (!onBound(a) || !onBound(z)) return Fail("open ring ends away from the bounds", a->x, a->y);
      } else if ((*ring)[0]->link[0].point != (*ring)[m - 1]) {
        return "closed ring not linked back";
      }
      const i32 edges = closed ? m : m - 1;
      for (i32 k = 0; k < m; ++k) {
        const _MSPOINT* p = (*ring)[k];
        if (p->outline != r + 1) return Fail("ring number", p->outline, r + 1);
        if (p->multiShape != ms) return "vertex of another group";
        if (filedPoints[p] != 1) return "vertex not filed once in its cell";
        if (p->x < bl || p->x >= br || p->y < bt || p->y >= bb) return Fail("vertex outside the bounds", p->x, p->y);
        if (u.Get(p->x, p->y)) return Fail("vertex on a blocked pixel", p->x, p->y);
        // Where the grown group touches itself diagonally the ring passes
        // through the touch; its inner-corner vertex lies on the free pixel there.
        if (!d.Get(p->x, p->y)) {
          bool touch = false;
          for (i32 sy = -1; sy <= 1; sy += 2)
            for (i32 sx = -1; sx <= 1; sx += 2)
              if (d.Get(p->x + sx, p->y) && d.Get(p->x, p->y + sy) && !d.Get(p->x + sx, p->y + sy)) touch = true;
          if (p->corner || !touch) return Fail("vertex off the grown group", p->x, p->y);
          pinch.Set(p->x, p->y);
        }
        if (p->corner > 4 || p->boundCorner > 4 || (p->corner && p->boundCorner)) return "corner numbers";
        if (p->corner) {
          static const i32 ix[5] = {0, 1, -1, -1, 1}, iy[5] = {0, 1, 1, -1, -1};
          if (!u.Get(p->x + ix[p->corner], p->y + iy[p->corner])) return Fail("corner vertex not at a corner", p->x, p->y);
        }
        // Turn direction at interior vertices: right turns are corners, left turns inner corners.
        const _MSPOINT* prev = p->link[0].point;
        const _MSPOINT* next = p->link[1].point;
        if (prev && next) {
          auto heading = [](const _MSPOINT* a, const _MSPOINT* b) {
            return b->x > a->x ? 0 : b->y > a->y ? 1 : b->x < a->x ? 2 : 3;
          };
          const i32 in = heading(prev, p), out = heading(p, next);
          if (out == in || out == ((in + 2) & 3)) {
            if (p->boundCorner == 0) return Fail("vertex without a turn", p->x, p->y);
          } else if ((out == ((in + 1) & 3)) != (p->corner != 0)) {
            return Fail("corner number disagrees with the turn", p->x, p->y);
          }
        }
      }
      for (i32 k = 0; k < edges; ++k) {
        const _MSPOINT* a = (*ring)[k];
        const _MSPOINT* b = (*ring)[(k + 1) % m];
        if (a->link[1].point != b || b->link[0].point != a) return "links not symmetric";
        const i32 dx = b->x - a->x, dy = b->y - a->y;
        if ((dx != 0 && dy != 0) || (dx == 0 && dy == 0)) return Fail("edge not along a row or column", a->x, a->y);
        if (a->link[1].length != std::abs(dx) + std::abs(dy) || b->link[0].length != a->link[1].length)
          return "edge length";
        const i32 h = dx > 0 ? 0 : dy > 0 ? 1 : dx < 0 ? 2 : 3;
        const i32 sx = (dx > 0) - (dx < 0), sy = (dy > 0) - (dy < 0);
        bool groupOnRight = false;
        for (i32 x = a->x, y = a->y;; x += sx, y += sy) {
          if (u.Get(x, y)) return Fail("edge crosses the group", x, y);
          covered.Set(x, y);
          for (i32 t = -1; t <= 1; ++t)
            if (u.Get(x + kRx[h] + t * sx, y + kRy[h] + t * sy)) groupOnRight = true;
          if (x == b->x && y == b->y) break;
        }
        if (!groupOnRight) return Fail("direction 1 does not keep the group on the right", a->x, a->y);
      }
    }
    // A lone vertex of a ring that the bounds cut to one pixel is dropped; allow those.
    for (i32 y = y0; y < y1; ++y)
      for (i32 x = x0; x < x1; ++x) {
        const bool e = expect.Get(x, y), c = covered.Get(x, y);
        if (c && !e && !pinch.Get(x, y)) return Fail("ring pixel not on the border", x, y);
        if (!e || c) continue;
        bool lone = true;
        for (i32 dy = -1; dy <= 1; ++dy)
          for (i32 dx = -1; dx <= 1; ++dx)
            if ((dx || dy) && expect.Get(x + dx, y + dy)) lone = false;
        if (!lone) return Fail("border pixel not on any ring", x, y);
      }
  }
  if (vertexCount != filedPoints.size()) return "cells hold vertices of no ring";
  return "";
}

inline std::string ValidateFinder(const PathFinder& pf) {
  if (pf.GetUpdateNesting() != 0) return "bracket open";
  for (i32 i = 0; i < pf.GetGrids().GetCount(); ++i) {
    const std::string e = ValidateGrid(pf, pf.GetGrids()[i]);
    if (!e.empty()) return "grid " + std::to_string(pf.GetGrids()[i]->id) + ": " + e;
  }
  return "";
}

}  // namespace shpf_test

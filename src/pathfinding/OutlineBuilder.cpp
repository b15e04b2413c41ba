#include "pathfinding/OutlineBuilder.h"

#include <algorithm>
#include <cassert>

namespace shpf {

namespace {

// Headings on the lattice of pixel corners (y grows downwards).
constexpr i32 kStepX[4] = {1, 0, -1, 0};   // east, south, west, north
constexpr i32 kStepY[4] = {0, 1, 0, -1};
// Right-hand normal of each heading: the side the group lies on.
constexpr i32 kRightX[4] = {0, -1, 0, 1};
constexpr i32 kRightY[4] = {1, 0, -1, 0};
// Side of the group a walker follows while heading this way with the group on
// its right: east along the top, south down the right side, and so on.
constexpr u8 kSideOf[4] = {2, 4, 8, 1};

size_t IndexOf(const std::vector<i32>& v, i32 value) {
  return static_cast<size_t>(std::lower_bound(v.begin(), v.end(), value) - v.begin());
}

u8 HeadingOf(const OutlineVertex& a, const OutlineVertex& b) {
  if (b.x > a.x) return 0;
  if (b.y > a.y) return 1;
  if (b.x < a.x) return 2;
  return 3;
}

bool Inside(const OutlineVertex& v, const OutlineRect& b) {
  return v.x >= b.left && v.x < b.right && v.y >= b.top && v.y < b.bottom;
}

OutlineVertex BoundVertex(i32 x, i32 y, u8 heading, bool chainStart) {
  OutlineVertex v{};
  v.x = x;
  v.y = y;
  v.corner = 0;
  // The corner position the ring would take if it turned onto the bound here.
  v.boundCorner = static_cast<u8>(chainStart ? heading + 1 : (heading + 1) % 4 + 1);
  v.sideMask = kSideOf[heading];
  return v;
}

}  // namespace

// Compresses the grown rectangles onto a lattice, marks every boundary edge of
// their union with the union on its right, and follows the edges round. Where
// two edges leave one lattice point (the union touches itself diagonally) the
// left-most turn is taken: the ring passes through the touch, so free space
// that meets only diagonally there stays on one ring (the vertex made there
// lies on the free pixel of the touch).
void OutlineBuilder::Build(const OutlineRect* rects, size_t count, const OutlineRect& bounds,
                           std::vector<OutlineRing>& out) {
  if (bounds.left >= bounds.right || bounds.top >= bounds.bottom) return;
  // Pixels more than one step outside the bounds cannot change a ring inside
  // them, so the grown union is cut to the bounds grown by one.
  const OutlineRect clip{bounds.left - 1, bounds.top - 1, bounds.right + 1, bounds.bottom + 1};
  std::vector<OutlineRect> grown;
  grown.reserve(count);
  xs_.clear();
  ys_.clear();
  for (size_t k = 0; k < count; ++k) {
    const OutlineRect& r = rects[k];
    if (r.left >= r.right || r.top >= r.bottom) continue;
    OutlineRect g{std::max(r.left - 1, clip.left), std::max(r.top - 1, clip.top), std::min(r.right + 1, clip.right),
                  std::min(r.bottom + 1, clip.bottom)};
    if (g.left >= g.right || g.top >= g.bottom) continue;
    grown.push_back(g);
    xs_.push_back(g.left);
    xs_.push_back(g.right);
    ys_.push_back(g.top);
    ys_.push_back(g.bottom);
  }
  if (grown.empty()) return;
  std::sort(xs_.begin(), xs_.end());
  xs_.erase(std::unique(xs_.begin(), xs_.end()), xs_.end());
  std::sort(ys_.begin(), ys_.end());
  ys_.erase(std::unique(ys_.begin(), ys_.end()), ys_.end());
  nx_ = xs_.size();
  ny_ = ys_.size();

  // Coverage count per compressed cell through a 2-D difference table.
  cover_.assign(nx_ * ny_, 0);
  for (const OutlineRect& g : grown) {
    const size_t i0 = IndexOf(xs_, g.left), i1 = IndexOf(xs_, g.right);
    const size_t j0 = IndexOf(ys_, g.top), j1 = IndexOf(ys_, g.bottom);
    cover_[j0 * nx_ + i0] += 1;
    cover_[j0 * nx_ + i1] -= 1;
    cover_[j1 * nx_ + i0] -= 1;
    cover_[j1 * nx_ + i1] += 1;
  }
  for (size_t j = 0; j < ny_; ++j)
    for (size_t i = 1; i < nx_; ++i) cover_[j * nx_ + i] += cover_[j * nx_ + i - 1];
  for (size_t j = 1; j < ny_; ++j)
    for (size_t i = 0; i < nx_; ++i) cover_[j * nx_ + i] += cover_[(j - 1) * nx_ + i];
  auto occ = [this](i64 i, i64 j) -> bool {
    if (i < 0 || j < 0 || i >= static_cast<i64>(nx_) - 1 || j >= static_cast<i64>(ny_) - 1) return false;
    return cover_[static_cast<size_t>(j) * nx_ + static_cast<size_t>(i)] > 0;
  };

  edges_.assign(nx_ * ny_, 0);
  for (size_t j = 0; j < ny_; ++j) {
    for (size_t i = 0; i < nx_; ++i) {
      const i64 si = static_cast<i64>(i), sj = static_cast<i64>(j);
      u8 bits = 0;
      if (occ(si, sj) && !occ(si, sj - 1)) bits |= 1;          // east
      if (occ(si - 1, sj) && !occ(si, sj)) bits |= 2;          // south
      if (occ(si - 1, sj - 1) && !occ(si - 1, sj)) bits |= 4;  // west
      if (occ(si, sj - 1) && !occ(si - 1, sj - 1)) bits |= 8;  // north
      edges_[j * nx_ + i] = bits;
    }
  }

  std::vector<Turn> turns;
  std::vector<OutlineVertex> ring;
  for (size_t j = 0; j < ny_; ++j) {
    for (size_t i = 0; i < nx_; ++i) {
      while (edges_[j * nx_ + i] != 0) {
        u8 d = 0;
        while (!(edges_[j * nx_ + i] & (1u << d))) ++d;
        Trace(static_cast<i32>(i), static_cast<i32>(j), d, turns);
        ring.clear();
        for (const Turn& t : turns) {
          const i32 sx = kRightX[t.in] + kRightX[t.out];
          const i32 sy = kRightY[t.in] + kRightY[t.out];
          OutlineVertex v{};
          v.x = t.x + (sx > 0 ? 0 : -1);
          v.y = t.y + (sy > 0 ? 0 : -1);
          const bool convex = t.out == ((t.in + 1) & 3);
          v.corner = convex ? static_cast<u8>(t.out + 1) : 0;
          v.boundCorner = 0;
          v.sideMask = static_cast<u8>(kSideOf[t.in] | kSideOf[t.out]);
          ring.push_back(v);
        }
        if (ring.size() >= 2) Clip(ring, bounds, out);
      }
    }
  }
}

// Follows the boundary edges from one start edge until it comes back to it,
// recording every change of heading. Each edge is used once.
void OutlineBuilder::Trace(i32 startI, i32 startJ, u8 startDir, std::vector<Turn>& turns) {
  turns.clear();
  i32 i = startI, j = startJ;
  u8 d = startDir;
  // The start edge stays marked until the ring closes on it.
  for (;;) {
    i += kStepX[d];
    j += kStepY[d];
    u8& bits = edges_[static_cast<size_t>(j) * nx_ + static_cast<size_t>(i)];
    u8 next = 4;
    const u8 order[3] = {static_cast<u8>((d + 3) & 3), d, static_cast<u8>((d + 1) & 3)};
    for (u8 c : order) {
      if (bits & (1u << c)) {
        next = c;
        break;
      }
    }
    assert(next < 4);
    if (next >= 4) return;  // cannot happen for a well-formed union
    if (next != d) turns.push_back(Turn{xs_[static_cast<size_t>(i)], ys_[static_cast<size_t>(j)], d, next});
    bits = static_cast<u8>(bits & ~(1u << next));
    if (i == startI && j == startJ && next == startDir) return;
    d = next;
  }
}

// Cuts a closed ring to the bounds. A ring wholly inside stays closed; else
// every stretch inside becomes an open ring that starts and ends on the bounds.
void OutlineBuilder::Clip(const std::vector<OutlineVertex>& ring, const OutlineRect& bounds,
                          std::vector<OutlineRing>& out) {
  const size_t n = ring.size();
  size_t start = n;
  for (size_t k = 0; k < n; ++k) {
    if (!Inside(ring[k], bounds)) {
      start = k;
      break;
    }
  }
  if (start == n) {
    out.push_back(OutlineRing{ring, true});
    return;
  }
  OutlineRing chain;
  bool open = false;
  auto finish = [&]() {
    if (chain.points.size() >= 2) out.push_back(std::move(chain));
    chain = OutlineRing{};
    open = false;
  };
  for (size_t k = 0; k < n; ++k) {
    const OutlineVertex& p = ring[(start + k) % n];
    const OutlineVertex& q = ring[(start + k + 1) % n];
    const u8 h = HeadingOf(p, q);
    const bool horizontal = h == 0 || h == 2;
    // The stretch of the edge inside the bounds, as [lo, hi] along its axis.
    i32 lo, hi;
    bool any;
    if (horizontal) {
      lo = std::max(std::min(p.x, q.x), bounds.left);
      hi = std::min(std::max(p.x, q.x), bounds.right - 1);
      any = p.y >= bounds.top && p.y < bounds.bottom && lo <= hi;
    } else {
      lo = std::max(std::min(p.y, q.y), bounds.top);
      hi = std::min(std::max(p.y, q.y), bounds.bottom - 1);
      any = p.x >= bounds.left && p.x < bounds.right && lo <= hi;
    }
    const bool forward = h == 0 || h == 1;
    auto at = [&](i32 t) {
      return horizontal ? std::pair<i32, i32>(t, p.y) : std::pair<i32, i32>(p.x, t);
    };
    if (!open) {
      if (!any) continue;
      const auto e = at(forward ? lo : hi);
      open = true;
      if (e.first != q.x || e.second != q.y) chain.points.push_back(BoundVertex(e.first, e.second, h, true));
    }
    if (Inside(q, bounds)) {
      chain.points.push_back(q);
      continue;
    }
    const auto x = at(forward ? hi : lo);
    const OutlineVertex& last = chain.points.back();
    if (last.x != x.first || last.y != x.second) chain.points.push_back(BoundVertex(x.first, x.second, h, false));
    finish();
  }
}

}  // namespace shpf

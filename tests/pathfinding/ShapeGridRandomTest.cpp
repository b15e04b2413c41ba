// Seeded random churn of the obstacle world: after every step the brute-force
// validator checks groups, rings and cells, and a model of the version rules
// checks every grid's version.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "pathfinding/PathFinder.h"
#include "testsupport/GridValidator.h"
#include "testsupport/SeededRandom.h"

namespace {

using namespace shpf;

using testsupport::SeededRandom;

struct Inflated {
  i32 l, t, r, b;
};

bool InGrid(const _SHAPE* s, const _SHAPEGRID* g, Inflated* out) {
  if (s->mask != 0 && (s->mask & g->mask) == 0) return false;
  Inflated f{s->left - g->footLeft, s->top - g->footTop, s->right + g->footRight, s->bottom + g->footBottom};
  if (f.l >= f.r || f.t >= f.b) return false;
  if (out) *out = f;
  return true;
}

bool TouchesAnyOther(const PathFinder& pf, const _SHAPE* s, const _SHAPEGRID* g) {
  Inflated a;
  if (!InGrid(s, g, &a)) return false;
  for (i32 i = 0; i < pf.GetShapes().GetCount(); ++i) {
    const _SHAPE* o = pf.GetShapes()[i];
    Inflated b;
    if (o == s || !InGrid(o, g, &b)) continue;
    if (b.l <= a.r && a.l <= b.r && b.t <= a.b && a.t <= b.b) return true;
  }
  return false;
}

bool HasAny(const PathFinder& pf, const _SHAPEGRID* g) {
  for (i32 i = 0; i < pf.GetShapes().GetCount(); ++i)
    if (InGrid(pf.GetShapes()[i], g, nullptr)) return true;
  return false;
}

// Drives one finder and tracks what each grid's version must be.
class RandomWorld {
 public:
  RandomWorld(u32 seed, u16 w, u16 h, u16 cell) : rng_(seed), pf_(w, h, cell, cell), w_(w), h_(h) {
    Grid(1, 0, 0, 0, 0, 0x1);
    Grid(2, 3, 2, 4, 5, 0x2);
    Grid(3, 8, 4, 8, 4, 0x5);
  }

  void Grid(u32 id, i32 fl, i32 ft, i32 fr, i32 fb, u32 mask) {
    _SHAPEGRID* g = pf_.CreateGrid(id, PackPair(fl, ft), PackPair(fr, fb), mask);
    ASSERT_NE(g, nullptr);
    expect_[g] = HasAny(pf_, g) ? 1 : 0;
  }

  void Step() {
    const i32 op = rng_.Range(0, 99);
    if (op < 45 || pf_.GetShapes().GetCount() < 3) {
      AddRandom();
    } else if (op < 80) {
      RemoveRandom();
    } else if (op < 93) {
      pf_.BeginUpdate();
      ++nesting_;
      const i32 n = rng_.Range(1, 6);
      for (i32 i = 0; i < n; ++i) {
        if (rng_.Range(0, 2) == 0 && pf_.GetShapes().GetCount() > 0)
          RemoveRandom();
        else
          AddRandom();
        if (rng_.Range(0, 9) == 0) Bounds();
      }
      pf_.EndUpdate();
      --nesting_;
      CloseBracket();
    } else if (op < 98) {
      Bounds();
    } else {
      for (auto& [g, v] : expect_)
        if (HasAny(pf_, g)) ++v;
      pf_.RemoveAllShapes();
    }
  }

  void Check() {
    ASSERT_EQ(shpf_test::ValidateFinder(pf_), "");
    for (const auto& [g, v] : expect_) ASSERT_EQ(g->version, v) << "grid " << g->id;
  }

  PathFinder& Finder() { return pf_; }

 private:
  void AddRandom() {
    const i32 kind = rng_.Range(0, 9);
    i32 w, h;
    if (kind < 5) {
      w = rng_.Range(1, 24);
      h = rng_.Range(1, 24);
    } else if (kind < 8) {
      w = rng_.Range(1, 80);
      h = rng_.Range(1, 6);
      if (kind == 6) std::swap(w, h);
    } else {
      w = rng_.Range(20, 90);
      h = rng_.Range(20, 90);
    }
    const i32 x = rng_.Range(-30, w_ + 10), y = rng_.Range(-30, h_ + 10);
    const u32 masks[4] = {0, 0x1, 0x2, 0x4};
    const u32 mask = masks[rng_.Range(0, 3)];
    _SHAPE* s = pf_.AddShape(PackPair(x, y), PackPair(x + w, y + h), mask);
    ASSERT_NE(s, nullptr);
    for (auto& [g, v] : expect_) {
      if (nesting_ == 0)
        ++v;
      else if (InGrid(s, g, nullptr))
        dirty_[g] = true;
    }
  }

  void RemoveRandom() {
    const i32 n = pf_.GetShapes().GetCount();
    if (n == 0) return;
    _SHAPE* s = pf_.GetShapes()[rng_.Range(0, n - 1)];
    for (auto& [g, v] : expect_) {
      if (nesting_ == 0) {
        v += 1 + (TouchesAnyOther(pf_, s, g) ? 1 : 0);
      } else if (InGrid(s, g, nullptr)) {
        dirty_[g] = true;
      }
    }
    pf_.RemoveShape(s);
  }

  void Bounds() {
    auto it = expect_.begin();
    std::advance(it, rng_.Range(0, static_cast<i32>(expect_.size()) - 1));
    _SHAPEGRID* g = it->first;
    const i32 l = rng_.Range(g->footLeft - 2, 60), t = rng_.Range(g->footTop - 2, 60);
    const i32 r = rng_.Range(w_ - g->footRight - 60, w_ - g->footRight + 2);
    const i32 b = rng_.Range(h_ - g->footBottom - 60, h_ - g->footBottom + 2);
    const bool ok = r - l > 1 && b - t > 1 && l >= g->footLeft && t >= g->footTop && r <= w_ - g->footRight &&
                    b <= h_ - g->footBottom &&
                    !(l == g->boundLeft && t == g->boundTop && r == g->boundRight && b == g->boundBottom);
    if (ok) {
      ++it->second;
      const bool members = g->multiShapes.GetCount() > 0;
      if (nesting_ == 0) {
        if (members) ++it->second;
      } else if (members) {
        dirty_[g] = true;
      }
    }
    pf_.SetGridBounds(g, PackPair(l, t), PackPair(r, b));
  }

  void CloseBracket() {
    for (auto& [g, v] : expect_)
      if (dirty_[g]) ++v;
    dirty_.clear();
  }

  SeededRandom rng_;
  PathFinder pf_;
  i32 w_, h_;
  i32 nesting_ = 0;
  std::map<_SHAPEGRID*, u32> expect_;
  std::map<_SHAPEGRID*, bool> dirty_;
};

TEST(ShapeGridRandom, ChurnKeepsGroupsRingsAndVersionsRight) {
  for (u32 seed = 1; seed <= 12; ++seed) {
    RandomWorld world(seed * 7919u, 240, 180, seed % 2 ? 32 : 20);
    for (i32 step = 0; step < 300; ++step) {
      world.Step();
      world.Check();
      if (::testing::Test::HasFatalFailure()) {
        ADD_FAILURE() << "seed " << seed << " step " << step;
        return;
      }
    }
  }
}

TEST(ShapeGridRandom, DenseClustersWithHolesAndPinches) {
  // Small squares packed tightly make holes, one-pixel gaps and diagonal touches.
  SeededRandom rng(424242);
  PathFinder pf(160, 120, 16, 16);
  ASSERT_NE(pf.CreateGrid(1, 0, 0, 1), nullptr);
  ASSERT_NE(pf.CreateGrid(2, PackPair(1, 1), PackPair(1, 1), 2), nullptr);
  std::vector<_SHAPE*> live;
  for (i32 step = 0; step < 1500; ++step) {
    if (live.size() < 40 || rng.Range(0, 2) != 0) {
      const i32 x = rng.Range(-4, 160) & ~3, y = rng.Range(-4, 120) & ~3;
      live.push_back(pf.AddShape(PackPair(x, y), PackPair(x + rng.Range(1, 4), y + rng.Range(1, 4)), 0));
    } else {
      const size_t k = static_cast<size_t>(rng.Range(0, static_cast<i32>(live.size()) - 1));
      pf.RemoveShape(live[k]);
      live.erase(live.begin() + static_cast<long>(k));
    }
    const std::string e = shpf_test::ValidateFinder(pf);
    ASSERT_EQ(e, "") << "step " << step;
  }
}

}  // namespace

// Seeded random worlds and queries: every request ends, every found path
// passes the independent checker, and no invariant ever fires.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "pathfinding/PathFinder.h"
#include "platform/encoding/Utf.h"
#include "testsupport/GridValidator.h"
#include "testsupport/PathChecker.h"
#include "testsupport/SeededRandom.h"

namespace {

using namespace shpf;

using testsupport::SeededRandom;

class CountingSink : public PathFailureSink {
 public:
  void Report(const std::u16string&, const std::u16string& message) override { messages.push_back(message); }
  std::vector<std::u16string> messages;
};

// Open pixels of a grid's bounds (no blocked pixel in their 3 x 3
// neighbourhood) labelled by 8-connected region. Between two open pixels of
// one region the walk round the outlines always exists; passages narrower
// than three pixels lie inside an outline and are not searched.
std::vector<i32> Regions(const PathFinder& pf, const _SHAPEGRID* g) {
  const i32 w = g->boundRight - g->boundLeft, h = g->boundBottom - g->boundTop;
  std::vector<u8> blocked(static_cast<size_t>(w) * static_cast<size_t>(h));
  for (i32 i = 0; i < w * h; ++i)
    blocked[static_cast<size_t>(i)] = pf.GridShapeAt(g, g->boundLeft + i % w, g->boundTop + i / w) != nullptr;
  auto isBlocked = [&](i32 x, i32 y) {
    return x >= 0 && y >= 0 && x < w && y < h && blocked[static_cast<size_t>(y * w + x)];
  };
  std::vector<i32> label(static_cast<size_t>(w) * static_cast<size_t>(h), -1);
  for (i32 i = 0; i < w * h; ++i) {
    bool open = true;
    for (i32 dy = -1; dy <= 1; ++dy)
      for (i32 dx = -1; dx <= 1; ++dx)
        if (isBlocked(i % w + dx, i / w + dy)) open = false;
    if (!open) label[static_cast<size_t>(i)] = -2;
  }
  std::vector<i32> stack;
  i32 next = 0;
  for (i32 i = 0; i < w * h; ++i) {
    if (label[static_cast<size_t>(i)] != -1) continue;
    label[static_cast<size_t>(i)] = next;
    stack.push_back(i);
    while (!stack.empty()) {
      const i32 p = stack.back();
      stack.pop_back();
      for (i32 dy = -1; dy <= 1; ++dy)
        for (i32 dx = -1; dx <= 1; ++dx) {
          const i32 x = p % w + dx, y = p / w + dy;
          if (x < 0 || y < 0 || x >= w || y >= h || label[static_cast<size_t>(y * w + x)] != -1) continue;
          label[static_cast<size_t>(y * w + x)] = next;
          stack.push_back(y * w + x);
        }
    }
    ++next;
  }
  return label;
}

i32 RegionAt(const std::vector<i32>& label, const _SHAPEGRID* g, float x, float y) {
  const i32 w = g->boundRight - g->boundLeft;
  return label[static_cast<size_t>((static_cast<i32>(y) - g->boundTop) * w + (static_cast<i32>(x) - g->boundLeft))];
}

struct Stats {
  i32 found = 0, failed = 0, relocated = 0, invariants = 0, unsure = 0, reachableFailed = 0;
};

void RunWorld(u32 seed, Stats& stats, i32 queries) {
  SeededRandom rng(seed);
  PathFinder pf(320, 240, 32, 32);
  CountingSink sink;
  pf.SetFailureSink(&sink);
  pf.SetDumpFolder(u"/tmp/");
  _SHAPEGRID* grids[3] = {pf.CreateGrid(1, 0, 0, 1), pf.CreateGrid(2, PackPair(4, 3), PackPair(4, 3), 2),
                          pf.CreateGrid(3, PackPair(9, 5), PackPair(9, 5), 4)};
  const i32 shapes = rng.Range(3, 25);
  pf.BeginUpdate();
  for (i32 i = 0; i < shapes; ++i) {
    const i32 w = rng.Range(2, 70), h = rng.Range(2, 70);
    const i32 x = rng.Range(-20, 320), y = rng.Range(-20, 240);
    pf.AddShape(PackPair(x, y), PackPair(x + w, y + h), 0);
  }
  pf.EndUpdate();
  std::vector<i32> regions[3];
  for (i32 i = 0; i < 3; ++i) regions[i] = Regions(pf, grids[i]);
  for (i32 q = 0; q < queries; ++q) {
    const i32 gi = rng.Range(0, 2);
    _SHAPEGRID* g = grids[gi];
    float sx, sy;
    do {
      sx = static_cast<float>(rng.Range(g->boundLeft, g->boundRight - 1));
      sy = static_cast<float>(rng.Range(g->boundTop, g->boundBottom - 1));
    } while (pf.GridShapeAt(g, static_cast<i32>(sx), static_cast<i32>(sy)));
    const float fx = static_cast<float>(rng.Range(g->boundLeft - 5, g->boundRight + 5));
    const float fy = static_cast<float>(rng.Range(g->boundTop - 5, g->boundBottom + 5));
    _PATHREQUEST req{};
    req.startX = sx + 0.25f;
    req.startY = sy + 0.75f;
    req.finishX = fx;
    req.finishY = fy;
    req.gridId = g->id;
    pf.RunRequest(&req);
    std::unique_ptr<float[]> points(req.points);
    ASSERT_TRUE(req.prState == PFS_FOUND || req.prState == PFS_FAILED) << "seed " << seed << " query " << q;
    ASSERT_EQ(req.data, nullptr);
    const float cfx = std::clamp<float>(fx, g->boundLeft, g->boundRight - 1);
    const float cfy = std::clamp<float>(fy, g->boundTop, g->boundBottom - 1);
    const bool finishFree = !pf.GridShapeAt(g, static_cast<i32>(cfx), static_cast<i32>(cfy));
    const i32 startRegion = RegionAt(regions[gi], g, sx, sy);
    const bool reachable = startRegion >= 0 && RegionAt(regions[gi], g, cfx, cfy) == startRegion;
    if (finishFree && !reachable) ++stats.unsure;
    if (req.prState == PFS_FOUND) {
      ++stats.found;
      const float expect[2] = {cfx, cfy};
      const std::string e = shpf_test::CheckPath(pf, g, req, sx, sy, reachable ? expect : nullptr);
      ASSERT_EQ(e, "") << "seed " << seed << " query " << q << " from " << sx << "," << sy << " to " << fx << "," << fy
                       << " grid " << g->id;
      if (!finishFree) ++stats.relocated;
    } else {
      ++stats.failed;
      if (reachable) {
        ++stats.reachableFailed;
        std::printf("reachable failed: seed %u query %d\n", seed, q);
      }
    }
  }
  for (const auto& m : sink.messages) std::printf("seed %u: %s\n", seed, plat::Utf16ToUtf8(m).c_str());
  stats.invariants += static_cast<i32>(sink.messages.size());
}

TEST(PathSearchRandom, EveryQueryEndsAndEveryFoundPathIsClear) {
  Stats stats;
  for (u32 seed = 1; seed <= 40; ++seed) {
    RunWorld(seed * 31337u, stats, 60);
    if (::testing::Test::HasFatalFailure()) return;
  }
  std::printf("found %d failed %d (reachable %d) relocated %d unsure %d invariants %d\n", stats.found,
              stats.failed, stats.reachableFailed, stats.relocated, stats.unsure, stats.invariants);
  EXPECT_EQ(stats.invariants, 0);
  EXPECT_EQ(stats.reachableFailed, 0);
  EXPECT_GT(stats.found, stats.failed * 20);
}

}  // namespace

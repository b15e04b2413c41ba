// Searches cut into slices of bounded work, on the worlds of the path
// benchmarks, against one unbounded call each.
#include <gtest/gtest.h>

#include <vector>

#include "PathTestSupport.h"
#include "pathfinding/PathFinder.h"
#include "testsupport/PathWorlds.h"
#include "testsupport/SeededRandom.h"

namespace {

using namespace shpf;
using shpf_test::Points;

struct SliceRequest : _PATHREQUEST {
  SliceRequest(float sx, float sy, float fx, float fy, u32 slice) : _PATHREQUEST{} {
    startX = sx;
    startY = sy;
    finishX = fx;
    finishY = fy;
    gridId = 1;
    interval = slice;
  }
  ~SliceRequest() { delete[] points; }
  SliceRequest(const SliceRequest&) = delete;
  SliceRequest& operator=(const SliceRequest&) = delete;
};

// With the clock standing still only the work ends a slice. Every sliced
// search ends as the unbounded one did, with the same points; each call that
// stops early has done its work; with a bound of one unit a call does one
// segment test (two when the finish is moved out of an obstacle), so the
// long searches take many calls.
TEST(PathSlices, BoundedSlicesFindThePathsOfOneCallOnTheTypicalWorldAndTheMaze) {
  shpf_test::SteppingClock clock(1000, 0);
  plat::PlatformServicesScope scoped({.clock = &clock});
  for (const testsupport::PathWorld& world : {testsupport::TypicalPathWorld(), testsupport::MazePathWorld()}) {
    PathFinder pf(static_cast<u16>(world.width), static_cast<u16>(world.height), 64, 64);
    const _SHAPEGRID* grid = pf.CreateGrid(1, PackPair(20, 12), PackPair(20, 12), 1);
    pf.BeginUpdate();
    for (const testsupport::PathRect& r : world.rects) pf.AddShape(PackPair(r.l, r.t), PackPair(r.r, r.b), 0);
    pf.EndUpdate();
    testsupport::SeededRandom rng(31337);
    auto freePoint = [&](float* x, float* y) {
      i32 px, py;
      do {
        px = rng.Range(grid->boundLeft, grid->boundRight - 1);
        py = rng.Range(grid->boundTop, grid->boundBottom - 1);
      } while (pf.GridShapeAt(grid, px, py));
      *x = static_cast<float>(px);
      *y = static_cast<float>(py);
    };
    i32 found = 0, manyCalls = 0;
    for (i32 q = 0; q < 24; ++q) {
      float sx, sy, fx, fy;
      freePoint(&sx, &sy);
      if (q % 4 == 3) {  // now and then a finish inside an obstacle
        fx = static_cast<float>(world.rects[static_cast<size_t>(q) % world.rects.size()].l + 6);
        fy = static_cast<float>(world.rects[static_cast<size_t>(q) % world.rects.size()].b - 6);
      } else {
        freePoint(&fx, &fy);
      }
      const std::string what = std::string(world.name) + " query " + std::to_string(q);
      pf.SetSliceWork(PathFinder::kSliceWork);
      SliceRequest whole(sx, sy, fx, fy, 0);
      pf.RunRequest(&whole);
      ASSERT_TRUE(whole.prState == PFS_FOUND || whole.prState == PFS_FAILED) << what;
      found += whole.prState == PFS_FOUND;
      for (u32 work : {1u, 900u, PathFinder::kSliceWork}) {
        pf.SetSliceWork(work);
        SliceRequest sliced(sx, sy, fx, fy, 10);
        i32 calls = 0;
        u32 tests = 0;
        while (sliced.prState == PFS_NEW || sliced.prState == PFS_SEARCHING) {
          ASSERT_LT(++calls, 5000) << what;  // a search that stops progressing
          pf.RunRequest(&sliced);
          if (sliced.prState != PFS_SEARCHING) break;
          EXPECT_GE(sliced.data->sliceWork, work) << what << " stopped before its work was done";
          if (work == 1) {
            EXPECT_LE(sliced.data->segmentTests - tests, 2u) << what;
            tests = sliced.data->segmentTests;
          }
        }
        ASSERT_EQ(sliced.prState, whole.prState) << what << ", work " << work;
        EXPECT_EQ(Points(sliced), Points(whole)) << what << ", work " << work;
        if (work == 1 && calls > 8) ++manyCalls;
      }
    }
    EXPECT_GE(found, 18) << world.name;
    EXPECT_GE(manyCalls, 12) << world.name;
  }
}

}  // namespace

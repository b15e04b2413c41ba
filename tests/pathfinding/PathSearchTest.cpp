#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "PathTestSupport.h"
#include "pathfinding/PathFinder.h"
#include "testsupport/PathChecker.h"
#include "testsupport/TempFolder.h"

namespace {

using namespace shpf;
using shpf_test::Points;
using Floats = std::vector<float>;

struct Request : _PATHREQUEST {
  Request(u32 grid, float sx, float sy, float fx, float fy, u32 slice = 0) : _PATHREQUEST{} {
    startX = sx;
    startY = sy;
    finishX = fx;
    finishY = fy;
    gridId = grid;
    interval = slice;
  }
  ~Request() { delete[] points; }
  Request(const Request&) = delete;
  Request& operator=(const Request&) = delete;
};

// A finder of 400 x 300 with one grid of footprint 0 (id 1) and one of 5 (id 2).
struct World {
  World() : pf(400, 300, 64, 64) {
    pf.SetFailureSink(&sink);
    pf.SetDumpFolder(folder.Wide());
    thin = pf.CreateGrid(1, 0, 0, 1);
    wide = pf.CreateGrid(2, PackPair(5, 5), PackPair(5, 5), 2);
  }
  _SHAPE* Add(i32 l, i32 t, i32 r, i32 b) { return pf.AddShape(PackPair(l, t), PackPair(r, b), 0); }
  // A serpentine of walls with openings on alternating sides.
  void Serpentine() {
    pf.BeginUpdate();
    for (i32 i = 0; i < 6; ++i) {
      const i32 x = 40 + i * 55;
      if (i % 2 == 0)
        Add(x, -10, x + 12, 240);
      else
        Add(x, 60, x + 12, 310);
    }
    pf.EndUpdate();
  }

  TempFolder folder;
  shpf_test::RecordingSink sink;
  PathFinder pf;
  _SHAPEGRID* thin;
  _SHAPEGRID* wide;
};

TEST(PathSearch, OneObstacleIsPassedRoundTheBottom) {
  World w;
  w.Add(100, 100, 200, 200);
  Request r(1, 50, 150, 250, 150);
  w.pf.RunRequest(&r);
  ASSERT_EQ(r.prState, PFS_FOUND);
  EXPECT_EQ(Points(r), (Floats{50, 150, 99, 200, 200, 200, 250, 150}));
  EXPECT_EQ(r.gridVersion, w.thin->version);
  EXPECT_EQ(r.data, nullptr);
}

TEST(PathSearch, AFreeSegmentFinishesAtOnceWithTwoPoints) {
  World w;
  w.Add(100, 100, 200, 200);
  Request r(1, 10.7f, 20.2f, 390.9f, 30.5f, 10);
  plat::FakeClock clock;
  plat::PlatformServicesScope scoped({.clock = &clock});
  w.pf.RunRequest(&r);
  ASSERT_EQ(r.prState, PFS_FOUND);
  EXPECT_EQ(Points(r), (Floats{10, 20, 390, 30}));
  Request same(1, 60, 60, 60.5f, 60.9f);
  w.pf.RunRequest(&same);
  EXPECT_EQ(Points(same), (Floats{60, 60, 60, 60}));
}

TEST(PathSearch, UnusableRequestsFailAtOnceWithoutADump) {
  World w;
  w.Add(100, 100, 200, 200);
  Request inside(1, 150, 150, 10, 10);
  Request outside(1, -1, 10, 10, 10);
  Request beyond(2, 396, 10, 10, 10);  // the wide grid's bounds end at 395
  Request unknown(9, 10, 10, 20, 20);
  Request bad(1, NAN, 10, 20, 20);
  for (Request* r : {&inside, &outside, &beyond, &unknown, &bad}) {
    w.pf.RunRequest(r);
    EXPECT_EQ(r->prState, PFS_FAILED);
    EXPECT_EQ(r->pointCount, 0u);
    EXPECT_EQ(r->data, nullptr);
  }
  EXPECT_TRUE(w.sink.messages.empty());
  w.pf.RunRequest(nullptr);
  w.pf.RunRequest(&inside);  // a final state is left alone
  EXPECT_EQ(inside.prState, PFS_FAILED);
}

TEST(PathSearch, FinishOutsideTheBoundsIsPulledIn) {
  World w;
  Request r(2, 50, 50, 1000, -40);
  w.pf.RunRequest(&r);
  ASSERT_EQ(r.prState, PFS_FOUND);
  EXPECT_EQ(Points(r), (Floats{50, 50, 394, 5}));
  Request far(1, 50, 50, 5000, 5000);
  w.pf.RunRequest(&far);
  EXPECT_EQ(Points(far), (Floats{50, 50, 399, 299}));
}

TEST(PathSearch, FinishInsideAnObstacleEndsOnItsOutline) {
  World w;
  w.Add(100, 100, 200, 200);
  Request r(1, 50, 150, 150, 160);
  w.pf.RunRequest(&r);
  ASSERT_EQ(r.prState, PFS_FOUND);
  EXPECT_EQ(Points(r), (Floats{50, 150, 99, 200, 150, 200}));
  const FloatPoint n = w.pf.NearestFree(1, 150, 160);
  EXPECT_EQ(n.x, 150);
  EXPECT_EQ(n.y, 200);
  const FloatPoint free = w.pf.NearestFree(1, 50.5f, 60.5f);
  EXPECT_EQ(free.x, 50.5f) << "a free point is left as it is";
}

TEST(PathSearch, EscapeAlongWalksOutOfAnObstacle) {
  World w;
  w.Add(100, 100, 200, 200);
  w.Add(-20, 250, 60, 280);
  FloatPoint p = w.pf.EscapeAlong(1, 150.4f, 150.6f, 0.0f);  // walks from the pixel's centre
  EXPECT_EQ(p.x, 200);
  EXPECT_EQ(p.y, 151);
  p = w.pf.EscapeAlong(1, 150, 150, 270.0f);
  EXPECT_EQ(p.x, 150);
  EXPECT_EQ(p.y, 99);
  p = w.pf.EscapeAlong(1, 10.8f, 260.2f, 180.0f);  // leaves the bounds first
  EXPECT_EQ(p.x, 10);
  EXPECT_EQ(p.y, 260);
  p = w.pf.EscapeAlong(1, 150, 150, NAN);
  EXPECT_EQ(p.x, 150);
  p = w.pf.EscapeAlong(1, 20.7f, 20.2f, 0.0f);  // already free
  EXPECT_EQ(p.x, 20);
  EXPECT_EQ(p.y, 20);
  w.pf.BeginUpdate();
  p = w.pf.EscapeAlong(1, 150.5f, 150, 0.0f);
  EXPECT_EQ(p.x, 150) << "nothing moves while a bracket is open";
  w.pf.EndUpdate();
}

TEST(PathSearch, SlicedSearchGivesTheSamePathAsOneCall) {
  World w;
  w.Serpentine();
  Request whole(2, 10, 150, 390, 150);
  w.pf.RunRequest(&whole);
  ASSERT_EQ(whole.prState, PFS_FOUND);
  EXPECT_EQ(shpf_test::CheckPath(w.pf, w.wide, whole, 10, 150, nullptr), "");
  EXPECT_GE(whole.pointCount, 8u);

  for (u32 start : {0u, 0xFFFFFFF8u}) {
    shpf_test::SteppingClock clock(start, 6);  // every reading is 6 ms later
    plat::PlatformServicesScope scoped({.clock = &clock});
    Request sliced(2, 10, 150, 390, 150, 10);
    i32 calls = 0;
    i16 lastPass = -1;
    while (sliced.prState != PFS_FOUND && sliced.prState != PFS_FAILED && calls < 1000) {
      w.pf.RunRequest(&sliced);
      ++calls;
      if (sliced.prState == PFS_SEARCHING) {
        if (lastPass >= 0) {
          EXPECT_EQ(sliced.data->pass, lastPass + 1) << "one pass counted per slice";
        }
        lastPass = sliced.data->pass;
      }
    }
    EXPECT_GT(calls, 3) << "start " << start;
    EXPECT_EQ(Points(sliced), Points(whole)) << "start " << start;
  }
  // No limit: one call, whatever the clock does.
  for (u32 interval : {0u, 0xFFFFFFFFu}) {
    shpf_test::SteppingClock clock(0, 1000);
    plat::PlatformServicesScope scoped({.clock = &clock});
    Request r(2, 10, 150, 390, 150, interval);
    w.pf.RunRequest(&r);
    EXPECT_EQ(r.prState, PFS_FOUND);
  }
}

TEST(PathSearch, AChangedGridRestartsARunningSearch) {
  World w;
  w.Serpentine();
  shpf_test::SteppingClock clock(0, 6);
  plat::PlatformServicesScope scoped({.clock = &clock});
  Request r(2, 10, 150, 390, 150, 10);
  w.pf.RunRequest(&r);
  ASSERT_EQ(r.prState, PFS_SEARCHING);
  // Block the walk near the finish; the next call starts again on the new world.
  w.Add(350, 100, 360, 300);
  while (r.prState == PFS_SEARCHING) w.pf.RunRequest(&r);
  ASSERT_EQ(r.prState, PFS_FOUND);
  EXPECT_EQ(r.gridVersion, w.wide->version);
  Request fresh(2, 10, 150, 390, 150);
  w.pf.RunRequest(&fresh);
  EXPECT_EQ(Points(r), Points(fresh));
  EXPECT_EQ(shpf_test::CheckPath(w.pf, w.wide, r, 10, 150, nullptr), "");
}

TEST(PathSearch, NothingRunsInsideABracketAndCancelledRequestsStartAfresh) {
  World w;
  w.Serpentine();
  Request r(2, 10, 150, 390, 150, 10);
  w.pf.BeginUpdate();
  w.pf.RunRequest(&r);
  EXPECT_EQ(r.prState, PFS_NEW);
  EXPECT_EQ(r.data, nullptr);
  w.pf.EndUpdate();

  shpf_test::SteppingClock clock(0, 6);
  plat::PlatformServicesScope scoped({.clock = &clock});
  w.pf.RunRequest(&r);
  ASSERT_EQ(r.prState, PFS_SEARCHING);
  ASSERT_NE(r.data, nullptr);
  w.pf.BeginUpdate();
  w.pf.RunRequest(&r);  // a running request waits as well
  EXPECT_EQ(r.prState, PFS_SEARCHING);
  w.pf.EndUpdate();
  w.pf.CancelRequest(&r);
  EXPECT_EQ(r.data, nullptr);
  EXPECT_EQ(r.prState, PFS_NEW);
  w.pf.CancelRequest(&r);
  // Even a request left searching without data starts again instead of using it.
  r.prState = PFS_SEARCHING;
  while (r.prState == PFS_SEARCHING || r.prState == PFS_NEW) w.pf.RunRequest(&r);
  EXPECT_EQ(r.prState, PFS_FOUND);
}

TEST(PathSearch, ASearchThatCannotSettleWithinItsBoundsFails) {
  World w;
  w.Serpentine();
  PathFinderTestAccess::SetLimits(w.pf, 4, 20000);
  Request r(2, 10, 150, 390, 150);
  w.pf.RunRequest(&r);
  EXPECT_EQ(r.prState, PFS_FAILED);
  EXPECT_EQ(r.data, nullptr);
  PathFinderTestAccess::SetLimits(w.pf, 512, 5);
  Request s(2, 10, 150, 390, 150);
  w.pf.RunRequest(&s);
  EXPECT_EQ(s.prState, PFS_FAILED);
  EXPECT_TRUE(w.sink.messages.empty()) << "running out of room is no broken invariant";
}

TEST(PathSearch, WalkSearchPicksItsStartAndLeavesADumpWhenItFails) {
  World w;
  w.Add(100, 100, 200, 200);
  w.Add(-50, 0, 30, 300);  // covers the left edge of the level
  _PATHREQUEST r{};
  // From inside the obstacle towards a target on the right: out along the way.
  FloatPoint s = w.pf.BeginWalkSearch(&r, 1, 150, 150, 300, 150);
  EXPECT_EQ(s.x, 200);
  EXPECT_EQ(s.y, 150);
  EXPECT_EQ(r.interval, 10u);
  EXPECT_EQ(r.prState, PFS_NEW);
  while (w.pf.StepWalkSearch(&r) == PFS_SEARCHING) {
  }
  EXPECT_EQ(r.prState, PFS_FOUND);
  // The same pixel as target: the nearest free point.
  s = w.pf.BeginWalkSearch(&r, 1, 150.2f, 110.7f, 150.9f, 110.1f);
  EXPECT_EQ(s.x, 150);
  EXPECT_EQ(s.y, 99);
  EXPECT_EQ(r.points, nullptr) << "an old path is freed";
  // Stuck where no way out stays inside the level: the walk fails, the dump is
  // written, and the game goes on.
  s = w.pf.BeginWalkSearch(&r, 1, 10, 150, -100, 150);
  EXPECT_EQ(s.x, 10);
  EXPECT_EQ(w.pf.StepWalkSearch(&r), PFS_FAILED);
  ASSERT_EQ(w.sink.messages.size(), 1u);
  EXPECT_EQ(w.sink.messages[0], "path->Rec.prState == shpf::PFS_FAILED");
  EXPECT_EQ(w.sink.captions[0], "Ошибка поиска пути!");
  EXPECT_EQ(w.folder.Read("$crash.shpf").size(), 16u + 2 * 24 + 2 * 12);
  EXPECT_NE(w.folder.Read("$crash.log").find("Start=10.000000, 150.000000"), std::string::npos);
  EXPECT_EQ(w.pf.StepWalkSearch(&r), PFS_FAILED);
  EXPECT_EQ(w.sink.messages.size(), 1u) << "a failure is reported once";
  delete[] r.points;
}

TEST(PathSearch, WalkSearchTakesHugeAndMissingCoordinates) {
  World w;
  w.Add(100, 100, 200, 200);
  const float inf = std::numeric_limits<float>::infinity();
  struct Case {
    float x, y, tx, ty;
    bool fails;  // else it may find a way from the start the walk chose
  };
  for (const Case& c : {Case{1e30f, 1e30f, 1e30f, 1e30f, true}, Case{-1e30f, 150, -1e30f, 150, true},
                        Case{inf, inf, inf, inf, true}, Case{NAN, NAN, NAN, NAN, true}, Case{150, 150, NAN, 1e30f, true},
                        Case{1e30f, 150, 150, 150, true}, Case{-inf, 150, 300, 150, false},
                        Case{150, NAN, 150, 150, false}}) {
    _PATHREQUEST r{};
    w.pf.BeginWalkSearch(&r, 1, c.x, c.y, c.tx, c.ty);
    u32 state = PFS_SEARCHING;
    for (int step = 0; step < 1000 && state == PFS_SEARCHING; ++step) state = w.pf.StepWalkSearch(&r);
    EXPECT_TRUE(state == PFS_FAILED || (!c.fails && state == PFS_FOUND)) << c.x << " " << c.y << " " << c.tx;
    delete[] r.points;
  }
  const FloatPoint far = w.pf.NearestFree(1, 1e30f, -1e30f);
  EXPECT_EQ(far.x, 1e30f) << "a point outside the level is left as it is";
  EXPECT_EQ(far.y, -1e30f);
  const FloatPoint out = w.pf.EscapeAlong(1, -1e30f, 1e30f, 45.0f);
  EXPECT_EQ(out.x, -32768.0f);
  EXPECT_EQ(out.y, 32767.0f);
}

// A walk whose search meets a broken invariant fails with one report, the
// invariant's: the walk's own report does not follow it.
TEST(PathSearch, ABrokenInvariantFailsTheWalkWithOneReport) {
  World w;
  w.Add(100, 100, 200, 200);
  _PATHREQUEST r{};
  r.gridId = 1;
  auto* data = new _PATHDATA{};
  data->grid = w.thin;
  data->gridVersion = w.thin->version;
  data->path.Add(new _PATHPOINT{50, 150, 1, 0, 0});
  data->path.Add(new _PATHPOINT{150, 150, 1, 100, 100});  // a corner inside the block: its way out has no way in
  data->path.Add(new _PATHPOINT{250, 150, 0, 100, 200});
  data->path.Add(new _PATHPOINT{350, 150, 0, 100, 300});
  data->pass = 1;
  data->sweepIndex = 3;
  data->sweepClean = 1;
  r.data = data;
  r.prState = PFS_SEARCHING;
  EXPECT_EQ(w.pf.StepWalkSearch(&r), PFS_FAILED);
  ASSERT_EQ(w.sink.messages.size(), 1u);
  EXPECT_EQ(w.sink.messages[0], "Ошибка поиска пути!\ndata->pdInPoints.count() != data->pdOutPoints.count()");
  // The next walk's failure is its own again.
  w.Add(-50, 0, 30, 300);
  w.pf.BeginWalkSearch(&r, 1, 10, 150, -100, 150);
  EXPECT_EQ(w.pf.StepWalkSearch(&r), PFS_FAILED);
  ASSERT_EQ(w.sink.messages.size(), 2u);
  EXPECT_EQ(w.sink.messages[1], "path->Rec.prState == shpf::PFS_FAILED");
  delete[] r.points;
}

// Each broken invariant of the detour, fed by hand, reaches the failure sink
// once with its own message and leaves the dump; nothing ends the process.
class DetourInvariant : public ::testing::Test {
 protected:
  DetourInvariant() {
    w.Add(100, 100, 200, 200);
    data.grid = w.thin;
    data.path.Add(new _PATHPOINT{50, 150, 1, 0, 0});
    data.path.Add(new _PATHPOINT{250, 150, 0, 200, 200});
    data.segIndex = 1;
    data.segStart = data.path[0];
    data.segEnd = data.path[1];
    v.x = 99;
    v.y = 200;
  }
  ~DetourInvariant() override {
    PathFinderTestAccess::ClearCollisions(w.pf, &data);
    data.path.DeleteAll();
  }
  _COLLISPOINT* Point(float x, float y) {
    auto* c = new _COLLISPOINT{};
    c->x = x;
    c->y = y;
    c->multiShape = w.thin->multiShapes[0];
    return c;
  }
  void Expect(const char* message) {
    EXPECT_FALSE(PathFinderTestAccess::Detour(w.pf, &data));
    ASSERT_EQ(w.sink.messages.size(), 1u);
    EXPECT_EQ(w.sink.messages[0], std::string("Ошибка поиска пути!\n") + message);
    EXPECT_TRUE(w.folder.Exists("$crash.shpf"));
    EXPECT_TRUE(w.folder.Exists("$crash.log"));
    EXPECT_TRUE(PathFinderTestAccess::Broken(w.pf));
  }

  World w;
  _PATHDATA data{};
  _MSPOINT v{};
};

TEST_F(DetourInvariant, InAndOutCountsDiffer) {
  data.pdInPoints.Add(Point(99, 150));
  Expect("data->pdInPoints.count() != data->pdOutPoints.count()");
}

TEST_F(DetourInvariant, AnOutPointNoWayReaches) {
  data.pdInPoints.Add(Point(99, 150));  // no vertices: no walk at all
  data.pdOutPoints.Add(Point(200, 150));
  Expect("!in_point");
}

TEST_F(DetourInvariant, ThePreviousOutPointWasNeverReached) {
  data.pdInPoints.Add(Point(99, 150));
  data.pdInPoints.Add(Point(210, 150));
  data.pdOutPoints.Add(Point(200, 150));
  data.pdOutPoints.Add(Point(220, 150));
  Expect("data->pdIOOuts[index-1].opFullDist < 0");
}

TEST_F(DetourInvariant, DirectionZeroPassesNoCorner) {
  _COLLISPOINT* in = Point(99, 150);
  in->vertex[0] = &v;  // an inner corner: no waypoint on the way
  in->dist[0] = 50;
  _COLLISPOINT* out = Point(99, 210);
  out->vertex[1] = &v;
  out->dist[1] = 10;
  data.pdInPoints.Add(in);
  data.pdOutPoints.Add(out);
  Expect("out_point->opPrevPointIndex < 0");
}

}  // namespace

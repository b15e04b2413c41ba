#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <string>
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

// The crossings one segment test leaves on the thin grid, pair by pair: each
// in and out point with its ring and its first vertex and the distance to it
// each way round, direction 0 first ("in 99,150 r1 <99,200 50 >99,99 51").
std::string Crossings(World& w, float sx, float sy, float fx, float fy) {
  _PATHDATA data{};
  data.grid = w.thin;
  data.path.Add(new _PATHPOINT{sx, sy, 1, 0, 0});
  data.path.Add(new _PATHPOINT{fx, fy, 0, 0, 0});
  PathFinderTestAccess::TestSegment(w.pf, &data, 1);
  std::string text;
  char part[64];
  auto put = [&](const char* kind, const _COLLISPOINT* c) {
    std::snprintf(part, sizeof part, "%s%s %g,%g r%d", text.empty() ? "" : " | ", kind, c->x, c->y, c->ring);
    text += part;
    for (int d = 0; d < 2; ++d) {
      if (!c->vertex[d]) continue;
      std::snprintf(part, sizeof part, " %c%d,%d %g", d == 0 ? '<' : '>', c->vertex[d]->x, c->vertex[d]->y, c->dist[d]);
      text += part;
    }
  };
  for (i32 i = 0; i < std::max(data.pdInPoints.GetCount(), data.pdOutPoints.GetCount()); ++i) {
    if (i < data.pdInPoints.GetCount()) put("in", data.pdInPoints[i]);
    if (i < data.pdOutPoints.GetCount()) put("out", data.pdOutPoints[i]);
  }
  PathFinderTestAccess::ClearCollisions(w.pf, &data);
  data.path.DeleteAll();
  return text;
}

// A search on the thin grid run one segment test a call (the clock stands
// still and a slice holds one unit of work): the corners its detours insert,
// in order, and the path found ("+99,200 +200,200 = 50,150 99,200 ...").
std::string Trail(World& w, float sx, float sy, float fx, float fy) {
  shpf_test::SteppingClock clock(1000, 0);
  plat::PlatformServicesScope scoped({.clock = &clock});
  w.pf.SetSliceWork(1);
  Request r(1, sx, sy, fx, fy, 10);
  std::string text;
  char part[32];
  Floats before{std::trunc(sx), std::trunc(sy), std::trunc(fx), std::trunc(fy)};
  for (i32 calls = 0; calls < 100 && (r.prState == PFS_NEW || r.prState == PFS_SEARCHING); ++calls) {
    w.pf.RunRequest(&r);
    if (r.prState != PFS_SEARCHING) break;
    Floats now;
    for (i32 i = 0; i < r.data->path.GetCount(); ++i) now.insert(now.end(), {r.data->path[i]->x, r.data->path[i]->y});
    for (size_t i = 0; now.size() > before.size() && i < now.size(); i += 2) {
      if (i < before.size() && now[i] == before[i] && now[i + 1] == before[i + 1]) continue;
      std::snprintf(part, sizeof part, "+%g,%g ", now[i], now[i + 1]);
      text += part;
      break;
    }
    before = now;
  }
  if (r.prState != PFS_FOUND) return text + "not found";
  EXPECT_EQ(r.gridVersion, w.thin->version);
  EXPECT_EQ(r.data, nullptr);
  text += "=";
  for (u32 i = 0; i < r.pointCount; ++i) {
    std::snprintf(part, sizeof part, " %g,%g", r.points[2 * i], r.points[2 * i + 1]);
    text += part;
  }
  return text;
}

// Small worlds on the thin grid worked out by hand. Footprint 0: a grid shape
// is its rectangle, and a corner vertex the free pixel diagonally outside a
// corner of the group. Direction 1 goes round a group with the group on the
// walker's right (clockwise on screen), direction 0 the other way. A crossing
// moving right meets the group's left side (side 4), moving left its right
// side (2), moving down its top (1), moving up its bottom (3); its first
// vertex each way is the nearest qualifying vertex on its row or column. A
// walk adds the ring's edges from an in point to an out point's first vertex
// in the other direction; the cheapest way to the last out point is followed
// back, and of the corners on it the one with the largest sum of distances to
// the segment's ends is inserted. The rules place every crossing of these
// worlds but the last one's.
TEST(PathSearch, HandWorkedWorldsAreCrossedAndWalkedRoundAsTheRulesSay) {
  struct Case {
    std::vector<std::array<i32, 4>> rects;
    float sx, sy, fx, fy;
    const char* crossings;  // null: not checked
    const char* trail;
    u32 fallbacks = 0;  // crossings placed on the nearest ring edge, over both runs
  };
  const std::array<i32, 4> block{100, 100, 200, 200};
  const Case cases[] = {
      // One block. The in point (99,150) scans down for a bottom-left corner,
      // (99,200) at 50, and up for a top-left one, (99,99) at 51; the out
      // point (200,150) likewise. Over the top: 49 + 51 + 101 + 51 = 252;
      // below: 49 + 50 + 101 + 50 = 250, which holds. Of its corners
      // (99,200) bends most (229.07 against 228.82). The leg (99,200) to
      // (250,150) enters at (100,200) on the bottom (side 3) and leaves at
      // (200,167); round the bottom-right corner, 134, beats 272.
      {{block}, 50, 150, 250, 150,
       "in 99,150 r1 <99,200 50 >99,99 51 | out 200,150 r1 <200,99 51 >200,200 50",
       "+99,200 +200,200 = 50,150 99,200 200,200 250,150"},
      // From x 49 both corners below bend equally, hypot(50, 50) +
      // hypot(151, 50): the first found, (99,200), stays.
      {{block}, 49, 150, 250, 150, nullptr, "+99,200 +200,200 = 49,150 99,200 200,200 250,150"},
      // Down through the block: the in point meets its top (side 1) and scans
      // left for a top-left corner, right for a top-right one; the out point
      // meets its bottom (side 3). Right, 49 + 50 + 101 + 50 = 250, beats
      // left, 252; (200,99) bends most. The leg (200,99) to (150,250) enters
      // at (200,100) on the right side and leaves at (167,200): (200,200).
      {{block}, 150, 50, 150, 250,
       "in 150,99 r1 <99,99 51 >200,99 50 | out 150,200 r1 <200,200 50 >99,200 51",
       "+200,99 +200,200 = 150,50 200,99 200,200 150,250"},
      // Diagonally through two corners. The in point (99,99), moving right
      // and down (flags 3, corner code 1), stands on the top-left corner: its
      // first vertices are that corner's neighbours at 101. The out point
      // (200,200) stands on the bottom-right corner (flags 12, code 3). Both
      // ways cost 69.30 + 202; direction 0, walked second, takes the out
      // point (at most the cost it has), so (99,200) is inserted, not
      // (200,99), which bends as much.
      {{block}, 50, 50, 250, 250,
       "in 99,99 r1 <99,200 101 >200,99 101 | out 200,200 r1 <200,99 101 >99,200 101",
       "+99,200 = 50,50 99,200 250,250"},
      // An L: a bar and a leg down from its right half. Moving right and up
      // (code 4) the in point (149,150) stands on the inner corner, a vertex
      // of corner 0, which serves any code: its first vertices are its
      // neighbours (149,250) at 100 and (99,150) at 50. The out point
      // (200,99) stands on the top-right corner (flags 6, code 2). Direction
      // 1, 70.71 + 101 + 101, beats direction 0, 70.71 + 151 + 151; of
      // (99,150) and (99,99) the latter bends most (272.82 against 245.56).
      {{{100, 100, 200, 150}, {150, 150, 200, 250}}, 99, 200, 260, 39,
       "in 149,150 r1 <149,250 100 >99,150 50 | out 200,99 r1 <99,99 101 >200,250 151",
       "+99,99 = 99,200 99,99 260,39"},
      // Down and right through the bar, the inner corner and the leg: the
      // segment leaves the bar at (149,150) and enters the leg there, both
      // points on the inner corner, as far from the start and with the same
      // first vertices: they cancel, and the pair is (99,100) to (200,201).
      // Over the top, 55.15 + 102 + 102, beats the bottom, 55.15 + 250 + 49;
      // (200,99) bends most.
      {{{100, 100, 200, 150}, {150, 150, 200, 250}}, 60, 61, 260, 261,
       "in 99,100 r1 <99,150 50 >99,99 1 | out 200,201 r1 <200,99 102 >200,250 49",
       "+200,99 = 60,61 200,99 260,261"},
      // A notch 20 deep in a block's left side: scanning down from (99,120)
      // one cell holds two bottom-left corners, (99,140) and (99,180); the
      // nearer is taken. Over the top, 192, beats round the notch, 370, whose
      // inner corners are no waypoints. (99,99) bends most (205.76 against
      // 205.69); the leg to the finish enters the top at (102,99) and leaves
      // at (200,113): (200,99), 115, beats the way back round, 355.
      {{{100, 100, 200, 140}, {100, 160, 200, 180}, {150, 140, 200, 160}}, 50, 120, 250, 120,
       "in 99,120 r1 <99,140 20 >99,99 21 | out 200,120 r1 <200,99 21 >200,180 60",
       "+99,99 +200,99 = 50,120 99,99 200,99 250,120"},
      // A block with a tooth below it: the first vertices below lie nearer
      // (50 against 51), but the way below passes six edges, 49 + 271 + 50,
      // against three over the top, 49 + 152 + 51; (99,99), then (200,99).
      {{block, {120, 200, 180, 260}}, 50, 150, 250, 150, nullptr, "+99,99 +200,99 = 50,150 99,99 200,99 250,150"},
      // Steeply down through a tall block: the in point's own ways to its
      // first vertices decide. Over the top, 10 + 101 + 181 = 292, beats
      // below, 191 + 101 + 20 = 312 (without the 10 and 191 below would
      // win); (200,49) bends most (338.11 against 276.54), both legs free.
      {{{100, 50, 200, 250}}, 80, 26, 220, 264,
       "in 99,59 r1 <99,250 191 >99,49 10 | out 200,230 r1 <200,49 181 >200,250 20",
       "+200,49 = 80,26 200,49 220,264"},
      // Gently up through it: the out point's ways decide. Over the top,
      // 118 + 101 + 62 = 281, beats below, 83 + 101 + 139 = 323 (without the
      // 62 and 139 below would win); (99,49) bends most (308.06 against
      // 269.66). The leg from it enters the top at (101,49), moving right
      // and down, and leaves the right side at (200,72): (200,49) at 99 +
      // 23 beats 2 + 201 + 101 + 178 the other way.
      {{{100, 50, 200, 250}}, 50, 194, 250, 84,
       "in 99,167 r1 <99,250 83 >99,49 118 | out 200,111 r1 <200,49 62 >200,250 139",
       "+99,49 +200,49 = 50,194 99,49 200,49 250,84"},
      // Down through a bar one pixel high: the probe one pixel on, and only
      // one, finds its top. Right, 50 + 2 + 50, beats left, 51 + 2 + 51; its
      // two corners bend equally and the first, (200,149), stays. The leg
      // from it, moving left and down, starts on that corner (code 2): the
      // corner's neighbours are its first vertices, and the out point
      // (198,151) is reached at 2 + 2 past (200,151).
      {{{100, 150, 200, 151}}, 150, 100, 150, 200,
       "in 150,149 r1 <99,149 51 >200,149 50 | out 150,151 r1 <200,151 50 >99,151 51",
       "+200,149 +200,151 = 150,100 200,149 200,151 150,200"},
      // A U open upwards, crossed through both arms: two pairs on one ring.
      // The first out point is reached over the left arm for 49 + 172 + 131
      // = 352; the second in point starts from there, 352 + 119, and over
      // the right arm costs 774, but the first in point reaches the last out
      // point below the U for 49 + 301 + 100 = 450. Followed back from the
      // last out point, that way skips the first pair: (99,250) bends most
      // (381.55), though (99,19) over the left arm would bend more (422.99).
      // The leg (99,250) to (350,150) enters the left arm, leaves into the U
      // at (201,209), enters the right arm at (259,186) and leaves it at
      // (300,170): along the bottom, 1 + 200 + 80, beats all: (300,250).
      {{{100, 20, 140, 250}, {260, 20, 300, 250}, {140, 210, 260, 250}}, 50, 150, 350, 150,
       "in 99,150 r1 <99,250 100 >99,19 131 | out 140,150 r1 <140,19 131 >140,209 59 | "
       "in 259,150 r1 <259,209 59 >259,19 131 | out 300,150 r1 <300,19 131 >300,250 100",
       "+99,250 +300,250 = 50,150 99,250 300,250 350,150"},
      // Two blocks in turn: the small one is passed below (140 against 142),
      // the tall one's in point starts at 140 + 99 and passes it below too
      // (490 against 492). The largest bend over both pairs is the tall
      // block's (300,250), 381.06, against the small one's best, 304.72;
      // the leg to it runs under the small block and goes round (249,250).
      {{{100, 130, 150, 170}, {250, 50, 300, 250}}, 50, 150, 350, 150,
       "in 99,150 r1 <99,170 20 >99,129 21 | out 150,150 r1 <150,129 21 >150,170 20 | "
       "in 249,150 r1 <249,250 100 >249,49 101 | out 300,150 r1 <300,49 101 >300,250 100",
       "+300,250 +249,250 = 50,150 249,250 300,250 350,150"},
      // A frame round a hole: the segment enters the outer ring, leaves into
      // the hole (ring 2), enters from it and leaves the outer ring. The out
      // point on the hole's ring is dropped with the in point after it, so
      // one pair goes round the frame: below, 400 against 402, (99,250);
      // then (300,250).
      {{{100, 100, 300, 130}, {100, 220, 300, 250}, {100, 130, 130, 220}, {270, 130, 300, 220}}, 50, 175, 350, 175,
       "in 99,175 r1 <99,250 75 >99,99 76 | out 300,175 r1 <300,99 76 >300,250 75",
       "+99,250 +300,250 = 50,175 99,250 300,250 350,175"},
      // From inside a frame's hole out through its right bar, across a
      // pocket and through a hook hung from the frame's top: the in point
      // (269,175) lies on the hole's ring (2), both out points on the outer
      // ring; each of them is dropped with the in point after it. The one
      // in point left means the finish lies beyond reach: it moves to the
      // nearest point of the hole's ring, which is the in point itself (111
      // away; no edge of the ring comes strictly nearer).
      {{{100, 100, 360, 130}, {100, 220, 300, 250}, {100, 130, 130, 220}, {270, 130, 300, 220}, {320, 130, 360, 210}},
       200, 175, 380, 175, "in 269,175 r2 <269,219 44 >269,130 45", "= 200,175 269,175"},
      // The one kind of crossing the rules leave: a slot two pixels high in
      // a block's left side is too narrow to outline, and the ring passes its
      // mouth. The in point (149,140) at its end finds no vertex on its column;
      // of the ring's edges only the left one is in sight, 50 away at
      // (99,140), so the point goes there: 50 + 60 to (99,200), 50 + 41 to
      // (99,99). Over the top, 99 + 91 + 101 + 41, beats below, 99 + 110 +
      // 101 + 60; (99,99), then (200,99). One such point per segment test.
      {{{100, 100, 200, 140}, {100, 142, 200, 200}, {150, 140, 200, 142}}, 50, 140, 250, 140,
       "in 149,140 r1 <99,200 110 >99,99 91 | out 200,140 r1 <200,99 41 >200,200 60",
       "+99,99 +200,99 = 50,140 99,99 200,99 250,140", 2},
  };
  for (const Case& c : cases) {
    World w;
    w.pf.BeginUpdate();
    for (const auto& r : c.rects) w.Add(r[0], r[1], r[2], r[3]);
    w.pf.EndUpdate();
    const std::string what = "from " + std::to_string(c.sx) + "," + std::to_string(c.sy);
    if (c.crossings) {
      EXPECT_EQ(Crossings(w, c.sx, c.sy, c.fx, c.fy), c.crossings) << what;
    }
    EXPECT_EQ(Trail(w, c.sx, c.sy, c.fx, c.fy), c.trail) << what;
    EXPECT_EQ(w.pf.GetFallbacks(), c.fallbacks) << what;
  }
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
  // Beyond a corridor two pixels high, closed at its end, the finish lies in
  // a group with no ring inside the bounds (the corridor is too narrow to
  // outline): the in point stays on none, and the path ends there.
  World narrow;
  narrow.pf.BeginUpdate();
  narrow.Add(0, 0, 400, 150);
  narrow.Add(0, 152, 400, 300);
  narrow.Add(200, 150, 400, 152);
  narrow.pf.EndUpdate();
  EXPECT_EQ(Crossings(narrow, 10, 150, 300, 150), "in 199,150 r0");
  Request beyond(1, 10, 150, 300, 150);
  narrow.pf.RunRequest(&beyond);
  ASSERT_EQ(beyond.prState, PFS_FOUND);
  EXPECT_EQ(Points(beyond), (Floats{10, 150, 199, 150}));
  EXPECT_EQ(narrow.pf.GetFallbacks(), 0u);
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

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "pathfinding/PathFinder.h"
#include "testsupport/GridValidator.h"

namespace {

using namespace shpf;
using shpf_test::ValidateFinder;

_SHAPE* Add(PathFinder& pf, i32 l, i32 t, i32 r, i32 b, u32 mask = 0) {
  return pf.AddShape(PackPair(l, t), PackPair(r, b), mask);
}

_SHAPEGRID* Grid(PathFinder& pf, u32 id, i32 fl = 0, i32 ft = 0, i32 fr = 0, i32 fb = 0, u32 mask = 1) {
  return pf.CreateGrid(id, PackPair(fl, ft), PackPair(fr, fb), mask);
}

// One ring as "x,y,c" items (c: corner number, or b<n> for a bound vertex),
// in walking direction 1; a closed ring starts at its top-most, left-most vertex.
std::string RingText(const PointList* ring) {
  const i32 n = ring->GetCount();
  const bool closed = (*ring)[n - 1]->link[1].point == (*ring)[0];
  i32 start = 0;
  if (closed)
    for (i32 i = 1; i < n; ++i) {
      const _MSPOINT* a = (*ring)[i];
      const _MSPOINT* s = (*ring)[start];
      if (a->y < s->y || (a->y == s->y && a->x < s->x)) start = i;
    }
  std::string out = closed ? "" : "open:";
  for (i32 k = 0; k < n; ++k) {
    const _MSPOINT* p = (*ring)[(start + k) % n];
    if (k) out += " ";
    out += std::to_string(p->x) + "," + std::to_string(p->y) + ",";
    if (p->boundCorner) out += 'b';
    out += std::to_string(p->boundCorner ? p->boundCorner : p->corner);
  }
  return out;
}

std::vector<std::string> Rings(const _SHAPEGRID* grid) {
  std::vector<std::string> out;
  for (i32 i = 0; i < grid->multiShapes.GetCount(); ++i) {
    const _MULTISHAPE* ms = grid->multiShapes[i];
    for (i32 r = 0; r < ms->outlines.GetCount(); ++r) out.push_back(RingText(ms->outlines[r]));
  }
  std::sort(out.begin(), out.end());
  return out;
}

using Strings = std::vector<std::string>;

TEST(ShapeGrid, CellCountsRoundUpAndBadSizesGiveAnUnusableFinder) {
  PathFinder a(1000, 700, 64, 64);
  EXPECT_EQ(a.GetColumns(), 16);
  EXPECT_EQ(a.GetRows(), 11);
  PathFinder b(1024, 640, 64, 64);
  EXPECT_EQ(b.GetColumns(), 16);
  EXPECT_EQ(b.GetRows(), 10);
  for (auto [w, h, cw, ch] : {std::array<u16, 4>{1000, 700, 0, 64}, {1000, 700, 64, 0}, {40000, 700, 64, 64},
                              {1000, 32768, 64, 64}, {0, 700, 64, 64}, {32767, 32767, 1, 1}}) {
    PathFinder pf(w, h, cw, ch);
    EXPECT_FALSE(pf.IsValid());
    EXPECT_EQ(Grid(pf, 1), nullptr);
    EXPECT_EQ(Add(pf, 0, 0, 10, 10), nullptr);
    EXPECT_EQ(pf.GridShapeAt(nullptr, 5, 5), nullptr);
  }
  PathFinder edge(32767, 32767, 64, 64);
  EXPECT_TRUE(edge.IsValid());
}

TEST(ShapeGrid, GridCreationRules) {
  PathFinder pf(1000, 700, 64, 64);
  _SHAPEGRID* g = Grid(pf, 7, -5, 3, 4, -1, 0x10);
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->footLeft, 0);
  EXPECT_EQ(g->footTop, 3);
  EXPECT_EQ(g->footRight, 4);
  EXPECT_EQ(g->footBottom, 0);
  EXPECT_EQ(g->boundLeft, 0);
  EXPECT_EQ(g->boundTop, 3);
  EXPECT_EQ(g->boundRight, 996);
  EXPECT_EQ(g->boundBottom, 700);
  EXPECT_EQ(g->stamp, 0xFFFFFFFFu);
  EXPECT_EQ(g->version, 0u);
  EXPECT_EQ(Grid(pf, 7), nullptr) << "duplicate id";
  EXPECT_EQ(Grid(pf, 8, 500, 0, 500, 0), nullptr) << "empty bounds";
  EXPECT_EQ(pf.GetGrids().GetCount(), 1);
  EXPECT_EQ(pf.GetGrid(7), g);
  EXPECT_EQ(pf.GetGrid(8), nullptr);
  EXPECT_EQ(pf.FindGrid(0, 3, 4, 0, 0x10), g);
  EXPECT_EQ(pf.FindGrid(0, 3, 4, 0, 0x11), nullptr);
  EXPECT_EQ(pf.FindGrid(0, 3, 4, 1, 0x10), nullptr);
}

TEST(ShapeGrid, NewGridTakesExistingShapesMergedAndOutlined) {
  PathFinder pf(400, 300, 64, 64);
  Add(pf, 100, 100, 150, 150);
  Add(pf, 150, 100, 200, 120);
  _SHAPEGRID* g = Grid(pf, 1);
  EXPECT_EQ(g->multiShapes.GetCount(), 1);
  EXPECT_EQ(g->pending.GetCount(), 0);
  EXPECT_EQ(g->version, 1u);
  EXPECT_EQ(ValidateFinder(pf), "");
}

TEST(ShapeGrid, TouchingAtAnEdgeOrCornerMergesAOnePixelGapDoesNot) {
  PathFinder pf(400, 300, 64, 64);
  _SHAPEGRID* g = Grid(pf, 1);
  Add(pf, 10, 10, 20, 20);
  Add(pf, 20, 10, 30, 20);  // shares an edge
  EXPECT_EQ(g->multiShapes.GetCount(), 1);
  Add(pf, 30, 20, 40, 30);  // touches a corner only
  EXPECT_EQ(g->multiShapes.GetCount(), 1);
  Add(pf, 41, 10, 50, 20);  // one free column at x = 40
  EXPECT_EQ(g->multiShapes.GetCount(), 2);
  Add(pf, 10, 31, 20, 40);  // one free row at y = 30
  EXPECT_EQ(g->multiShapes.GetCount(), 3);
  EXPECT_EQ(ValidateFinder(pf), "");
}

TEST(ShapeGrid, FootprintInflatesBeforeMerging) {
  PathFinder pf(400, 300, 64, 64);
  _SHAPEGRID* thin = Grid(pf, 1, 0, 0, 0, 0, 1);
  _SHAPEGRID* wide = Grid(pf, 2, 3, 0, 3, 0, 2);
  Add(pf, 100, 100, 110, 110);
  Add(pf, 115, 100, 125, 110);  // 5 free columns: 3 + 3 closes them
  EXPECT_EQ(thin->multiShapes.GetCount(), 2);
  EXPECT_EQ(wide->multiShapes.GetCount(), 1);
  EXPECT_NE(pf.GridShapeAt(wide, 112, 105), nullptr);
  EXPECT_EQ(pf.GridShapeAt(thin, 112, 105), nullptr);
  EXPECT_EQ(ValidateFinder(pf), "");
}

TEST(ShapeGrid, MaskSelectsGridsAndZeroMeansEvery) {
  PathFinder pf(400, 300, 64, 64);
  _SHAPEGRID* a = Grid(pf, 1, 0, 0, 0, 0, 0x1);
  _SHAPEGRID* b = Grid(pf, 2, 0, 0, 0, 0, 0x6);
  Add(pf, 10, 10, 20, 20, 0x1);
  Add(pf, 50, 10, 60, 20, 0x4);
  Add(pf, 90, 10, 99, 20, 0);
  EXPECT_NE(pf.GridShapeAt(a, 15, 15), nullptr);
  EXPECT_EQ(pf.GridShapeAt(b, 15, 15), nullptr);
  EXPECT_EQ(pf.GridShapeAt(a, 55, 15), nullptr);
  EXPECT_NE(pf.GridShapeAt(b, 55, 15), nullptr);
  EXPECT_NE(pf.GridShapeAt(a, 95, 15), nullptr);
  EXPECT_NE(pf.GridShapeAt(b, 95, 15), nullptr);
  EXPECT_EQ(ValidateFinder(pf), "");
}

TEST(ShapeGrid, GridShapeAtIsHalfOpenAndNullOutsideTheBounds) {
  PathFinder pf(400, 300, 64, 64);
  _SHAPEGRID* g = Grid(pf, 1, 2, 2, 2, 2);
  _SHAPE* s = Add(pf, 100, 100, 164, 130);  // reaches into the next cell
  EXPECT_EQ(pf.GridShapeAt(g, 97, 105), nullptr);
  EXPECT_NE(pf.GridShapeAt(g, 98, 105), nullptr);
  EXPECT_NE(pf.GridShapeAt(g, 165, 131), nullptr);
  EXPECT_EQ(pf.GridShapeAt(g, 166, 105), nullptr);
  EXPECT_EQ(pf.GridShapeAt(g, 105, 132), nullptr);
  EXPECT_EQ(pf.GridShapeAt(g, 105, 98)->source, s);
  Add(pf, -50, -50, 10, 10);
  EXPECT_EQ(pf.GridShapeAt(g, 1, 5), nullptr) << "left of the bounds";
  EXPECT_NE(pf.GridShapeAt(g, 2, 5), nullptr);
  EXPECT_EQ(pf.GridShapeAt(g, 398, 5), nullptr);
}

TEST(ShapeGrid, AddingInsideABracketRaisesVersionsOnceAtTheClose) {
  PathFinder pf(400, 300, 64, 64);
  _SHAPEGRID* a = Grid(pf, 1, 0, 0, 0, 0, 1);
  _SHAPEGRID* b = Grid(pf, 2, 0, 0, 0, 0, 2);
  pf.BeginUpdate();
  pf.BeginUpdate();
  Add(pf, 10, 10, 20, 20, 1);
  Add(pf, 30, 10, 40, 20, 1);
  Add(pf, 50, 10, 60, 20, 1);
  EXPECT_EQ(a->pending.GetCount(), 3);
  EXPECT_EQ(a->multiShapes.GetCount(), 0);
  pf.EndUpdate();
  EXPECT_EQ(a->multiShapes.GetCount(), 0) << "inner close merges nothing";
  pf.EndUpdate();
  EXPECT_EQ(a->version, 1u);
  EXPECT_EQ(b->version, 0u) << "nothing of grid 2 changed";
  EXPECT_EQ(a->multiShapes.GetCount(), 3);
  // Outside a bracket every grid's version rises with each shape.
  Add(pf, 100, 100, 110, 110, 1);
  EXPECT_EQ(a->version, 2u);
  EXPECT_EQ(b->version, 1u);
  // A close with no bracket open still merges, and the nesting stays at 0.
  pf.EndUpdate();
  EXPECT_EQ(pf.GetUpdateNesting(), 0u);
  EXPECT_EQ(a->version, 2u);
  EXPECT_EQ(ValidateFinder(pf), "");
}

TEST(ShapeGrid, RemovingAMemberRemergesTheRest) {
  PathFinder pf(400, 300, 64, 64);
  _SHAPEGRID* g = Grid(pf, 1);
  Add(pf, 10, 10, 20, 20);
  _SHAPE* mid = Add(pf, 20, 10, 30, 20);
  Add(pf, 30, 10, 40, 20);
  ASSERT_EQ(g->multiShapes.GetCount(), 1);
  const u32 v = g->version;
  pf.RemoveShape(mid);
  EXPECT_EQ(g->multiShapes.GetCount(), 2) << "the ends no longer touch";
  EXPECT_EQ(g->version, v + 2) << "once for the removal, once for the re-merge";
  EXPECT_EQ(ValidateFinder(pf), "");

  _SHAPE* a = Add(pf, 100, 100, 120, 120);
  Add(pf, 120, 100, 140, 120);
  Add(pf, 100, 120, 140, 130);
  const i32 groups = g->multiShapes.GetCount();
  pf.RemoveShape(a);
  EXPECT_EQ(g->multiShapes.GetCount(), groups) << "the other two still touch";
  pf.RemoveShape(nullptr);
  EXPECT_EQ(ValidateFinder(pf), "");
}

TEST(ShapeGrid, RemovalInsideABracketStillChangesTheVersion) {
  PathFinder pf(400, 300, 64, 64);
  _SHAPEGRID* g = Grid(pf, 1);
  _SHAPE* lone = Add(pf, 10, 10, 20, 20);
  const u32 v = g->version;
  pf.BeginUpdate();
  pf.RemoveShape(lone);
  EXPECT_EQ(g->version, v);
  pf.EndUpdate();
  EXPECT_EQ(g->version, v + 1);
  EXPECT_EQ(g->multiShapes.GetCount(), 0);

  Add(pf, 10, 10, 20, 20);
  Add(pf, 50, 10, 60, 20);
  const u32 w = g->version;
  pf.RemoveAllShapes();
  EXPECT_EQ(g->version, w + 1);
  EXPECT_EQ(pf.GetShapes().GetCount(), 0);
  EXPECT_EQ(ValidateFinder(pf), "");
}

TEST(ShapeGrid, GridBoundsRules) {
  PathFinder pf(400, 300, 64, 64);
  _SHAPEGRID* g = Grid(pf, 1, 5, 5, 5, 5);
  Add(pf, 100, 100, 150, 150);
  const u32 v = g->version;
  pf.SetGridBounds(g, PackPair(5, 5), PackPair(395, 295));  // equal
  pf.SetGridBounds(g, PackPair(4, 5), PackPair(300, 200));  // left of the footprint margin
  pf.SetGridBounds(g, PackPair(10, 10), PackPair(396, 200));  // right beyond width - footprint
  pf.SetGridBounds(g, PackPair(10, 10), PackPair(11, 200));  // one wide
  pf.SetGridBounds(nullptr, PackPair(10, 10), PackPair(200, 200));
  EXPECT_EQ(g->version, v);
  pf.SetGridBounds(g, PackPair(120, 10), PackPair(395, 295));
  EXPECT_EQ(g->boundLeft, 120);
  EXPECT_EQ(g->version, v + 2) << "the bounds, then the re-merge";
  EXPECT_EQ(pf.GridShapeAt(g, 110, 120), nullptr);
  EXPECT_EQ(Rings(g), (Strings{"open:120,94,b1 155,94,2 155,155,3 120,155,b4"}));
  EXPECT_EQ(ValidateFinder(pf), "");
}

TEST(ShapeGrid, SingleRectangleRing) {
  PathFinder pf(400, 300, 64, 64);
  _SHAPEGRID* g = Grid(pf, 1);
  Add(pf, 100, 100, 200, 200);
  EXPECT_EQ(Rings(g), (Strings{"99,99,1 200,99,2 200,200,3 99,200,4"}));
  const _MSPOINT* tl = g->multiShapes[0]->outlines[0]->Get(3);
  ASSERT_EQ(tl->corner, 1);
  EXPECT_EQ(tl->sideMask, 3);
  EXPECT_EQ(tl->link[1].point->x, 200) << "direction 1 runs along the top to the right";
  EXPECT_EQ(tl->link[1].length, 101);
  EXPECT_EQ(tl->link[0].point->y, 200) << "direction 0 runs down the left side";
  EXPECT_EQ(tl->link[0].length, 101);
  Add(pf, 100, 100, 200, 200);
  EXPECT_EQ(Rings(g), (Strings{"99,99,1 200,99,2 200,200,3 99,200,4"})) << "an identical shape adds no vertex";
}

TEST(ShapeGrid, UnionsGetInnerCornerVerticesAndClosedRings) {
  PathFinder pf(200, 200, 32, 32);
  _SHAPEGRID* g = Grid(pf, 1);
  // L: a post and a foot.
  pf.BeginUpdate();
  Add(pf, 20, 20, 30, 50);
  Add(pf, 20, 40, 50, 50);
  pf.EndUpdate();
  EXPECT_EQ(Rings(g), (Strings{"19,19,1 30,19,2 30,39,0 50,39,2 50,50,3 19,50,4"}));
  pf.RemoveAllShapes();
  // T: a bar and a stem.
  Add(pf, 20, 20, 80, 30);
  Add(pf, 45, 30, 55, 70);
  EXPECT_EQ(Rings(g), (Strings{"19,19,1 80,19,2 80,30,3 55,30,0 55,70,3 44,70,4 44,30,0 19,30,4"}));
  pf.RemoveAllShapes();
  // U: two posts on a floor.
  Add(pf, 20, 20, 30, 80);
  Add(pf, 70, 20, 80, 80);
  Add(pf, 20, 70, 80, 80);
  EXPECT_EQ(Rings(g), (Strings{"19,19,1 30,19,2 30,69,0 69,69,0 69,19,1 80,19,2 80,80,3 19,80,4"}));
  EXPECT_EQ(ValidateFinder(pf), "");
}

TEST(ShapeGrid, AFrameHasAnOuterRingAndAHoleRing) {
  PathFinder pf(200, 200, 32, 32);
  _SHAPEGRID* g = Grid(pf, 1);
  Add(pf, 20, 20, 80, 30);
  Add(pf, 20, 70, 80, 80);
  Add(pf, 20, 30, 30, 70);
  Add(pf, 70, 30, 80, 70);
  ASSERT_EQ(g->multiShapes.GetCount(), 1);
  EXPECT_EQ(Rings(g), (Strings{"19,19,1 80,19,2 80,80,3 19,80,4", "30,30,0 30,69,0 69,69,0 69,30,0"}));
  // A block in the hole's corner gives the hole ring a waypoint.
  Add(pf, 30, 30, 40, 40);
  EXPECT_EQ(Rings(g), (Strings{"19,19,1 80,19,2 80,80,3 19,80,4", "40,30,0 40,40,3 30,40,0 30,69,0 69,69,0 69,30,0"}));
  EXPECT_EQ(ValidateFinder(pf), "");
}

TEST(ShapeGrid, RingsAreCutOpenByTheMapEdge) {
  PathFinder pf(100, 100, 32, 32);
  _SHAPEGRID* g = Grid(pf, 1);
  _SHAPE* left = Add(pf, -10, 40, 30, 60);
  EXPECT_EQ(Rings(g), (Strings{"open:0,39,b1 30,39,2 30,60,3 0,60,b4"}));
  pf.RemoveShape(left);
  Add(pf, -10, -10, 30, 30);
  EXPECT_EQ(Rings(g), (Strings{"open:30,0,b2 30,30,3 0,30,b4"}));
  pf.RemoveAllShapes();
  // A wall from edge to edge leaves one open ring on each side.
  Add(pf, 40, -5, 60, 105);
  EXPECT_EQ(Rings(g), (Strings{"open:39,99,b4 39,0,b1", "open:60,0,b2 60,99,b3"}));
  pf.RemoveAllShapes();
  // Wholly outside: a group without rings.
  Add(pf, -50, 10, -5, 20);
  EXPECT_EQ(g->multiShapes.GetCount(), 1);
  EXPECT_EQ(Rings(g), Strings{});
  EXPECT_EQ(ValidateFinder(pf), "");
}

TEST(ShapeGrid, CoordinatesNearTheLimitDoNotWrap) {
  PathFinder pf(32767, 32767, 512, 512);
  _SHAPEGRID* g = Grid(pf, 1, 40, 40, 40, 40);
  _SHAPE* s = Add(pf, 32700, 32700, 32767, 32767);
  const _GRIDSHAPE* gs = pf.GridShapeAt(g, 32700, 32700);
  ASSERT_NE(gs, nullptr);
  EXPECT_EQ(gs->right, 32807);
  EXPECT_EQ(gs->bottom, 32807);
  EXPECT_EQ(gs->cellRight, pf.GetColumns());
  EXPECT_EQ(Rings(g), (Strings{"open:32659,32726,b4 32659,32659,1 32726,32659,b2"}));
  pf.RemoveShape(s);
  Add(pf, -32768, -32768, -32700, -32700);
  EXPECT_EQ(g->multiShapes.GetCount(), 1);
  EXPECT_EQ(ValidateFinder(pf), "");
}

TEST(ShapeGrid, EmptyShapesBlockNothing) {
  PathFinder pf(400, 300, 64, 64);
  _SHAPEGRID* thin = Grid(pf, 1);
  _SHAPEGRID* wide = Grid(pf, 2, 2, 2, 2, 2);
  Add(pf, 50, 50, 50, 80);  // zero width
  EXPECT_EQ(thin->multiShapes.GetCount(), 0);
  EXPECT_EQ(wide->multiShapes.GetCount(), 1) << "the footprint gives it room";
  Add(pf, 80, 20, 60, 10);  // swapped corners are normalised
  EXPECT_EQ(pf.GetShapes().Last()->left, 60);
  EXPECT_EQ(pf.GetShapes().Last()->bottom, 20);
  EXPECT_EQ(ValidateFinder(pf), "");
}

TEST(ShapeGrid, StampWrapResetsEveryGridShape) {
  PathFinder pf(400, 300, 64, 64);
  _SHAPEGRID* g = Grid(pf, 1);
  Add(pf, 10, 10, 20, 20);
  Add(pf, 40, 10, 50, 20);
  g->stamp = 0xFFFFFFFDu;
  Add(pf, 20, 10, 30, 20);  // stamp 0xFFFFFFFE
  EXPECT_EQ(g->stamp, 0xFFFFFFFEu);
  Add(pf, 30, 10, 40, 20);  // wraps: every stamp reset, merge still right
  EXPECT_EQ(g->stamp, 0u);
  ASSERT_EQ(g->multiShapes.GetCount(), 1);
  EXPECT_EQ(g->multiShapes[0]->members.GetCount(), 4);
  for (i32 i = 0; i < 4; ++i) EXPECT_EQ(g->multiShapes[0]->members[i]->stamp, 0u);
  Add(pf, 100, 100, 110, 110);
  EXPECT_EQ(g->multiShapes.GetCount(), 2);
  EXPECT_EQ(ValidateFinder(pf), "");
}

}  // namespace

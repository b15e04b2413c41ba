#include <gtest/gtest.h>

#include <map>
#include <set>
#include <utility>

#include "pathfinding/MapShapes.h"
#include "pathfinding/ObstacleSet.h"
#include "pathfinding/PathFinder.h"
#include "testsupport/GridValidator.h"

namespace {

using shpf::PackPair;

class FakeHost : public ShapeHost {
 public:
  FakeHost() : finder(1280, 768, 64, 64) {}
  i32 GetTileColumns() const override { return 5; }  // 1280 / 256
  i32 GetTileRows() const override { return 6; }     // 768 / 128
  void AddTileShape(i32 c, i32 r, MAPSHAPE* s) override { EXPECT_TRUE(tiles[std::make_pair(c, r)].insert(s).second); }
  void RemoveTileShape(i32 c, i32 r, MAPSHAPE* s) override { EXPECT_EQ(tiles[std::make_pair(c, r)].erase(s), 1u); }
  void AddGlobalShapes(MapShapes* set) override { EXPECT_TRUE(global.insert(set).second); }
  void RemoveGlobalShapes(MapShapes* set) override { EXPECT_EQ(global.erase(set), 1u); }
  shpf::PathFinder* GetPathFinder() override { return &finder; }

  size_t Filed() const {
    size_t n = 0;
    for (const auto& [k, v] : tiles) n += v.size();
    return n;
  }

  shpf::PathFinder finder;
  std::map<std::pair<i32, i32>, std::set<MAPSHAPE*>> tiles;
  std::set<MapShapes*> global;
};

SHAPEDESC Rect(i32 l, i32 t, i32 r, i32 b) {
  return SHAPEDESC{SHAPE_RECT, {static_cast<u32>(l), static_cast<u32>(t), static_cast<u32>(r), static_cast<u32>(b)}};
}
SHAPEDESC Circle(i32 x, i32 y, i32 r) {
  return SHAPEDESC{SHAPE_CIRCLE, {static_cast<u32>(x), static_cast<u32>(y), static_cast<u32>(r)}};
}
u32 Corner(i32 x, i32 y) { return PackPair(x, y); }

TEST(MapShape, RectangleAndRoundShapesContainPoints) {
  const SHAPEDESC r = Rect(10, 20, 30, 40);
  EXPECT_TRUE(ShapeContainsPoint(&r, 10, 20));
  EXPECT_FALSE(ShapeContainsPoint(&r, 30, 25));
  EXPECT_FALSE(ShapeContainsPoint(&r, 15, 40));
  const SHAPEDESC c = Circle(0, 0, 5);
  EXPECT_TRUE(ShapeContainsPoint(&c, 3, 4));
  EXPECT_FALSE(ShapeContainsPoint(&c, 4, 4));
  SHAPEDESC e;
  SetShapeEllipse(&e, 0, 0, 10, 10);
  EXPECT_EQ(e.kind, SHAPE_ELLIPSE);
  EXPECT_TRUE(ShapeContainsPoint(&e, 6, 8)) << "equal radii: a circle";
  EXPECT_FALSE(ShapeContainsPoint(&e, 7, 8));
  SetShapeEllipse(&e, 0, 0, 20, 5);
  EXPECT_TRUE(ShapeContainsPoint(&e, 19, 0));
  EXPECT_FALSE(ShapeContainsPoint(&e, 0, 6));
  SetShapeEllipse(&e, 0, 0, 0, 5);
  EXPECT_FALSE(ShapeContainsPoint(&e, 0, 0)) << "a flat ellipse holds nothing";
  const SHAPEDESC bad{7, {}};
  EXPECT_FALSE(ShapeContainsPoint(&bad, 0, 0));
  SHAPERECT b;
  ShapeBounds(&bad, &b);
  EXPECT_EQ(b.right - b.left, 0);
  ShapeBounds(&c, &b);
  EXPECT_EQ(b.left, -6);
  EXPECT_EQ(b.bottom, 6);
}

TEST(MapShape, TriangleAndDiamondTestAnglesAcrossTheSeam) {
  // A wedge from A opening round the 0/360 direction, cut by a wedge from B.
  SHAPEDESC t{SHAPE_TRIANGLE,
              {Corner(0, 0), Corner(100, 0), Corner(50, 20), ShapeFloatWord(350.0f), ShapeFloatWord(30.0f),
               ShapeFloatWord(180.0f), ShapeFloatWord(30.0f)}};
  EXPECT_TRUE(ShapeContainsPoint(&t, 50, 5));
  EXPECT_TRUE(ShapeContainsPoint(&t, 50, -5));
  EXPECT_FALSE(ShapeContainsPoint(&t, 50, 40));
  EXPECT_FALSE(ShapeContainsPoint(&t, 120, 0)) << "behind B";
  SHAPERECT b;
  ShapeBounds(&t, &b);
  EXPECT_EQ(b.left, 0);
  EXPECT_EQ(b.right, 100);
  EXPECT_EQ(b.bottom, 20);
  // Diamond along the x axis from A (0,0) to C (100,0).
  SHAPEDESC d{SHAPE_DIAMOND,
              {Corner(0, 0), Corner(50, -20), Corner(100, 0), Corner(50, 20), ShapeFloatWord(0.0f),
               ShapeFloatWord(20.0f)}};
  EXPECT_TRUE(ShapeContainsPoint(&d, 50, 10));
  EXPECT_FALSE(ShapeContainsPoint(&d, 50, 30));
  EXPECT_FALSE(ShapeContainsPoint(&d, 110, 0));
}

TEST(MapShape, MakeMirrorsOffsetsAndRejects) {
  FakeHost host;
  MAPSHAPE s;
  const SHAPEDESC r = Rect(10, 0, 30, 20);
  ASSERT_TRUE(MakeMapShape(&s, 0, &r, 100, 50, 1, host));
  EXPECT_EQ(static_cast<i32>(s.desc.words[0]), 70);
  EXPECT_EQ(static_cast<i32>(s.desc.words[1]), 50);
  EXPECT_EQ(static_cast<i32>(s.desc.words[2]), 90);
  EXPECT_EQ(static_cast<i32>(s.desc.words[3]), 70);
  EXPECT_EQ(s.tileLeft, 0);
  EXPECT_EQ(s.tileRight, 0);
  EXPECT_EQ(s.tileTop, 0);
  EXPECT_EQ(s.tileBottom, 0);

  const SHAPEDESC flat = Rect(10, 0, 10, 20);
  EXPECT_FALSE(MakeMapShape(&s, 0, &flat, 0, 0, 0, host));
  const SHAPEDESC dot = Circle(50, 50, 0);
  EXPECT_FALSE(MakeMapShape(&s, 0, &dot, 0, 0, 0, host));
  const SHAPEDESC unknown{5, {}};
  EXPECT_FALSE(MakeMapShape(&s, 1, &unknown, 0, 0, 0, host));
  const SHAPEDESC far = Rect(-600, -600, -300, -300);
  EXPECT_FALSE(MakeMapShape(&s, 0, &far, 0, 0, 0, host)) << "off the level's tiles";
  EXPECT_TRUE(MakeMapShape(&s, 1, &far, 0, 0, 0, host)) << "global mode has no tiles";
  EXPECT_EQ(s.tileRight, -1);

  // Tile range: floor of the start, ceiling of the end, then inclusive and clipped.
  const SHAPEDESC span = Rect(-10, 128, 512, 257);
  ASSERT_TRUE(MakeMapShape(&s, 0, &span, 0, 0, 0, host));
  EXPECT_EQ(s.tileLeft, 0);
  EXPECT_EQ(s.tileTop, 1);
  EXPECT_EQ(s.tileRight, 1);
  EXPECT_EQ(s.tileBottom, 2);
  const SHAPEDESC wide = Rect(1000, 700, 5000, 5000);
  ASSERT_TRUE(MakeMapShape(&s, 0, &wide, 0, 0, 0, host));
  EXPECT_EQ(s.tileRight, 4);
  EXPECT_EQ(s.tileBottom, 5);

  // Mirrored triangle: x negated, axis angle becomes 180 - a.
  SHAPEDESC t{SHAPE_TRIANGLE,
              {Corner(10, 0), Corner(40, 0), Corner(20, 30), ShapeFloatWord(300.0f), ShapeFloatWord(20.0f),
               ShapeFloatWord(90.0f), ShapeFloatWord(20.0f)}};
  ASSERT_TRUE(MakeMapShape(&s, 1, &t, 0, 0, 1, host));
  EXPECT_EQ(static_cast<i16>(s.desc.words[0] & 0xFFFF), -10);
  EXPECT_FLOAT_EQ(ShapeWordFloat(s.desc.words[3]), 240.0f);
  EXPECT_FLOAT_EQ(ShapeWordFloat(s.desc.words[5]), 90.0f);
  EXPECT_FLOAT_EQ(ShapeWordFloat(s.desc.words[4]), 20.0f);
  // Corners pushed past 16 bits are refused, not wrapped.
  EXPECT_FALSE(MakeMapShape(&s, 1, &t, 32760, 0, 0, host));
  const SHAPEDESC big = Rect(0, 0, 10, 10);
  EXPECT_FALSE(MakeMapShape(&s, 1, &big, INT32_MAX - 5, 0, 0, host));
}

TEST(MapShapes, TileModeFilesEveryTileOfEachShapeAndClearUnfiles) {
  FakeHost host;
  const SHAPEDESC descs[3] = {Rect(0, 0, 300, 10), Rect(5, 5, 5, 9), Circle(600, 300, 10)};
  {
    MapShapes set(&host);
    set.Create(0, descs, 3, 10, 0, 0, 0x1234);
    EXPECT_EQ(set.GetCount(), 2u) << "the empty rectangle takes no slot";
    EXPECT_EQ(set.GetShape(1)->owner, 0x1234u);
    EXPECT_EQ(static_cast<i32>(set.GetShape(1)->desc.words[0]), 610);
    EXPECT_EQ(host.Filed(), 3u) << "two tiles for the bar, one for the circle";
    EXPECT_EQ(host.tiles[std::make_pair(1, 0)].count(set.GetShape(0)), 1u);
    set.Clear();
    EXPECT_EQ(host.Filed(), 0u);
    set.Create(0, descs, 3, 0, 0, 0, 0);
  }
  EXPECT_EQ(host.Filed(), 0u) << "the destructor clears";
}

TEST(MapShapes, GlobalModeFilesTheSetOnlyWhenItHoldsAShape) {
  FakeHost host;
  const SHAPEDESC descs[2] = {Rect(0, 0, 30, 10), Rect(5, 5, 5, 9)};
  MapShapes set(&host);
  auto cb = [](MapShapes*, u32) {};
  set.Create(1, descs, 2, 0, 0, 0, 7, cb, 99);
  EXPECT_EQ(set.GetCount(), 1u);
  EXPECT_EQ(set.GetTag(), 99u);
  EXPECT_EQ(host.global.count(&set), 1u);
  EXPECT_EQ(host.Filed(), 0u);
  set.Create(1, descs + 1, 1, 0, 0, 0, 7, cb, 99);
  EXPECT_TRUE(host.global.empty());
  set.Create(1, nullptr, 0, 0, 0, 0, 7);
  EXPECT_EQ(set.GetShape(0), nullptr);
}

TEST(ObstacleSet, MirrorsFiltersAndRegistersInOneBracket) {
  FakeHost host;
  shpf::_SHAPEGRID* g = host.finder.CreateGrid(1, 0, 0, 0xFFFFFFFFu);
  const u32 v = g->version;
  const OBSTACLEDESC descs[5] = {
      {0x20000000u, 10, 0, 20, 10},  // registered
      {0x00000001u, 50, 0, 20, 10},  // kept, not registered
      {0, 0, 0, 5, 5},               // no mask: no slot
      {0x80000001u, 0, 40, 0, 5},    // no width: no slot
      {0x80000001u, 0, 40, 30, 5},   // registered, bit 31 cleared
  };
  ObstacleSet set(&host);
  set.Create(descs, 5, 100, 50, OBSTACLE_MIRROR | OBSTACLE_CLEAR_BIT31);
  ASSERT_EQ(set.GetCount(), 3u);
  EXPECT_EQ(set.Get(0)->x, 71);
  EXPECT_EQ(set.Get(0)->right, 91);
  EXPECT_EQ(set.Get(0)->bottom, 60);
  EXPECT_NE(set.Get(0)->shape, nullptr);
  EXPECT_EQ(set.Get(1)->shape, nullptr);
  ASSERT_NE(set.Get(2)->shape, nullptr);
  EXPECT_EQ(set.Get(2)->shape->mask, 0x00000001u);
  EXPECT_EQ(host.finder.GetShapes().GetCount(), 2);
  EXPECT_EQ(g->version, v + 1) << "one merge pass for the whole set";
  EXPECT_EQ(shpf_test::ValidateFinder(host.finder), "");
  set.Clear();
  EXPECT_EQ(host.finder.GetShapes().GetCount(), 0);
  EXPECT_EQ(g->version, v + 2) << "one change for the whole withdrawal";

  set.Create(descs, 1, 0, 0, OBSTACLE_NO_REGISTER);
  EXPECT_EQ(set.GetCount(), 1u);
  EXPECT_EQ(set.Get(0)->shape, nullptr);
  EXPECT_EQ(host.finder.GetShapes().GetCount(), 0);
}

TEST(ObstacleSet, CoordinatesBeyondSixteenBitsAreClampedNotWrapped) {
  FakeHost host;
  shpf::_SHAPE* s = AddGridRect(&host.finder, 32000, -40000, 40000, 100, 0);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->left, 32000);
  EXPECT_EQ(s->right, 32767);
  EXPECT_EQ(s->top, -32768);
  EXPECT_EQ(s->bottom, 100);
  EXPECT_EQ(AddGridRect(nullptr, 0, 0, 1, 1, 0), nullptr);
}

}  // namespace

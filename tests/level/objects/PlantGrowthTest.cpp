// A plant point's crop rules: growth driven tick by tick to ripeness (and
// at once without a growth time), the frames a crop and a fruit show over
// the whole growth, the water a watering gives over many seeds, the fruit
// order, and the saved header with the values no play gives refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>

#include "base/Random.h"
#include "content/PlantTable.h"
#include "level/map/BaseLevelPoint.h"
#include "level/objects/PlantGrowth.h"

namespace {

TEST(PlantGrowth, RipensOnTheTickItsTimeIsFullAndAtOnceWithoutATime) {
  PlantGrowth g;
  g.SetFullTime(20000.0f);
  int ticks = 0;
  while (!g.IsRipe() && ticks < 5000) {
    g.Grow(10.0f);  // one 10 ms tick at rate 1
    ++ticks;
  }
  EXPECT_EQ(ticks, 2000);
  EXPECT_EQ(g.GetPercent(), 100.0f);
  EXPECT_FALSE(g.Grow(10.0f)) << "stops at 100";
  EXPECT_FALSE(g.Grow(0.0f));
  EXPECT_FALSE(g.Grow(std::numeric_limits<float>::quiet_NaN()));

  g.SetWithTime(25.0f);  // a harvest and a restore set the time with the percent
  EXPECT_EQ(g.GetTime(), 5000.0f);
  EXPECT_FALSE(g.IsRipe());
  EXPECT_FALSE(g.Set(25.0f, false));
  EXPECT_TRUE(g.Set(25.0f, true));
  g.SetWithTime(250.0f);
  EXPECT_EQ(g.GetPercent(), 100.0f);
  EXPECT_TRUE(g.IsRipe());

  PlantGrowth none;  // a growth time of 0
  none.SetFullTime(0.0f);
  EXPECT_TRUE(none.Grow(10.0f));
  EXPECT_TRUE(none.IsRipe());
  EXPECT_EQ(none.GetPercent(), 100.0f);
  none.SetWithTime(50.0f);
  EXPECT_EQ(none.GetTime(), 0.0f);
  EXPECT_FALSE(std::isnan(none.GetPercent()));
}

TEST(PlantGrowth, CropAndFruitFramesOverTheWholeGrowth) {
  std::set<i32> six, two;
  for (int p = 0; p <= 1000; ++p) {
    six.insert(CropFrame(p / 10.0f, 6));
    two.insert(CropFrame(p / 10.0f, 2));
  }
  EXPECT_EQ(six, (std::set<i32>{0, 1, 2, 3, 4}));
  EXPECT_EQ(CropFrame(100.0f, 6), 4);
  EXPECT_EQ(CropFrame(99.9f, 6), 3);
  EXPECT_EQ(two, std::set<i32>{0});
  EXPECT_EQ(CropFrame(50.0f, 0), 0);

  // A tree of growth time G: its fruits show from G / 10 and reach their
  // last frame together at G.
  const float g = 20000.0f, start = g / 10.0f, duration = g - start;
  EXPECT_EQ(FruitFrame(0.0f, start, duration, 5), -1);
  EXPECT_EQ(FruitFrame(1999.0f, start, duration, 5), -1);
  EXPECT_EQ(FruitFrame(2000.0f, start, duration, 5), 0);
  EXPECT_EQ(FruitFrame(19999.0f, start, duration, 5), 3);
  EXPECT_EQ(FruitFrame(20000.0f, start, duration, 5), 4);
  EXPECT_EQ(FruitFrame(0.0f, 0.0f, 0.0f, 5), 4) << "no growth time: grown at once";
  EXPECT_EQ(FruitFrame(5000.0f, start, duration, 0), -1) << "a sprite without frames shows none";
}

TEST(PlantGrowth, WaterAndFruitOrderDraws) {
  PLANT plant{};
  plant.waterMin = 1;
  plant.waterMax = 3;
  // Seeds spread over the whole seed range: the generator's first draw
  // after nearby small seeds is nearly the same.
  std::set<i32> seen, reversed;
  for (u32 i = 1; i <= 1000; ++i) {
    kis::srand(i * 2654435761u);
    seen.insert(DrawWater(plant));
  }
  std::swap(plant.waterMin, plant.waterMax);
  for (u32 i = 1; i <= 1000; ++i) {
    kis::srand(i * 2654435761u);
    reversed.insert(DrawWater(plant));
  }
  EXPECT_EQ(seen, (std::set<i32>{1, 2, 3}));
  EXPECT_EQ(reversed, seen);

  kis::srand(7);
  const std::vector<u32> a = DrawFruitOrder(12), b = DrawFruitOrder(12);
  EXPECT_EQ(std::set<u32>(a.begin(), a.end()).size(), 12u);
  EXPECT_EQ(*std::max_element(a.begin(), a.end()), 11u);
  EXPECT_NE(a, b) << "two trees order their fruits differently";
  EXPECT_TRUE(DrawFruitOrder(0).empty());
}

TEST(PlantGrowth, SavedHeaderRoundTripAndRefusals) {
  POINTPARAMS p;
  PutPlantInfo({37.5f, 2, 3}, &p);
  PlantInfo back;
  ASSERT_TRUE(GetPlantInfo(p, &back));
  EXPECT_EQ(back.percent, 37.5f);
  EXPECT_EQ(back.waterLeft, 2);
  EXPECT_EQ(back.waterMax, 3);
  PutPlantInfo({100.0f, 0, 0}, &p);
  EXPECT_TRUE(GetPlantInfo(p, &back)) << "ripe and dry";

  const PlantInfo refused[] = {{std::numeric_limits<float>::quiet_NaN(), 1, 1},
                               {100.5f, 1, 1},
                               {-0.5f, 1, 1},
                               {std::numeric_limits<float>::infinity(), 1, 1},
                               {10.0f, 4, 3},
                               {10.0f, -1, 3},
                               {10.0f, 0, -1}};
  for (const PlantInfo& bad : refused) {
    PutPlantInfo(bad, &p);
    back = {50.0f, 9, 9};
    EXPECT_FALSE(GetPlantInfo(p, &back)) << bad.percent << " " << bad.waterLeft << " " << bad.waterMax;
    EXPECT_EQ(back.waterLeft, 9) << "nothing taken from a refused header";
  }
}

}  // namespace

// A plant point's rules on a level, driven tick by tick (10 ms): it ripens
// on the tick its growth time is full, a harvest stores its yield and pauses
// 400 ms before growing again, the waterings run dry and a dry point stops
// until the rain waters it, a harvest in the rain keeps its water, a harvest that finds the warehouse full leaves the crop
// ripe, and the point's saved header comes back through Setup, one no play
// gives refused.
#include <gtest/gtest.h>

#include <cstring>

#include "../MapRig.h"
#include "base/Random.h"
#include "content/GameBonuses.h"
#include "content/PlantTable.h"
#include "level/objects/BasePointPlant.h"

using namespace leveltest;

namespace {

struct PointTestPlant : BasePointPlant {
  using BasePointPlant::BasePointPlant;
  i32 GetYield() const override { return 3; }
  void GetWorkOffset(POINTPOS* out) const override { out->x = out->y = 0; }
};

struct PlantLevel {
  PlantLevel() {
    rig.Make({});
    plant.id = kis::NameId(u"wheat");
    plant.growthTime = 20000;
    plant.waterMin = 1;
    plant.waterMax = 3;
    plant.levelLimit = 4;
    plant.enabled = true;
    plant.product = rig.level.Product(u"wheat");
  }
  // Ticks until the point is ripe (at most a minute); how many it took.
  int TicksToRipe(BasePointPlant& p) {
    int n = 0;
    while (!p.Growth().IsRipe() && n < 6000) {
      p.Update(10);
      ++n;
    }
    return n;
  }
  i32 Wheat() { return rig.level.rules->Stock()->GetCount(plant.product); }

  MapRig rig;
  PLANT plant{};
};

POINTPARAMS Header(i32 level, u32 id) {
  POINTPARAMS p;
  p.kind = kPointKindPlant;
  p.level = level;
  p.id = id;
  return p;
}

TEST(PlantPoint, GrowsHarvestsRunsDryAndIsWateredOnTheTick) {
  PlantLevel l;
  PointTestPlant p(*l.rig.map, &l.plant);
  ASSERT_TRUE(p.Setup(Header(1, l.plant.id), false, 0));
  EXPECT_GE(p.GetWaterLeft(), 1);  // a definition's point keeps the drawn water
  p.SetWater(2, 3, false);
  EXPECT_TRUE(p.HasProgress());
  EXPECT_EQ(l.TicksToRipe(p), 2000);
  EXPECT_FALSE(p.HasProgress());

  const i32 before = l.Wheat();
  ASSERT_TRUE(p.CollectProducts(nullptr));
  EXPECT_EQ(l.Wheat(), before + 3);
  EXPECT_EQ(p.GetWaterLeft(), 1);
  EXPECT_EQ(p.Growth().GetPercent(), 0.0f);
  EXPECT_EQ(p.Growth().GetTime(), 0.0f);
  EXPECT_FALSE(p.CollectProducts(nullptr)) << "nothing ripe";
  EXPECT_EQ(l.TicksToRipe(p), 2040) << "the 400 ms pause";

  ASSERT_TRUE(p.CollectProducts(nullptr));
  EXPECT_EQ(p.GetWaterLeft(), 0);
  EXPECT_EQ(l.TicksToRipe(p), 6000) << "a dry point does not grow";
  EXPECT_EQ(p.Growth().GetPercent(), 0.0f);
  EXPECT_FALSE(p.HasProgress());
  kis::srand(11);
  p.OnLevelNotify(kLevelNotifyRain);  // the rain waters as a watering does
  EXPECT_GE(p.GetWaterLeft(), 1);
  EXPECT_LE(p.GetWaterLeft(), 3);
  EXPECT_EQ(p.GetWaterLeft(), p.GetWaterMax());
  EXPECT_EQ(l.TicksToRipe(p), 2000);

  // A harvest while it rains keeps the water.
  BONUSSLOT rain;
  rain.available = rain.active = 1;
  rain.timeLeft = 60000;
  l.rig.level.rules->Bonuses().RestoreSlot(kBonusRain, rain);
  ASSERT_TRUE(l.rig.level.rules->Bonuses().IsActive(kBonusRain));
  const i32 rained = p.GetWaterLeft();
  ASSERT_TRUE(p.CollectProducts(nullptr));
  EXPECT_EQ(p.GetWaterLeft(), rained);
  l.rig.level.rules->Bonuses().EndBonus(kBonusRain);
  EXPECT_EQ(l.TicksToRipe(p), 2040);

  // A full warehouse: nothing stored, the crop stays ripe, the water stays.
  const i32 water = p.GetWaterLeft();
  l.rig.level.rules->Stock()->Add(l.plant.product, 10000, false);
  const i32 full = l.Wheat();
  EXPECT_FALSE(p.CollectProducts(nullptr));
  EXPECT_TRUE(p.Growth().IsRipe());
  EXPECT_EQ(p.GetWaterLeft(), water);
  EXPECT_EQ(l.Wheat(), full);
}

TEST(PlantPoint, LevelsGoUpOnlyAndTheHeaderComesBackThroughSetup) {
  PlantLevel l;
  PointTestPlant p(*l.rig.map, &l.plant);
  ASSERT_TRUE(p.Setup(Header(2, l.plant.id), false, 0));
  p.SetWater(2, 3, false);
  for (int i = 0; i < 700; ++i) p.Update(10);
  EXPECT_FALSE(p.SetLevel(1, false, 0)) << "never down";
  EXPECT_TRUE(p.SetLevel(2, false, 0));
  EXPECT_TRUE(p.SetLevel(9, false, 0)) << "up to the kind's limit";
  EXPECT_EQ(p.GetLevel(), 4);
  EXPECT_NEAR(p.Growth().GetPercent(), 35.0f, 1e-3f) << "an upgrade keeps the growth";

  POINTPARAMS saved;
  p.GetInfo(&saved);
  EXPECT_EQ(saved.kind, static_cast<u32>(kPointKindPlant));
  EXPECT_EQ(saved.level, 4);
  EXPECT_EQ(saved.id, l.plant.id);
  PointTestPlant back(*l.rig.map, &l.plant);
  ASSERT_TRUE(back.Setup(saved, false, 0));
  EXPECT_EQ(back.GetLevel(), 4);
  EXPECT_EQ(back.Growth().GetPercent(), p.Growth().GetPercent());
  EXPECT_EQ(back.Growth().GetTime(), p.Growth().GetTime());
  EXPECT_EQ(back.GetWaterLeft(), 2);
  EXPECT_EQ(back.GetWaterMax(), 3);
  POINTPARAMS again;
  back.GetInfo(&again);
  EXPECT_EQ(std::memcmp(&again, &saved, sizeof saved), 0);

  POINTPARAMS bad = saved;
  bad.extra[0] = 4;  // water left above its maximum
  PointTestPlant refused(*l.rig.map, &l.plant);
  EXPECT_FALSE(refused.Setup(bad, false, 0));
  EXPECT_EQ(refused.GetLevel(), -1);

  // A growth time of 0 ripens at once.
  l.plant.growthTime = 0;
  PointTestPlant quick(*l.rig.map, &l.plant);
  ASSERT_TRUE(quick.Setup(Header(1, l.plant.id), false, 0));
  EXPECT_EQ(l.TicksToRipe(quick), 1);
  EXPECT_EQ(quick.Growth().GetPercent(), 100.0f);
}

}  // namespace

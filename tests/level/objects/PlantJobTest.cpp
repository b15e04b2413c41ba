// The player's watering and harvest at a plant point, played on the level's
// tick with the real characters: a dry point watered, a ripe one harvested
// into the warehouse, and the jobs' 44-byte records loaded through the
// level's point classes' loader with each refusal (size, index, kind,
// cost, level) failing.
#include <gtest/gtest.h>

#include <vector>

#include "../CareRig.h"
#include "base/LittleEndian.h"
#include "content/PlantTable.h"
#include "level/objects/BasePointPlant.h"
#include "level/objects/PlantJobs.h"

using namespace leveltest;

namespace {

struct TestPlant : BasePointPlant {
  using BasePointPlant::BasePointPlant;
  i32 GetYield() const override { return 2; }
  void GetWorkOffset(POINTPOS* out) const override {
    out->x = 0;
    out->y = 40;
  }
};

// An empty place (0) and a wheat bed of level 1 (1) at (700, 300).
struct JobLevel {
  explicit JobLevel(PlantInfo info = {}) {
    rig.Build({MapRig::Garbage(kJunk, 100, 300, 300)});
    plant.id = kis::NameId(u"wheat");
    plant.growthTime = 100;
    plant.waterMin = plant.waterMax = 2;
    plant.levelLimit = 4;
    plant.product = rig.level.Product(u"wheat");
    for (u32 i = 0; i < 9; ++i) plant.harvestAnimation[i] = u"girl_dig"[i];
    bed = new TestPlant(*rig.map, &plant);
    rig.map->SetPointCount(2);
    rig.map->SetPoint(1, bed);
    bed->SetIndex(1);
    bed->SetPosition(700, 300);
    POINTPARAMS p;
    p.kind = kPointKindPlant;
    p.level = 1;
    p.id = plant.id;
    PutPlantInfo(info, &p);
    EXPECT_TRUE(bed->Setup(p, false, 0));
    money = rig.level.rules->Money().Get();
  }
  std::vector<u8> Record(u16 id, u32 index, i32 cost = 0) {
    std::vector<u8> r(kPointJobRecordSize, 0);
    kis::PutU32LE(r.data(), kPointJobRecordSize);
    kis::PutU16LE(r.data() + 4, id);
    kis::PutI32LE(r.data() + 12, cost);
    kis::PutU32LE(r.data() + 40, index);
    return r;
  }

  CareRig rig;
  PLANT plant{};
  TestPlant* bed = nullptr;
  i32 money = 0;
};

TEST(PlantJobs, TheDryBedIsWateredAndTheRipeCropHarvested) {
  JobLevel l;
  l.bed->SetWater(0, 2, false);
  auto* water = new Job_Water(l.rig.player, l.bed);
  EXPECT_EQ(l.bed->GetWaterJob(), water);
  ASSERT_GT(l.rig.TickUntil([&] { return l.bed->GetWaterLeft() > 0; }), 0);
  EXPECT_EQ(l.bed->GetWaterLeft(), 2);
  EXPECT_EQ(l.bed->GetWaterJob(), nullptr);
  EXPECT_EQ(l.rig.player->GetY(), 340.0f) << "at the work spot";

  ASSERT_GT(l.rig.TickUntil([&] { return l.bed->Growth().IsRipe(); }), 0);
  WarehouseStock& stock = *l.rig.level.rules->Stock();
  const i32 before = stock.GetCount(l.plant.product);
  new Job_Harvest(l.rig.player, l.bed);
  ASSERT_GT(l.rig.TickUntil([&] { return !l.bed->Growth().IsRipe(); }), 0);
  EXPECT_EQ(stock.GetCount(l.plant.product), before + 2);
  EXPECT_EQ(l.bed->GetWaterLeft(), 1);
  EXPECT_EQ(l.bed->GetHarvestJob(), nullptr);

  // A watering cut short leaves the water; the bed going finishes its jobs.
  auto* again = new Job_Water(l.rig.player, l.bed);
  again->Finish();
  EXPECT_EQ(l.bed->GetWaterLeft(), 1);
  auto* late = new Job_Harvest(l.rig.player, l.bed);
  l.rig.map->SetPoint(1, nullptr);
  delete l.bed;
  EXPECT_TRUE(late->HasEnded());
  EXPECT_EQ(late->GetPoint(), nullptr);
}

// A bed loaded ripe and dry (a save's growth 100, no water left) is harvested, watered and harvested again.
TEST(PlantJobs, ARipeBedLoadedDryIsHarvestedWateredAndHarvestedAgain) {
  JobLevel l({100.0f, 0, 2});
  const WarehouseStock& stock = *l.rig.level.rules->Stock();
  for (i32 harvest = 1; harvest <= 2; ++harvest) {
    ASSERT_NE(l.bed->GetHarvestButton(), nullptr) << "harvest " << harvest;
    CareRig::Click(l.bed->GetHarvestButton());
    ASSERT_GT(l.rig.TickUntil([&] { return stock.GetCount(l.plant.product) == 2 * harvest; }), 0) << harvest;
    if (l.bed->GetWaterButton()) CareRig::Click(l.bed->GetWaterButton());
    ASSERT_GT(l.rig.TickUntil([&] { return l.bed->Growth().IsRipe(); }), 0) << "harvest " << harvest;
  }
}

TEST(PlantJobs, RecordsLoadThroughTheLoaderAndEachRefusalFails) {
  JobLevel l;
  MapPlayer& player = *l.rig.player;
  for (u16 id : {kJobWater, kJobHarvest}) {
    const i32 jobs = player.GetJobs().GetCount();
    std::vector<u8> r = l.Record(id, 1);
    ASSERT_TRUE(LoadPlantJob(id, player, r.data(), kPointJobRecordSize));
    ASSERT_EQ(player.GetJobs().GetCount(), jobs + 1);
    EXPECT_EQ(player.GetJobs()[jobs]->GetJobId(), id);
    EXPECT_EQ(id == kJobWater ? l.bed->GetWaterJob() : l.bed->GetHarvestJob(), player.GetJobs()[jobs]);

    EXPECT_FALSE(LoadPlantJob(id, player, r.data(), kPointJobRecordSize - 1)) << "size";
    std::vector<u8> bad = l.Record(id, 2);
    EXPECT_FALSE(LoadPlantJob(id, player, bad.data(), kPointJobRecordSize)) << "index";
    bad = l.Record(id, 0);
    EXPECT_FALSE(LoadPlantJob(id, player, bad.data(), kPointJobRecordSize)) << "kind";
    bad = l.Record(id, 1, 5);
    EXPECT_FALSE(LoadPlantJob(id, player, bad.data(), kPointJobRecordSize)) << "cost";
    kis::PutI32LE(bad.data() + 12, 0);
    kis::PutI32LE(bad.data() + 8, 7);
    const i32 before = player.GetJobs().GetCount();
    EXPECT_FALSE(LoadPlantJob(id, player, bad.data(), kPointJobRecordSize)) << "step";
    EXPECT_EQ(player.GetJobs()[before - 1]->HasEnded() || player.GetJobs().GetCount() == before, true);
  }
  std::vector<u8> other = l.Record(5, 1);
  EXPECT_FALSE(LoadPlantJob(5, player, other.data(), kPointJobRecordSize)) << "not one of these";

  // An upgrade's record: its cost 0 or the price of the bed's level; none
  // at the level limit, nor a second one.
  l.plant.prices[1] = 40;
  std::vector<u8> plant = l.Record(kJobPlant, 1, 41);
  EXPECT_FALSE(LoadPlantJob(kJobPlant, player, plant.data(), kPointJobRecordSize)) << "cost";
  EXPECT_EQ(l.bed->GetPlantJob(), nullptr);
  EXPECT_EQ(l.rig.level.rules->Money().Get(), l.money) << "the refused job's reservation given back";
  plant = l.Record(kJobPlant, 1, 40);
  ASSERT_TRUE(LoadPlantJob(kJobPlant, player, plant.data(), kPointJobRecordSize));
  ASSERT_NE(l.bed->GetPlantJob(), nullptr);
  EXPECT_EQ(l.bed->GetPlantJob()->GetCost(), 40);
  EXPECT_FALSE(LoadPlantJob(kJobPlant, player, plant.data(), kPointJobRecordSize)) << "one planting a point";
  l.bed->GetPlantJob()->Finish();
  l.plant.levelLimit = 1;
  EXPECT_FALSE(LoadPlantJob(kJobPlant, player, plant.data(), kPointJobRecordSize)) << "at the level limit";
  EXPECT_EQ(l.bed->GetPlantJob(), nullptr);
}

}  // namespace

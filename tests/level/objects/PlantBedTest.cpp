// Plant beds made by the level objects' point classes on a level with a
// player: the first planting dug and abandoned, the bed's own picture under
// the pointer and its crops highlighted, upgrades up to the level limit,
// the crops' frames, the water and harvest buttons clicked, the work stopped
// by gas and taken up again after the repair (its arrow at the bed's
// position), the bed pulled down off its task, and the plant jobs' records
// through the saved level.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "../CareRig.h"
#include "../HudReadBack.h"
#include "base/Strings.h"
#include "content/PlantTable.h"
#include "level/objects/LevelObjectClasses.h"
#include "level/objects/PlantJobs.h"
#include "level/objects/PointPlant.h"
#include "level/rules/LevelTasks.h"
#include "level/rules/WarehouseStock.h"

using namespace leveltest;

namespace {

struct BedRig : CareRig {
  using MapRig::MakeMapSprite;
};

struct PlantBeds : ::testing::Test {
  PlantBeds() {
    testsupport::KindTables& kinds = rig.level.kinds;
    GAMEBEDS look{};
    for (u32 s = 0; s < kBedStageCount; ++s) {
      BEDSTAGE& stage = kinds.bedStages[s];
      stage.cropCount = s + 1;
      for (u32 i = 0; i <= s; ++i) {
        stage.crops[i][0] = -30 + 20 * static_cast<i32>(i);
        stage.crops[i][1] = -8;
      }
      stage.buttonAnchor[1] = -60;
      stage.workSpot[1] = 40;
      stage.progressAnchor[1] = -70;
      const std::u16string name = u"bed_" + std::u16string(1, static_cast<char16_t>(u'1' + s));
      kis::StrCopy(look.groundNames[s].text, kKindNameSize, name.c_str());
      rig.MakeMapSprite(name.c_str(), 96, 64, 1, true);
    }
    kinds.bedLooks = {look};
    kinds.plantTiming[kTimingBedWater] = 300;
    kinds.plantTiming[kTimingHarvest] = 200;
    rig.level.LoadKinds({{u"wheat", 4, true}}, {});
    GetPlantTable()->LoadBedSprites(0, nullptr);
    wheat = kinds.Plant(u"wheat");
    wheat->growthTime = 20000;
    wheat->waterMin = wheat->waterMax = 1;
    for (u32 i = 0; i < 4; ++i) {
      wheat->prices[i] = 20 << i;
      wheat->digTimes[i] = 500;
    }
    kis::StrCopy(wheat->harvestAnimation, kKindNameSize, kDigAnimation);
    wheat->cropEffect = 1;
    wheat->crop = rig.MakeMapSprite(u"wheat_crop", 96, 16, 6, false);
    for (const wchar* icon : {u"small_ico_water", u"small_ico_hand", u"small_ico_upgrade"})
      rig.level.MakeIcon(icon, kIconSpriteSet, 1);
    rig.classes.make = [this](LevelMap& map, PointClass c, void* record) { return objects.CreatePoint(map, c, record); };
    rig.classes.loadJob = [this](u32 id, MapPlayer& player, const u8* record, u32 size) {
      return objects.LoadPlayerJob(id, player, record, size);
    };
  }
  POINTDEF Bed(i32 level, i32 x) const { return POINTDEF{2, level, wheat->id, 0, {0, 0}, x, 300, 0}; }
  PointPlant* Point(i32 i) { return dynamic_cast<PointPlant*>(rig.map->GetPoint(i)); }
  i32 Money() { return rig.level.rules->Money().Get(); }
  i32 Wheat() { return rig.level.rules->Stock()->GetCount(wheat->product); }

  BedRig rig;
  LevelObjectClasses objects;
  PLANT* wheat = nullptr;
};

TEST_F(PlantBeds, TheFirstPlantingIsDugUpgradesStopAtTheLimitAndAnAbandonedOneLeavesAnEmptyPlace) {
  rig.Build({Bed(0, 400), Bed(0, 900)});
  const i32 start = Money();
  rig.MakeDefinedPoints();  // again, now that the player is there to dig
  PointPlant* p = Point(0);
  ASSERT_NE(p, nullptr);
  ASSERT_NE(p->GetPlantJob(), nullptr);
  EXPECT_EQ(p->GetPlantJob()->GetCost(), 20);
  EXPECT_EQ(Money(), start - 40) << "both plantings reserved";
  ASSERT_NE(p->GetGround(), nullptr);
  EXPECT_TRUE(p->GetCrops().empty());
  EXPECT_GT(rig.TickUntil([&] { return p->IsDigging(); }), 0);
  const i32 digging = rig.TickUntil([&] { return p->GetLevel() == 1; });
  EXPECT_GE(digging, 49);  // 500 ms of digging
  EXPECT_LE(digging, 51);
  EXPECT_FALSE(p->IsDigging());
  EXPECT_EQ(p->GetPlantJob(), nullptr);
  EXPECT_EQ(p->GetCrops().size(), 1u);
  EXPECT_EQ(p->GetYield(), 1);
  EXPECT_TRUE(rig.player->HasWorked());
  // The bed's own picture under the pointer: its ground or a crop once it
  // is planted, never another bed's; the highlight lights the crops only.
  LevelMap& map = *rig.map;
  map.SetHoveredObject(Point(1)->GetGround());
  EXPECT_FALSE(Point(1)->IsHovered()) << "being dug";
  EXPECT_FALSE(p->IsHovered());
  map.SetHoveredObject(p->GetGround());
  EXPECT_TRUE(p->IsHovered());
  map.SetHoveredObject(p->GetCrops()[0]);
  EXPECT_TRUE(p->IsHovered());
  map.SetHoveredObject(nullptr);
  p->HighlightCrop();
  EXPECT_TRUE(p->GetCrops()[0]->IsHighlighted());
  EXPECT_FALSE(p->GetGround()->IsHighlighted());

  // The second planting abandoned: an empty place, its price given back.
  ASSERT_NE(Point(1)->GetPlantJob(), nullptr);
  Point(1)->GetPlantJob()->Finish();
  EXPECT_EQ(Point(1), nullptr);
  ASSERT_NE(rig.Place(1), nullptr);
  EXPECT_EQ(rig.Place(1)->GetKind(), kPointKindEmpty);
  EXPECT_EQ(Money(), start - 20);

  rig.Tick(300);
  const float grown = p->Growth().GetPercent();
  EXPECT_GT(grown, 0.0f);
  ASSERT_NE(Job_Plant::Create(*p), nullptr);
  EXPECT_EQ(Money(), start - 60);
  ASSERT_GT(rig.TickUntil([&] { return p->GetLevel() == 2; }), 0);
  EXPECT_EQ(p->GetCrops().size(), 2u);
  EXPECT_EQ(p->GetYield(), 2);
  EXPECT_GE(p->Growth().GetPercent(), grown) << "an upgrade keeps the growth";
  POINTPOS work;
  p->GetWorkOffset(&work);
  EXPECT_EQ(work.y, 40);

  // At the kind's limit of 4 there is no fifth price to read: no job, nothing reserved.
  ASSERT_TRUE(p->ChangeLevel(4, false, 0));
  EXPECT_EQ(p->GetCrops().size(), 4u);
  const i32 money = Money();
  EXPECT_EQ(Job_Plant::Create(*p), nullptr);
  EXPECT_EQ(Money(), money);
  EXPECT_EQ(p->GetPlantJob(), nullptr);
}

TEST_F(PlantBeds, CropsShowTheGrowthsFramesAndTheButtonsWaterAndHarvestTheBed) {
  // A crop of six frames shows 0 to 4 as it grows, one of two frames only 0.
  struct Case {
    i32 frames;
    float percent;
    i32 frame;
  };
  MapSprite* six = wheat->crop;
  MapSprite* two = rig.MakeMapSprite(u"two_crop", 32, 16, 2, false);
  rig.Build({Bed(2, 400)});
  for (const Case& c : {Case{6, 0.0f, 0}, Case{6, 50.0f, 2}, Case{6, 99.9f, 3}, Case{6, 100.0f, 4},
                        Case{2, 50.0f, 0}, Case{2, 100.0f, 0}}) {
    wheat->crop = c.frames == 6 ? six : two;
    PointPlant q(*rig.map, wheat);
    POINTPARAMS header;
    header.kind = kPointKindPlant;
    header.level = 3;
    header.id = wheat->id;
    PutPlantInfo({c.percent, 1, 1}, &header);
    ASSERT_TRUE(q.Setup(header, false, 0));
    ASSERT_EQ(q.GetCrops().size(), 3u);
    for (MapPlant* crop : q.GetCrops()) EXPECT_EQ(crop->GetFrame(), c.frame) << c.frames << " " << c.percent;
  }
  wheat->crop = six;

  PointPlant* p = Point(0);
  ASSERT_NE(p, nullptr);
  std::set<i32> seen;
  const i32 ticks = rig.TickUntil([&] {
    seen.insert(p->GetCrops()[0]->GetFrame());
    return p->Growth().IsRipe();
  });
  EXPECT_EQ(ticks, 2000) << "20 s of growth at rate 1";
  seen.insert(p->GetCrops()[1]->GetFrame());
  EXPECT_EQ(seen, (std::set<i32>{0, 1, 2, 3, 4}));
  ASSERT_NE(p->GetHarvestButton(), nullptr);
  EXPECT_EQ(p->GetWaterButton(), nullptr);

  // Harvested by its button: two units, the bed's one watering used up.
  const i32 before = Wheat();
  CareRig::Click(p->GetHarvestButton());
  EXPECT_EQ(p->GetHarvestButton(), nullptr);
  ASSERT_NE(p->GetHarvestJob(), nullptr);
  ASSERT_GT(rig.TickUntil([&] { return Wheat() > before; }), 0);
  EXPECT_EQ(Wheat(), before + 2);
  EXPECT_EQ(p->GetWaterLeft(), 0);
  ASSERT_NE(p->GetWaterButton(), nullptr);
  rig.Tick(200);
  EXPECT_EQ(p->Growth().GetPercent(), 0.0f) << "a dry bed does not grow";

  CareRig::Click(p->GetWaterButton());
  EXPECT_EQ(p->GetWaterButton(), nullptr);
  ASSERT_NE(p->GetWaterJob(), nullptr);
  ASSERT_GT(rig.TickUntil([&] { return p->GetWaterLeft() == 1; }), 0);
  EXPECT_EQ(p->GetWaterJob(), nullptr);
  ASSERT_GT(rig.TickUntil([&] { return p->Growth().IsRipe(); }), 0);

  // A full warehouse: the crop stays ripe and its button comes back.
  rig.level.rules->Stock()->Add(wheat->product, 10000, false);
  const i32 full = Wheat();
  CareRig::Click(p->GetHarvestButton());
  ASSERT_GT(rig.TickUntil([&] { return p->GetHarvestJob() == nullptr; }), 0);
  EXPECT_TRUE(p->Growth().IsRipe());
  EXPECT_EQ(Wheat(), full);
  EXPECT_NE(p->GetHarvestButton(), nullptr);
  EXPECT_EQ(p->GetWaterLeft(), 1);
}

// Gas on a ripe, dry bed (no villain aims at a bed: the damage is laid by
// hand) ends its watering and upgrade and takes its buttons and line away;
// the repair brings the harvest and water arrows back. Pulled down for
// good, the bed leaves the level's plant task; its arrows shrink away after
// the point's delay.
TEST_F(PlantBeds, GasStopsTheBedsWorkTheRepairOffersItAgainAndAPullDownLeavesTheTask) {
  wheat->growthTime = 1000;
  rig.level.SetTasks(0, {LEVELTASK{kTaskPlantBeds, wheat->id, 1, 3}});
  rig.scene.plantBeds = 2;
  rig.Build({Bed(1, 400), Bed(1, 900)});
  PointPlant* p = Point(0);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(rig.level.rules->Tasks().GetProgress(0), 2);
  auto gas = [&](PointPlant* bed) {
    bed->SetDamage(new PointDamage(bed, bed->GetX(), bed->GetY(), 0, 100, &rig.villains.source, false));
    bed->StopJobs(false);
    ShowRepairArrow(bed, false);
  };
  // Growing and hovered, the second bed shows its line; the gas takes it.
  rig.Tick(50);
  Point(1)->SetHovered(true);
  Point(1)->ShowProgressLine();
  ASSERT_NE(Point(1)->GetProgressLine(), nullptr);
  const size_t from = rig.Mark();
  gas(Point(1));
  EXPECT_EQ(Point(1)->GetProgressLine(), nullptr);
  const Log log = rig.Since(from);
  EXPECT_NE(std::find(log.begin(), log.end(), "refresh point panel 1"), log.end()) << "its panel follows";

  ASSERT_GT(rig.TickUntil([&] { return p->GetHarvestButton() != nullptr; }), 0);
  p->SetWater(0, 1, false);
  CareRig::Click(p->GetWaterButton());
  ASSERT_NE(p->GetWaterJob(), nullptr);
  const i32 money = Money();
  ASSERT_NE(Job_Plant::Create(*p), nullptr);
  gas(p);
  EXPECT_EQ(p->GetWaterJob(), nullptr);
  EXPECT_EQ(p->GetPlantJob(), nullptr);
  EXPECT_EQ(Money(), money) << "the upgrade's price back";
  EXPECT_EQ(p->GetHarvestButton(), nullptr);
  EXPECT_EQ(p->GetWaterButton(), nullptr) << "the ended watering does not offer itself again";
  // The repair arrow stands at the bed's own position, not at its buttons' anchor.
  EXPECT_EQ(Describe(p->GetRepairArrow()),
            "arrow button 52657061 icon_btn_toxic toxic_arrow particle 3.5 ffff0000 at 400,300");
  rig.Tick(50);
  EXPECT_EQ(p->GetHarvestButton(), nullptr);

  StartRepair(p);
  ASSERT_GT(rig.TickUntil([&] { return !p->HasDamage(); }), 0);
  EXPECT_EQ(p->GetRepairJob(), nullptr);
  ASSERT_NE(p->GetHarvestButton(), nullptr) << "the ripe crop offers its harvest again";
  EXPECT_NE(p->GetWaterButton(), nullptr);

  // Pulled down for good: the task counts the beds without it; its arrow goes after the delay.
  const ASSArrowButton* harvest = p->GetHarvestButton();
  rig.scene.plantBeds = 1;
  p->Shutdown(true, true, 150);
  EXPECT_EQ(rig.level.rules->Tasks().GetProgress(0), 1);
  EXPECT_EQ(Showing(harvest), "hide arrow for good after 150 style 3 for 200");
  delete p;  // a point shut down for good has left the map
}

// The saved level with a bed mid-dig and a watering queued behind it: both
// jobs come back in order at their steps, and the level saves the same
// bytes again.
TEST_F(PlantBeds, PlantJobRecordsRoundTripThroughTheSavedLevel) {
  rig.Build({Bed(0, 400), Bed(1, 900)});
  rig.MakeDefinedPoints();
  Point(1)->SetWater(0, 1, false);
  ASSERT_NE(Point(1)->GetWaterButton(), nullptr);
  CareRig::Click(Point(1)->GetWaterButton());
  ASSERT_GT(rig.TickUntil([&] { return Point(0)->IsDigging(); }), 0);
  rig.Tick(20);
  ASSERT_EQ(rig.player->GetJobs().GetCount(), 2);
  const std::vector<u8> records = rig.SaveAndReload();
  ASSERT_FALSE(records.empty());
  ASSERT_EQ(rig.player->GetJobs().GetCount(), 2);
  auto* plant = dynamic_cast<Job_Plant*>(rig.player->GetJobs()[0]);
  auto* water = dynamic_cast<Job_Water*>(rig.player->GetJobs()[1]);
  ASSERT_NE(plant, nullptr);
  ASSERT_NE(water, nullptr);
  EXPECT_EQ(plant->GetPoint(), Point(0));
  EXPECT_EQ(plant->GetStep(), 3);
  EXPECT_EQ(plant->GetState(), kJobAnimating);
  EXPECT_EQ(water->GetPoint(), Point(1));
  EXPECT_EQ(Point(1)->GetWaterButton(), nullptr);
  EXPECT_EQ(rig.SaveAndReload(), records);
  ASSERT_GT(rig.TickUntil([&] { return Point(0)->GetLevel() == 1; }), 0);
}

}  // namespace

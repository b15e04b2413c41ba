// Animal houses on a level with a player: the feed price button following
// the stock, the feeding carried out by the player, the feed given back
// when the feeding stops early (partly sold when its room filled), the
// upgrade hiding the button (animated only once the level is entered), a
// mirrored house's offsets and feeding, the gas and the repair, and the
// feeding job's 52-byte record.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "../CareRig.h"
#include "../HudReadBack.h"
#include "base/LittleEndian.h"
#include "base/Strings.h"
#include "level/objects/Job_Build.h"
#include "level/objects/PointPetshouse.h"
#include "level/rules/WarehouseStock.h"

using namespace leveltest;

namespace {

struct HouseRig : CareRig {
  using MapRig::MakeMapSprite;
};

struct HouseLevel : ::testing::Test {
  HouseLevel() {
    rig.level.LoadKinds({}, {{u"cowshed", 4, true, kBuildingAnimalHouse}});
    barn = rig.level.kinds.Building(u"cowshed");
    wheat = rig.level.Product(u"wheat");
    barn->feedProduct = wheat;
    barn->house.feedProduct = wheat->id;
    barn->house.feedTime = 300;
    barn->house.markWorking = 1;
    kis::StrCopy(barn->house.feedAnimation, kKindNameSize, u"girl_build");
    MapSprite* trough = rig.MakeMapSprite(u"trough", 40, 20, 3, false);
    for (BUILDINGLEVEL& l : barn->levels) {
      l.trough = trough;
      l.house.feedAmount = 3;
      l.house.troughOffset[0] = 20;
      l.house.feedSpot[1] = 40;
    }
    rig.classes.make = [](LevelMap& map, PointClass, void* record) -> LevelPoint* {
      return record ? new PointPetshouse(map, static_cast<BUILDING*>(record)) : nullptr;
    };
    rig.classes.loadJob = [](u32 id, MapPlayer& player, const u8* record, u32 size) {
      return id == kJobFeed && LoadFeedJob(player, record, size);
    };
  }
  PointPetshouse* House(i32 i) { return dynamic_cast<PointPetshouse*>(rig.map->GetPoint(i)); }
  static POINTDEF Barn(i32 level, i32 x, u8 mark = 0) {
    return POINTDEF{3, level, kis::NameId(u"cowshed"), 0, {0, 0}, x, 300, mark};
  }
  // The feed buttons on the head-up display, shown or still hiding.
  i32 FeedButtonsListed() {
    i32 n = 0;
    const kis::list<ScreenSprite*>& sprites = rig.level.hudList.Sprites();
    for (i32 i = 0; i < sprites.GetCount(); ++i)
      if (auto* b = dynamic_cast<ASSPriceButton*>(sprites[i]); b && b->GetActionCode() == kFeedButtonCode) ++n;
    return n;
  }
  bool Logged(size_t from, const char* line) {
    const Log log = rig.Since(from);
    return std::find(log.begin(), log.end(), line) != log.end();
  }
  WarehouseStock& Stock() { return *rig.level.rules->Stock(); }
  std::vector<u8> Record(u32 index, u32 product, u32 amount, i32 cost = 0) {
    std::vector<u8> r(kFeedJobRecordSize, 0);
    kis::PutU32LE(r.data(), kFeedJobRecordSize);
    kis::PutU16LE(r.data() + 4, kJobFeed);
    kis::PutI32LE(r.data() + 12, cost);
    kis::PutU32LE(r.data() + 40, index);
    kis::PutU32LE(r.data() + 44, product);
    kis::PutU32LE(r.data() + 48, amount);
    return r;
  }

  HouseRig rig;
  BUILDING* barn = nullptr;
  PRODUCT* wheat = nullptr;
};

TEST_F(HouseLevel, FeedingExactlyTheStockLeavesNothingAndTheFinishedFeedingIsNotGivenBack) {
  rig.Build({Barn(1, 300), Barn(0, 900)});
  PointPetshouse* house = House(0);
  ASSERT_NE(house, nullptr);
  ASSERT_NE(house->GetTrough(), nullptr);
  ASSERT_NE(house->GetFeedButton(), nullptr);
  EXPECT_EQ(house->GetFeedButton()->GetState(), 0u) << "greyed without feed";
  EXPECT_EQ(House(1)->GetTrough(), nullptr) << "a site has no trough";
  EXPECT_EQ(House(1)->GetFeedButton(), nullptr);

  house->Feed();  // nothing in stock: nothing happens
  EXPECT_EQ(house->GetFeedJob(), nullptr);
  Stock().Add(wheat, 3, false);
  house->Refresh();
  EXPECT_EQ(house->GetFeedButton()->GetState(), 1u);
  EXPECT_EQ(CareRig::Click(house->GetFeedButton()), kScreenClickSound);
  EXPECT_EQ(Stock().GetCount(wheat), 0);
  ASSERT_NE(house->GetFeedJob(), nullptr);
  EXPECT_EQ(house->GetFeedJob()->GetCarried(), 3u);
  EXPECT_EQ(house->GetFeedButton(), nullptr);

  ASSERT_GT(rig.TickUntil([&] { return house->IsFed(); }), 0);
  EXPECT_TRUE(house->AnimalsActive());
  EXPECT_EQ(house->GetFeedJob(), nullptr);
  ASSERT_EQ(rig.player->GetJobs().GetCount(), 1) << "marked working, she steps aside";
  EXPECT_EQ(rig.player->GetJobs()[0]->GetJobId(), kJobGoTo);
  rig.Tick(5);
  EXPECT_EQ(Stock().GetCount(wheat), 0) << "eaten, not given back";
  EXPECT_EQ(house->GetFeedButton(), nullptr);

  house->SetFed(false, false);
  EXPECT_FALSE(house->AnimalsActive());
  EXPECT_NE(house->GetFeedButton(), nullptr);
}

TEST_F(HouseLevel, ACancelledFeedingComesBackWholeOrPartlySoldWhenItsRoomFilled) {
  rig.Build({Barn(1, 300)});
  PointPetshouse* house = House(0);
  Stock().Add(wheat, 3, false);
  house->Feed();
  rig.Tick(3);
  ASSERT_NE(house->GetFeedJob(), nullptr);
  house->GetFeedJob()->Finish();
  EXPECT_EQ(Stock().GetCount(wheat), 3);
  EXPECT_FALSE(house->IsFed());
  EXPECT_NE(house->GetFeedButton(), nullptr) << "offered again";

  house->Feed();
  Stock().Add(wheat, 9, false);  // one unit of room left of 10
  const i32 money = rig.level.rules->Money().Get();
  house->StopJobs(false);
  EXPECT_EQ(Stock().GetCount(wheat), 10);
  EXPECT_EQ(rig.level.rules->Money().Get(), money + 2 * wheat->price);

  // A queued upgrade takes the button away; giving it up brings it back.
  // Before the level is entered nothing animates.
  house->Refresh();
  ASSERT_EQ(FeedButtonsListed(), 1);
  ASSERT_NE(Job_Build::Create(*house), nullptr);
  EXPECT_EQ(house->GetFeedButton(), nullptr);
  EXPECT_EQ(FeedButtonsListed(), 0) << "gone at once";
  house->GetBuildJob()->Finish();
  ASSERT_NE(house->GetFeedButton(), nullptr);
  EXPECT_EQ(Showing(house->GetFeedButton()), "show button at once");
  rig.level.rules->SetEntered(true);
  const ASSPriceButton* shown = house->GetFeedButton();
  ASSERT_NE(Job_Build::Create(*house), nullptr);
  EXPECT_EQ(Showing(shown), "hide button for good after 0 style 3 for 200");
  house->GetBuildJob()->Finish();
  EXPECT_EQ(Showing(house->GetFeedButton()), "show button after 0 style 4 for 200");
}

// A mirrored house negates every x offset (trough, feed button and icon,
// feeding spot, progress line) and feeds facing the mirrored way; the
// other keeps them. Gas stops the fed house's animals and its panel
// follows; the repair brings them back at once, and a refresh refreshes
// the panel.
TEST_F(HouseLevel, AMirroredHouseNegatesItsOffsetsFeedsFacingItsWayAndWorksAgainAfterTheRepair) {
  barn->mirrorRule[0] = 1;  // the level's request stands
  barn->objectOffset[0] = 10;
  barn->objectOffset[1] = -5;
  barn->house.progressAnchor[0] = 12;
  barn->house.progressAnchor[1] = -50;
  barn->feedJobIcon = rig.level.MakeIcon(u"ico_wheat", kIconSpriteSet, 1);
  for (BUILDINGLEVEL& l : barn->levels) {
    l.house.feedSpot[0] = 15;
    l.house.facing = 2;
    l.house.facingMirrored = 6;
  }
  rig.Build({Barn(1, 300, 1), Barn(1, 900)});
  struct Case {
    i32 index, sign, facing;
  };
  for (const Case& c : {Case{0, -1, 6}, Case{1, 1, 2}}) {
    PointPetshouse* house = House(c.index);
    ASSERT_NE(house, nullptr);
    EXPECT_EQ(house->IsMirrored(), c.sign < 0);
    const i32 x = house->GetX() + 10 * c.sign;
    EXPECT_EQ(house->GetMapX(), x);
    EXPECT_EQ(house->GetTrough()->GetX(), x + 20 * c.sign);
    EXPECT_EQ(house->GetTrough()->GetMirror(), c.sign < 0);
    ASSERT_NE(house->GetFeedButton(), nullptr);
    EXPECT_EQ(house->GetFeedButton()->GetBaseX(), x + 20 * c.sign);
    EXPECT_EQ(house->GetFeedButton()->GetBaseY(), 287);
    POINTPOS line;
    house->GetProgressAnchor(&line);
    EXPECT_EQ(line.x, x + 12 * c.sign);
    EXPECT_EQ(line.y, 245);
    Stock().Add(wheat, 3, false);
    house->Feed();
    ASSERT_NE(house->GetFeedJob(), nullptr);
    i32 iconX = 0, iconY = 0;
    ASSERT_TRUE(house->GetFeedJob()->GetIconPoint(&iconX, &iconY));
    EXPECT_EQ(iconX, x + 20 * c.sign);
    ASSERT_GT(rig.TickUntil([&] {
                const Job_Feed* job = house->GetFeedJob();
                return job && job->GetState() == kJobAnimating && rig.player->GetDirection() == c.facing;
              }),
              0)
        << c.index;
    EXPECT_NEAR(rig.player->GetX(), static_cast<float>(x + 15 * c.sign), 3.0f);
    ASSERT_GT(rig.TickUntil([&] { return house->IsFed(); }), 0);
  }

  PointPetshouse* house = House(0);
  ASSERT_TRUE(house->AnimalsActive());
  size_t from = rig.Mark();
  AddDamage(*rig.map, 0, &rig.villains.source, false);
  EXPECT_FALSE(house->AnimalsActive());
  EXPECT_TRUE(Logged(from, "refresh point panel 0"));
  // The repair arrow stands at the point's own position (300, 300), not at
  // the building's hint anchor 48 above its mirrored picture (290, 247).
  POINTPOS arrow{house->GetRepairArrow()->GetBaseX(), house->GetRepairArrow()->GetBaseY()};
  EXPECT_EQ(arrow.x, 300);
  EXPECT_EQ(arrow.y, 300);
  StartRepair(house);
  ASSERT_GT(rig.TickUntil([&] { return !house->HasDamage(); }), 0);
  EXPECT_TRUE(house->AnimalsActive()) << "at once, not at the next change of the stock";
  from = rig.Mark();
  house->Refresh();
  EXPECT_TRUE(Logged(from, "refresh point panel 0"));
}

TEST_F(HouseLevel, FeedJobRecordsRoundTripAndEveryMisfitIsRefused) {
  rig.Build({Barn(1, 300)});
  Stock().Add(wheat, 3, false);
  House(0)->Feed();
  ASSERT_GT(rig.TickUntil([&] { return House(0)->GetFeedJob()->GetState() == kJobAnimating; }), 0);
  rig.Tick(4);
  ASSERT_TRUE(SaveLevelState(rig));
  const kis::DataBuffer* saved = rig.store.slots[0][0];
  const std::vector<u8> records(saved->Records(), saved->Records() + saved->recordSize);
  ASSERT_TRUE(LoadLevelState(rig));
  Job_Feed* job = House(0)->GetFeedJob();
  ASSERT_NE(job, nullptr);
  EXPECT_EQ(job->GetStep(), 2);
  EXPECT_EQ(job->GetCarried(), 3u);
  EXPECT_EQ(House(0)->GetFeedButton(), nullptr);
  ASSERT_TRUE(SaveLevelState(rig));
  const kis::DataBuffer* again = rig.store.slots[0][0];
  EXPECT_EQ(std::vector<u8>(again->Records(), again->Records() + again->recordSize), records);

  MapPlayer& player = *rig.player;
  player.DeleteAllJobs();
  std::vector<u8> r = Record(0, wheat->id, 0);
  EXPECT_TRUE(LoadFeedJob(player, r.data(), kFeedJobRecordSize)) << "nothing carried yet";
  EXPECT_FALSE(LoadFeedJob(player, r.data(), kFeedJobRecordSize - 8)) << "size";
  for (const std::vector<u8>& bad : {Record(1, wheat->id, 3), Record(0, wheat->id + 1, 3), Record(0, wheat->id, 2),
                                     Record(0, wheat->id, 3, 50)})
    EXPECT_FALSE(LoadFeedJob(player, bad.data(), kFeedJobRecordSize));
}

}  // namespace

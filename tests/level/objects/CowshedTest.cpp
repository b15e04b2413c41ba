// The cow shed on a level with a player and its cow heads: the milk filling
// on the shed's rate, the trough, the heads eating and calling, the milk
// stored one unit per cow or left when there is no room, and the saved shed
// with its heads and their jobs in every phase, each misfit refused.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>
#include <vector>

#include "../CareRig.h"
#include "../HudReadBack.h"
#include "base/LittleEndian.h"
#include "base/Random.h"
#include "base/Strings.h"
#include "level/objects/PointCowshed.h"
#include "level/rules/WarehouseStock.h"
#include "level/state/JobRecord.h"

using namespace leveltest;

namespace {

struct ShedRig : CareRig {
  using MapRig::MakeMapSprite;
};

struct Cowshed : ::testing::Test {
  Cowshed() {
    rig.level.LoadKinds({}, {{u"cowshed", 4, true, kBuildingAnimalHouse}});
    shed = rig.level.kinds.Building(u"cowshed");
    wheat = rig.level.Product(u"wheat");
    milk = rig.level.Product(u"egg");
    shed->feedProduct = wheat;
    shed->producedProduct = milk;
    shed->house.feedProduct = wheat->id;
    shed->house.producedProduct = milk->id;
    shed->house.feedTime = 100;
    shed->house.timings[0] = 3000;
    shed->house.timings[3] = 500;
    kis::StrCopy(shed->house.feedAnimation, kKindNameSize, u"girl_build");
    MapSprite* trough = rig.MakeMapSprite(u"trough", 30, 10, 5, false);
    MapSprite* building = rig.MakeMapSprite(u"cowshed_1", 100, 80, 1, false);
    building->SetSecondPoint(0, 30);  // the building sorts 30 below its hot spot
    for (BUILDINGLEVEL& l : shed->levels) {
      l.mapSprite = building;
      l.trough = trough;
      l.house.feedAmount = 2;
      l.house.troughOffset[0] = 40;
      l.house.troughOffset[1] = 30;
      l.house.feedSpot[1] = 60;
      for (i32 i = 0; i < kMaxCowHeads; ++i) {
        l.house.spots[2 * i] = -30 + 20 * i;
        l.house.spots[2 * i + 1] = 10;
      }
    }
    cow = new GameCharacter(u"cowhead", 2, 1);
    rig.descriptions.Add(cow);
    cow->SetSkinCount(1);
    for (const wchar* name : {u"cowhead", u"cowhead_eat", u"cowhead_yelling", u"cowhead_milk"}) {
      auto* a = new GameAnimation(name, 8);
      a->SetTiming(kAnimLoop, 100, 400);
      cow->AddToSkin(0, a);
    }
    shed->character = cow;
    auto* milking = new GameAnimation(kMilkCowsAnimation, 8);
    milking->SetTiming(kAnimLoop, 100, 400);
    rig.girl->AddToSkin(0, milking);
    rig.classes.make = [](LevelMap& map, PointClass c, void* record) -> LevelPoint* {
      if (!record) return nullptr;
      if (c == kPointCowshed) return new PointCowshed(map, static_cast<BUILDING*>(record));
      return new PointPetshouse(map, static_cast<BUILDING*>(record));
    };
    rig.classes.loadJob = [](u32 id, MapPlayer& player, const u8* record, u32 size) {
      if (id == kJobMilkCows) return LoadMilkJob(player, record, size);
      return id == kJobFeed && LoadFeedJob(player, record, size);
    };
  }
  static POINTDEF Def(i32 level, i32 x) { return POINTDEF{3, level, kis::NameId(u"cowshed"), 0, {0, 0}, x, 300, 0}; }
  void FeedAndFill() {
    Stock().Add(wheat, 2, false);
    Shed()->Feed();
    ASSERT_GT(rig.TickUntil([&] { return Shed()->IsMilkReady() && Shed()->GetMilkButton(); }), 0);
  }
  i32 MilkStep() { return Shed()->GetMilkJob() ? Shed()->GetMilkJob()->GetStep() : -1; }
  bool PlayerIdle() { return rig.player->GetJobs().GetCount() == 0; }
  PointCowshed* Shed() { return dynamic_cast<PointCowshed*>(rig.map->GetPoint(0)); }
  WarehouseStock& Stock() { return *rig.level.rules->Stock(); }
  u16 HeadJob(i32 slot) {
    const MapCowHead* h = Shed()->GetCowHead(slot);
    for (i32 i = h ? h->GetJobs().GetCount() - 1 : -1; i >= 0; --i)
      if (!h->GetJobs()[i]->HasEnded()) return h->GetJobs()[i]->GetJobId();
    return 0;
  }
  ShedRig rig;
  BUILDING* shed = nullptr;
  PRODUCT* wheat = nullptr;
  PRODUCT* milk = nullptr;
  GameCharacter* cow = nullptr;
};

TEST_F(Cowshed, MilkFillsOnTheRateThenHeadsCallAndEachCowGivesAUnit) {
  kis::srand(7);
  rig.Build({Def(2, 400)});
  PointCowshed* s = Shed();
  ASSERT_NE(s, nullptr);
  Stock().Add(wheat, 2, false);
  s->Feed();
  ASSERT_GT(rig.TickUntil([&] { return s->IsFed(); }), 0);
  ASSERT_EQ(s->GetCowCount(), 2);
  EXPECT_EQ(s->GetCowHead(2), nullptr);
  // The heads stand in front of the shed's building, each further slot a step back.
  ASSERT_NE(s->GetMapBuilding(), nullptr);
  const i32 building = s->GetMapBuilding()->GetSortOffsetY();
  ASSERT_NE(building, 0);
  for (i32 slot = 0; slot < 2; ++slot) {
    const MapCowHead* h = s->GetCowHead(slot);
    EXPECT_EQ(h->GetKind(), kObjectCowHead);
    EXPECT_EQ(h->GetSortOffsetY(), 300 - static_cast<i32>(h->GetY()) + 10 + building - slot) << slot;
  }
  // 3,000 ms at the shed's rate 2: 20 ms of milk a 10 ms tick.
  s->SetRateModifier(0x77, false, 2.0f);
  s->SetFed(true, false);
  rig.Tick(2);
  EXPECT_EQ(HeadJob(0), kJobCowHeadEat);
  EXPECT_EQ(HeadJob(1), kJobCowHeadEat);
  EXPECT_EQ(s->GetTrough()->FrameState().frame, 4);
  EXPECT_EQ(rig.TickUntil([&] { return s->IsMilkReady(); }) + 2, 150);
  EXPECT_EQ(s->GetTrough()->FrameState().frame, 0);
  EXPECT_FALSE(s->IsFilling());
  EXPECT_EQ(s->GetFeedButton(), nullptr) << "a shed with its milk ready takes no feed";
  EXPECT_EQ(s->GetCowCount(), 2);
  EXPECT_GE(s->GetCallTimer(), 0.0f);
  // Calls 10,000 + 100 x (0..99) ms of shed time apart, each by a head, each
  // waiting out its own timer: at the shed's rate 50 a tick takes 500 ms.
  s->SetRateModifier(0x77, false, 50.0f);
  std::set<i32> steps;
  float last = -1.0f;
  i32 calls = 0, since = 0;
  for (i32 t = 0; t < 4000 && calls < 40; ++t) {
    const float before = s->GetCallTimer();
    rig.Tick();
    ++since;
    const float now = s->GetCallTimer();
    if (now <= before) continue;
    const i32 step = static_cast<i32>(now) - 10000;
    EXPECT_EQ(static_cast<float>(10000 + step), now);
    EXPECT_EQ(step % 100, 0) << now;
    EXPECT_GE(step, 0);
    EXPECT_LE(step, 9900);
    if (last >= 0.0f) {
      EXPECT_EQ(since, static_cast<i32>(std::ceil(last / 500.0f))) << last;
    }
    EXPECT_TRUE(HeadJob(0) == kJobCowHeadYelling || HeadJob(1) == kJobCowHeadYelling);
    steps.insert(step / 100);
    last = now;
    since = 0;
    ++calls;
  }
  EXPECT_EQ(calls, 40);
  EXPECT_GE(steps.size(), 20u) << "the spacing varies";
  ASSERT_FALSE(steps.empty());
  EXPECT_LE(*steps.begin(), 10) << "over the whole range";
  EXPECT_GE(*steps.rbegin(), 89);
  s->SetRateModifier(0x77, false, 2.0f);
  s->SetMilking(true);
  EXPECT_EQ(HeadJob(0), kJobCowHeadMilk);
  s->SetMilking(false);
  EXPECT_NE(HeadJob(1), kJobCowHeadMilk);
  // No room keeps the milk ready; room stores one unit per cow.
  Stock().Add(milk, Stock().GetCapacity(milk), false);
  EXPECT_FALSE(s->CollectProducts(nullptr));
  EXPECT_TRUE(s->IsMilkReady());
  Stock().Take(milk, 2);
  EXPECT_TRUE(s->CollectProducts(nullptr));
  EXPECT_EQ(Stock().GetCount(milk), Stock().GetCapacity(milk));
  EXPECT_FALSE(s->IsFedFlag());
  EXPECT_EQ(s->GetCowCount(), 0);
  EXPECT_NE(s->GetFeedButton(), nullptr);
  EXPECT_LT(s->GetCallTimer(), 0.0f);
  // A milk time of 0 is ready on the first tick.
  shed->house.timings[0] = 0;
  s->SetFed(true, false);
  EXPECT_GT(rig.TickUntil([&] { return s->IsMilkReady(); }, 5), 0);
  // The cows going in take the arrow with them: it shrinks away after their delay.
  const ASSArrowButton* arrow = s->GetMilkButton();
  ASSERT_NE(arrow, nullptr);
  s->StopAnimals(true, false, 120);
  EXPECT_EQ(Showing(arrow), "hide arrow for good after 120 style 3 for 200");
  EXPECT_EQ(s->GetCowCount(), 0);
}

TEST_F(Cowshed, MilkingWalksInMilksAndWalksOutAndACancelInsideStillWalksOut) {
  kis::srand(11);
  rig.Build({Def(2, 400)});
  PointCowshed* s = Shed();
  FeedAndFill();
  i32 outX, outY;
  s->GetOutsideSpot(&outX, &outY);
  EXPECT_EQ(outX, 510);
  EXPECT_EQ(outY, 299);
  // Cancelled inside: she walks out before the job ends, nothing stored, the arrow back.
  EXPECT_EQ(CareRig::Click(s->GetMilkButton()), kScreenClickSound);
  EXPECT_EQ(s->GetMilkButton(), nullptr);
  ASSERT_GT(rig.TickUntil([&] { return MilkStep() == 3 && HeadJob(0) == kJobCowHeadMilk; }), 0);
  EXPECT_EQ(rig.player->GetCounter(), 1);
  Job* job = rig.player->GetJobs()[0];
  job->Finish();
  EXPECT_FALSE(job->HasEnded());
  EXPECT_EQ(job->GetStep(), 4);
  rig.Tick(3);
  EXPECT_TRUE(job->Finish());
  EXPECT_FALSE(job->HasEnded()) << "cancelled on her way out, she still walks out";
  EXPECT_EQ(job->GetStep(), 4);
  EXPECT_EQ(s->GetMilkJob(), nullptr);
  EXPECT_NE(s->GetMilkButton(), nullptr);
  EXPECT_NE(HeadJob(0), kJobCowHeadMilk);
  ASSERT_GT(rig.TickUntil([&] { return PlayerIdle(); }), 0);
  EXPECT_NEAR(rig.player->GetX(), outX, 3.0f);
  EXPECT_NEAR(rig.player->GetY(), outY, 3.0f);
  EXPECT_EQ(rig.player->GetCounter(), 0);
  EXPECT_EQ(Stock().GetCount(milk), 0);
  EXPECT_TRUE(s->IsMilkReady());
  // A full room keeps the milk ready and the arrow comes back after the walk out.
  Stock().Add(milk, Stock().GetCapacity(milk), false);
  CareRig::Click(s->GetMilkButton());
  ASSERT_GT(rig.TickUntil([&] { return MilkStep() == -1; }), 0);
  EXPECT_TRUE(s->IsMilkReady());
  EXPECT_NE(s->GetMilkButton(), nullptr);
  ASSERT_GT(rig.TickUntil([&] { return PlayerIdle(); }), 0);
  // With room a level-2 shed gives 2 milk; standing at the door she goes straight in.
  Stock().Take(milk, Stock().GetCapacity(milk));
  CareRig::Click(s->GetMilkButton());
  rig.Tick();
  EXPECT_EQ(MilkStep(), 2);
  ASSERT_GT(rig.TickUntil([&] { return Stock().GetCount(milk) == 2; }), 0);
  EXPECT_FALSE(s->IsFedFlag());
  EXPECT_EQ(s->GetMilkButton(), nullptr);
  ASSERT_FALSE(PlayerIdle());
  EXPECT_EQ(rig.player->GetJobs()[0]->GetStep(), 4);
  ASSERT_GT(rig.TickUntil([&] { return PlayerIdle(); }), 0);
  EXPECT_NEAR(rig.player->GetX(), outX, 3.0f);
  EXPECT_NE(s->GetFeedButton(), nullptr);
}

TEST_F(Cowshed, SavedMilkingComesBackEqualInEveryStepAndMisfitsAreRefused) {
  kis::srand(5);
  rig.Build({Def(1, 400)});
  FeedAndFill();
  CareRig::Click(Shed()->GetMilkButton());
  // Each step saved once its motion runs (a job's animation waits for the
  // turn to its facing; a loaded one plays at once).
  std::vector<u8> seen[5];
  i32 last = -1, ticks = 0;
  for (i32 n = 0; n < 3000 && !PlayerIdle(); ++n) {
    const i32 step = rig.player->GetJobs()[0]->GetStep();
    ticks = step == last ? ticks + 1 : 0;
    last = step;
    const bool milking = kis::StrCompareW(rig.player->GetAnimationName(), kMilkCowsAnimation) == 0;
    if (step >= 1 && step <= 4 && seen[step].empty() && ticks >= 2 && (step != 3 || milking)) {
      seen[step] = rig.SavedBytes();
      ASSERT_TRUE(LoadLevelState(rig)) << step;
      EXPECT_EQ(rig.SavedBytes(), seen[step]) << step;
      EXPECT_EQ(rig.player->GetCounter(), step >= 2 ? 1 : 0) << step;
    }
    rig.Tick();
  }
  EXPECT_EQ(Stock().GetCount(milk), 1);
  for (i32 step = 1; step <= 4; ++step) EXPECT_FALSE(seen[step].empty()) << step;

  // The job record in the milking step: each misfit fails the load.
  FeedAndFill();
  CareRig::Click(Shed()->GetMilkButton());
  ASSERT_GT(rig.TickUntil([&] { return MilkStep() == 3; }), 0);
  ASSERT_TRUE(SaveLevelState(rig));
  const leveltest::Saved milking = Copy(*rig.store.slots[0][0]);
  size_t job = 0;
  while (job + 52 <= milking.records.size() && !(kis::GetU32LE(&milking.records[job]) == kMilkJobRecordSize &&
                                                  kis::GetU16LE(&milking.records[job + 4]) == kJobMilkCows))
    ++job;
  ASSERT_LE(job + 52, milking.records.size());
  for (i32 k = 0; k < 5; ++k) {
    leveltest::Saved bad = milking;
    u8* r = &bad.records[job];
    if (k == 0) kis::PutU32LE(r, 48);
    if (k == 1) kis::PutI32LE(r + 40, 7);
    if (k == 2) kis::PutI32LE(r + 44, 290);
    if (k == 3) kis::PutI32LE(r + 40, -1);
    if (k == 4) kis::PutI32LE(r + 48, 300);
    delete rig.store.slots[0][0];
    rig.store.slots[0][0] = Make(bad);
    EXPECT_FALSE(LoadLevelState(rig)) << k;
  }
  delete rig.store.slots[0][0];
  rig.store.slots[0][0] = Make(milking);
  ASSERT_TRUE(LoadLevelState(rig));
  EXPECT_EQ(MilkStep(), 3);
  EXPECT_EQ(HeadJob(0), kJobCowHeadMilk);
}

TEST_F(Cowshed, SavedShedAndHeadsComeBackEqualAndEachMisfitFailsTheLoad) {
  rig.Build({Def(3, 400)});
  const std::vector<u8> unfed = rig.SavedBytes();
  ASSERT_TRUE(LoadLevelState(rig));
  EXPECT_EQ(rig.SavedBytes(), unfed);
  Stock().Add(wheat, 2, false);
  Shed()->Feed();
  ASSERT_GT(rig.TickUntil([&] { return Shed()->IsFed(); }), 0);
  rig.Tick(30);
  const std::vector<u8> filling = rig.SavedBytes();
  ASSERT_TRUE(LoadLevelState(rig));
  EXPECT_EQ(Shed()->GetCowCount(), 3);
  EXPECT_EQ(rig.SavedBytes(), filling);
  ASSERT_GT(rig.TickUntil([&] { return Shed()->IsMilkReady(); }), 0);
  rig.Tick(3);
  const std::vector<u8> ready = rig.SavedBytes();
  ASSERT_TRUE(LoadLevelState(rig));
  EXPECT_TRUE(Shed()->IsMilkReady());
  EXPECT_GE(Shed()->GetCallTimer(), 0.0f) << "a shed loaded with its milk ready calls";
  EXPECT_EQ(rig.SavedBytes(), ready);
  Shed()->SetMilking(true);
  const std::vector<u8> milking = rig.SavedBytes();
  ASSERT_TRUE(LoadLevelState(rig));
  EXPECT_EQ(HeadJob(2), kJobCowHeadMilk);
  EXPECT_EQ(rig.SavedBytes(), milking);

  // Each misfit of the shed record or a head's job fails the whole load.
  ASSERT_TRUE(SaveLevelState(rig));
  const Saved saved = Copy(*rig.store.slots[0][0]);
  const std::vector<u8>& data = saved.data;
  const std::vector<u8>& records = saved.records;
  size_t at = 0;
  while (at + 20 <= data.size() &&
         !(kis::GetU32LE(&data[at]) == kCowshedRecordSize && kis::GetU32LE(&data[at + 4]) == 1 &&
           kis::GetU32LE(&data[at + 16]) == 3))
    ++at;
  ASSERT_LT(at + 20, data.size());
  size_t job = 0;
  while (job + 6 <= records.size() && kis::GetU16LE(&records[job + 4]) != kJobCowHeadMilk) ++job;
  ASSERT_LT(job + 6, records.size());
  for (i32 k = 0; k < 7; ++k) {
    Saved bad = saved;
    std::vector<u8>& d = bad.data;
    std::vector<u8>& r = bad.records;
    if (k == 0) kis::PutU32LE(&d[at], 20);
    if (k == 1) kis::PutF32LE(&d[at + 8], std::nanf(""));
    if (k == 2) kis::PutF32LE(&d[at + 8], 1.5f);
    if (k == 3) kis::PutU32LE(&d[at + 16], 2);
    if (k == 4) kis::PutF32LE(&d[at + 12], -5.0f);
    if (k == 5) kis::PutU16LE(&r[job + 4], 0x1484);
    if (k == 6) kis::PutU32LE(&d[at + 4], 2);
    EXPECT_FALSE(rig.LoadFrom(bad)) << k;
  }
  EXPECT_TRUE(rig.LoadFrom(saved));
  EXPECT_EQ(rig.SavedBytes(), milking);
}

}  // namespace

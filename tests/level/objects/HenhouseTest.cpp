// The chicken house on a level with a player and its chickens: the fed
// cycle's timers and phases, the trough and progress readings, the egg and
// wander spots over many seeds, a whole cycle laying an egg per level that
// the player collects (stored, partly sold, or left when there is no room),
// suspension, and the saved house with its chickens and jobs in every phase.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "../CareRig.h"
#include "base/LittleEndian.h"
#include "base/Random.h"
#include "base/Strings.h"
#include "level/objects/MapChicken.h"
#include "level/objects/PointHenhouse.h"
#include "level/rules/WarehouseStock.h"

using namespace leveltest;

namespace {

struct HenRig : CareRig {
  using MapRig::MakeMapSprite;
};

struct Henhouse : ::testing::Test {
  Henhouse() {
    rig.level.LoadKinds({}, {{u"henhouse", 4, true, kBuildingAnimalHouse}, {u"cowshed", 4, true, kBuildingAnimalHouse}});
    hen = rig.level.kinds.Building(u"henhouse");
    wheat = rig.level.Product(u"wheat");
    egg = rig.level.Product(u"egg");
    egg->mapSprite = rig.MakeMapSprite(u"egg", 40, 10, 4, false);
    hen->nest = rig.MakeMapSprite(u"henhouse_nest", 30, 20, 1, false);
    hen->feedProduct = wheat;
    hen->producedProduct = egg;
    hen->house.feedProduct = wheat->id;
    hen->house.producedProduct = egg->id;
    hen->house.feedTime = 100;
    hen->house.timings[0] = 3000;
    hen->house.timings[2] = 1000;
    hen->house.timings[3] = 200;
    kis::StrCopy(hen->house.feedAnimation, kKindNameSize, u"girl_build");
    for (i32 i = 0; i < kMaxChickens; ++i) {
      kis::PutI32LE(hen->house.houseBytes + 8 * i, -30 + 20 * i);
      kis::PutI32LE(hen->house.houseBytes + 8 * i + 4, 20);
    }
    MapSprite* trough = rig.MakeMapSprite(u"trough", 30, 10, 3, false);
    for (BUILDINGLEVEL& l : hen->levels) {
      l.trough = trough;
      l.house.feedAmount = 3;
      l.house.troughOffset[0] = 40;
      l.house.troughOffset[1] = 30;
      l.house.feedSpot[1] = 60;
      for (i32 i = 0; i < kMaxChickens; ++i) {
        l.house.spots[2 * i] = 20 + 12 * i;
        l.house.spots[2 * i + 1] = 40;
      }
    }
    chicken = new GameCharacter(u"chicken", 2, 1);
    rig.descriptions.Add(chicken);
    chicken->speed = 2.0f;
    for (i16& f : chicken->foot) f = 3;
    chicken->SetSkinCount(1);
    for (const wchar* name : {u"chicken_stand", u"chicken_walk", u"chicken_eat"}) {
      auto* a = new GameAnimation(name, 8);
      a->SetTiming(kAnimLoop, 100, 400);
      chicken->AddToSkin(0, a);
    }
    chicken->walkIndex = 1;
    hen->character = chicken;
    rig.classes.make = [](LevelMap& map, PointClass c, void* record) -> LevelPoint* {
      if (!record) return nullptr;
      if (c == kPointHenhouse) return new PointHenhouse(map, static_cast<BUILDING*>(record));
      return new PointPetshouse(map, static_cast<BUILDING*>(record));
    };
    rig.classes.loadJob = [](u32 id, MapPlayer& player, const u8* record, u32 size) {
      if (id == kJobFeed) return LoadFeedJob(player, record, size);
      return id == kJobTakeEggs && LoadTakeEggsJob(player, record, size);
    };
  }
  static POINTDEF Def(const wchar* name, i32 level, i32 x, u8 mark = 0) {
    return POINTDEF{3, level, kis::NameId(name), 0, {0, 0}, x, 300, mark};
  }
  PointHenhouse* House() { return dynamic_cast<PointHenhouse*>(rig.map->GetPoint(0)); }
  WarehouseStock& Stock() { return *rig.level.rules->Stock(); }
  // The house fed through the player, ticked until its chickens are out.
  void Feed() {
    Stock().Add(wheat, 3, false);
    House()->Feed();
    ASSERT_GT(rig.TickUntil([&] { return House()->IsFed(); }), 0);
  }
  i32 TickToPhase(u32 phase) {
    return rig.TickUntil([&] { return House()->GetCycle().phase == phase; });
  }
  HenRig rig;
  BUILDING* hen = nullptr;
  PRODUCT* wheat = nullptr;
  PRODUCT* egg = nullptr;
  GameCharacter* chicken = nullptr;
};

TEST_F(Henhouse, FedTimersTroughFramesAndProgressFollowTheCycle) {
  rig.Build({Def(u"henhouse", 1, 400)});
  PointHenhouse* house = House();
  ASSERT_NE(house, nullptr);
  struct Case {
    u32 t, e;
    float timers[4];
  };
  for (const Case& c : {Case{30000, 5000, {19840, 5000, 4960, 200}}, Case{5000, 5000, {0, 5000, 0, 200}},
                        Case{0, 0, {0, 0, 0, 200}}}) {
    hen->house.timings[0] = c.t;
    hen->house.timings[2] = c.e;
    house->SetFed(true, false);
    for (i32 i = 0; i < 4; ++i) EXPECT_EQ(house->GetCycle().timers[i], c.timers[i]) << c.t << " " << i;
    EXPECT_EQ(house->GetCycle().phase, 0u);
    EXPECT_TRUE(std::isfinite(house->GetProgressPercent()));
  }
  hen->house.timings[0] = 30000;
  hen->house.timings[2] = 5000;
  house->SetFed(true, false);
  HENCYCLE& cycle = house->Cycle();
  const SpriteFrameState& trough = house->GetTrough()->FrameState();
  for (const auto& [t1, frame] : {std::pair{5000.0f, 2}, {2500.0f, 1}, {2499.0f, 1}, {1.0f, 1}, {0.0f, 0}}) {
    cycle.timers[1] = t1;
    house->ShowFeedLevel();
    EXPECT_EQ(trough.frame, frame) << t1;
  }
  cycle.phase = 2;
  cycle.timers[2] = 2480;
  EXPECT_FLOAT_EQ(house->GetProgressPercent(), 100.0f - 100.0f * (2480 + 200) / 30000);
  cycle.phase = 4;
  EXPECT_FLOAT_EQ(house->GetProgressPercent(), 100.0f);
  house->SetFed(false, false);
  house->ShowFeedLevel();
  EXPECT_EQ(trough.frame, 0) << "an unfed trough is empty";
}

TEST_F(Henhouse, EggSpotsAndWanderSpotsKeepTheirBoundsOverAThousandSeeds) {
  rig.Build({Def(u"henhouse", 4, 400)});
  PointHenhouse* house = House();
  house->SetFed(true, false);
  rig.Tick(2);
  ASSERT_EQ(house->GetChickenCount(), 4);
  i32 cx, cy;
  house->GetNestCentre(&cx, &cy);
  for (u32 seed = 1; seed <= 1000; ++seed) {
    kis::srand(seed);
    house->SetFed(true, false);
    const auto& spots = house->GetCycle().eggSpots;
    for (i32 i = 0; i < kMaxChickens; ++i) {
      const float dx = static_cast<float>(spots[i][0] - cx) / 17, dy = static_cast<float>(spots[i][1] - cy) / 10;
      EXPECT_LE(dx * dx + dy * dy, 1.0f) << seed;
      for (i32 k = 0; k < i; ++k)
        EXPECT_GE(std::hypot(spots[i][0] - spots[k][0], spots[i][1] - spots[k][1]), 8.0) << seed;
    }
    MapChicken* c = house->GetChicken(static_cast<i32>(seed % 4));
    c->DeleteAllJobs();
    c->Wander();
    if (c->GetJobs().GetCount() == 0) continue;  // no spot this time: a retry soon
    const float x = c->GetTargetX(), y = c->GetTargetY();
    const float ex = (x - 400) / 80, ey = (y - 300) / 54;
    EXPECT_LE(ex * ex + ey * ey, 1.0f);
    EXPECT_GE(std::hypot(x - c->GetX(), y - c->GetY()), 32.0f);
    EXPECT_EQ(rig.pathFinder->GridShapeAt(c->GetGrid(), static_cast<i32>(x), static_cast<i32>(y)), nullptr);
    for (i32 k = 0; k < kMaxChickens; ++k)
      if (house->GetChicken(k) != c) {
        EXPECT_GE(std::hypot(x - house->GetChicken(k)->GetTargetX(), y - house->GetChicken(k)->GetTargetY()), 32.0f);
      }
    c->DeleteAllJobs();
  }
}

// The nest and the eggs about it lie 8 to the other side of a mirrored
// house; a point of attribute 7 lays the eggs' odd frames.
TEST_F(Henhouse, AMirroredHouseHasItsNestOnTheOtherSideAndAttributeSevenLaysOddFrames) {
  hen->mirrorRule[0] = 1;  // the level's request stands
  rig.Build({Def(u"henhouse", 4, 400, 1), Def(u"henhouse", 1, 900)});
  PointHenhouse* house = House();
  auto* plain = dynamic_cast<PointHenhouse*>(rig.map->GetPoint(1));
  ASSERT_TRUE(house->IsMirrored());
  ASSERT_FALSE(plain->IsMirrored());
  i32 cx, cy;
  house->GetNestCentre(&cx, &cy);
  EXPECT_EQ(cx, 392);
  EXPECT_EQ(cy, 330);
  ASSERT_NE(house->GetNest(), nullptr);
  EXPECT_EQ(house->GetNest()->GetX(), 392);
  EXPECT_TRUE(house->GetNest()->GetMirror());
  plain->GetNestCentre(&cx, &cy);
  EXPECT_EQ(cx, 908);
  EXPECT_FALSE(plain->GetNest()->GetMirror());

  house->SetCursor(kPointCursor, 7);
  house->SetFed(true, false);
  rig.Tick(2);
  ASSERT_EQ(house->GetChickenCount(), 4);
  house->ChangePhase(kPhaseEggs);
  ASSERT_EQ(house->GetEggs().GetCount(), 4);
  for (i32 i = 0; i < 4; ++i) {
    const SpriteObject* laid = house->GetEggs()[i];
    EXPECT_EQ(laid->FrameState().frame % 2, 1) << i;
    const float dx = static_cast<float>(laid->GetX() - 392) / 17, dy = static_cast<float>(laid->GetY() - 330) / 10;
    EXPECT_LE(dx * dx + dy * dy, 1.0f) << i;
  }
}

TEST_F(Henhouse, ALevelThreeHouseLaysThreeEggsThatAreStoredSoldOrLeftByRoom) {
  rig.Build({Def(u"henhouse", 3, 400)});
  Feed();
  PointHenhouse* house = House();
  rig.Tick(3);
  EXPECT_EQ(house->GetChickenCount(), 3);
  ASSERT_GT(TickToPhase(1), 0);
  // The meal's clock waits for the last chicken at the trough.
  while (house->GetCycle().phase == 1) {
    bool all = true;
    for (i32 i = 0; i < 3; ++i) all = all && house->GetChicken(i)->IsAtSpot();
    const float before = house->GetCycle().timers[1];
    rig.Tick();
    if (!all && house->GetCycle().phase == 1) {
      EXPECT_EQ(house->GetCycle().timers[1], before);
    }
  }
  // Suspended, the chickens stay and the clock stops; resumed, they eat again.
  ASSERT_GT(TickToPhase(3), 0);
  house->Suspend();
  const float held = house->GetCycle().timers[3];
  rig.Tick(20);
  EXPECT_EQ(house->GetChickenCount(), 3);
  EXPECT_EQ(house->GetCycle().timers[3], held);
  EXPECT_EQ(house->GetChicken(0)->GetEggJob(), nullptr);
  house->Resume();
  EXPECT_GT(rig.TickUntil([&] { return house->GetChicken(0)->GetEggJob() != nullptr; }, 20), 0);

  ASSERT_GT(TickToPhase(kPhaseEggs), 0);
  EXPECT_EQ(house->GetCycle().eggCount, 3u);
  EXPECT_EQ(house->GetEggs().GetCount(), 3);
  EXPECT_EQ(house->GetChickenCount(), 0);
  EXPECT_FALSE(house->IsFed());
  EXPECT_EQ(house->GetFeedButton(), nullptr) << "no feeding while eggs wait";
  ASSERT_NE(house->GetTakeEggsButton(), nullptr);
  for (i32 i = 0; i < house->GetEggs().GetCount(); ++i) EXPECT_EQ(house->GetEggs()[i]->FrameState().frame % 2, 0);

  Stock().Add(egg, 10, false);  // no room: the eggs stay, the arrow comes back
  CareRig::Click(house->GetTakeEggsButton());
  ASSERT_NE(house->GetTakeEggsJob(), nullptr);
  ASSERT_GT(rig.TickUntil([&] { return house->GetTakeEggsJob() == nullptr; }), 0);
  EXPECT_EQ(house->GetCycle().eggCount, 3u);
  ASSERT_NE(house->GetTakeEggsButton(), nullptr);

  Stock().Take(egg, 1);  // one unit of room: one stored, two sold
  const i32 money = rig.level.rules->Money().Get();
  CareRig::Click(house->GetTakeEggsButton());
  ASSERT_GT(rig.TickUntil([&] { return house->GetTakeEggsJob() == nullptr; }), 0);
  EXPECT_EQ(Stock().GetCount(egg), 10);
  EXPECT_EQ(rig.level.rules->Money().Get(), money + 2 * egg->price);
  EXPECT_EQ(house->GetCycle().eggCount, 0u);
  EXPECT_EQ(house->GetTakeEggsButton(), nullptr);
  EXPECT_FALSE(house->IsFedFlag());
  EXPECT_NE(house->GetFeedButton(), nullptr);
}

TEST_F(Henhouse, SavedHousesChickensAndJobsComeBackEqualInEveryPhase) {
  rig.Build({Def(u"henhouse", 2, 400), Def(u"cowshed", 1, 900)});
  Feed();
  for (u32 phase = 0; phase <= kPhaseEggs; ++phase) {
    ASSERT_GE(TickToPhase(phase), 0) << phase;
    rig.Tick(phase == 1 || phase == 3 ? 40 : 5);  // the chickens walking to their spots
    const std::vector<u8> before = rig.SavedBytes();
    ASSERT_TRUE(LoadLevelState(rig)) << phase;
    EXPECT_EQ(House()->GetCycle().phase, phase);
    EXPECT_EQ(rig.SavedBytes(), before) << phase;
  }
  // The player on her way to the eggs comes back with her job.
  CareRig::Click(House()->GetTakeEggsButton());
  rig.Tick(2);
  const std::vector<u8> taking = rig.SavedBytes();
  ASSERT_TRUE(LoadLevelState(rig));
  ASSERT_NE(House()->GetTakeEggsJob(), nullptr);
  EXPECT_EQ(rig.SavedBytes(), taking);

  // A take-eggs record naming the cow shed, or a house without eggs, is refused.
  std::vector<u8> r(kPointJobRecordSize, 0);
  kis::PutU32LE(r.data(), kPointJobRecordSize);
  kis::PutU16LE(r.data() + 4, kJobTakeEggs);
  kis::PutU32LE(r.data() + 40, 1);
  EXPECT_FALSE(LoadTakeEggsJob(*rig.player, r.data(), kPointJobRecordSize));
  kis::PutU32LE(r.data() + 40, 0);
  EXPECT_TRUE(LoadTakeEggsJob(*rig.player, r.data(), kPointJobRecordSize - 0));
  EXPECT_FALSE(LoadTakeEggsJob(*rig.player, r.data(), kPointJobRecordSize - 4));

  // Each misfit of the house record fails the whole load.
  ASSERT_TRUE(SaveLevelState(rig));
  const Saved pristine = Copy(*rig.store.slots[0][0]);
  const std::vector<u8>& data = pristine.data;
  size_t at = 0;
  while (at + 12 <= data.size() && !(kis::GetU32LE(&data[at]) == kHenhouseRecordSize &&
                                     kis::GetU32LE(&data[at + 4]) == 1 && kis::GetU32LE(&data[at + 8]) == kPhaseEggs))
    ++at;
  ASSERT_LT(at + kHenhouseRecordSize, data.size());
  for (i32 k = 0; k < 4; ++k) {
    Saved bad = pristine;
    u8* record = bad.data.data() + at;
    if (k == 0) kis::PutU32LE(record, 60);
    if (k == 1) kis::PutF32LE(record + 12, std::nanf(""));
    if (k == 2) kis::PutU32LE(record + 60, 1);  // the replayed phase lays two
    if (k == 3) kis::PutU32LE(record + 8, 5);
    EXPECT_FALSE(rig.LoadFrom(bad)) << k;
  }
  EXPECT_TRUE(rig.LoadFrom(pristine));
}

}  // namespace

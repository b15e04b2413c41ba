// The sheep pen on a level with a player and its sheep: the wool growing on
// the rates, the sheep grazing, dressing, bleating and idling, the shearing
// that stores a unit a sheep (or is cancelled and offered again), the
// animation names of the skins and the heads, and the saved pen with its
// sheep and jobs in every phase, each misfit refused.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "../CareRig.h"
#include "../HudReadBack.h"
#include "base/LittleEndian.h"
#include "base/Random.h"
#include "base/Strings.h"
#include "content/LevelRates.h"
#include "level/objects/MapSheep.h"
#include "level/objects/PointSheepRack.h"
#include "level/rules/WarehouseStock.h"

using namespace leveltest;

namespace {

struct PenRig : CareRig {
  using MapRig::MakeMapSprite;
};

GameAnimation* Animation(const wchar* name, u32 frameTime = 100, u32 total = 400) {
  auto* a = new GameAnimation(name, 8);
  a->SetTiming(kAnimLoop, frameTime, total);
  return a;
}

struct SheepRack : ::testing::Test {
  SheepRack() {
    rig.level.LoadKinds({}, {{u"sheep_rack", 4, true, kBuildingAnimalHouse}});
    pen = rig.level.kinds.Building(u"sheep_rack");
    wheat = rig.level.Product(u"wheat");
    wool = rig.level.Product(u"egg");
    pen->feedProduct = wheat;
    pen->producedProduct = wool;
    pen->house.feedProduct = wheat->id;
    pen->house.producedProduct = wool->id;
    pen->house.feedTime = 100;
    pen->house.timings[0] = 60000;
    pen->house.timings[3] = 500;
    pen->workSpot[1] = 60;
    kis::StrCopy(pen->house.feedAnimation, kKindNameSize, u"girl_build");
    MapSprite* trough = rig.MakeMapSprite(u"trough", 30, 10, 5, false);
    for (BUILDINGLEVEL& l : pen->levels) {
      l.trough = trough;
      l.house.feedAmount = 2;
      l.house.troughOffset[0] = 40;
      l.house.troughOffset[1] = 30;
      l.house.feedSpot[1] = 60;
      for (i32 i = 0; i < kMaxSheep; ++i) {
        l.house.spots[2 * i] = -30 + 20 * i;
        l.house.spots[2 * i + 1] = 10;
      }
    }
    // Skin 0 shorn, skin 1 woolly, entries in the same order.
    body = new GameCharacter(u"sheepbody", 4, 1);
    head = new GameCharacter(u"sheephead", kSheepHeadCharacter, 1);
    rig.descriptions.Add(body);
    rig.descriptions.Add(head);
    body->SetSkinCount(2);
    head->SetSkinCount(2);
    for (const wchar* action : {u"_stand", u"_eat", u"_yelling", u"_turnleft", u"_turnright", u"_blink"}) {
      wchar name[kAnimationNameSize];
      for (i32 skin = 0; skin < 2; ++skin) {
        kis::StrCopy(name, kAnimationNameSize, skin == 0 ? u"sheepbody_skin" : u"sheepbody");
        kis::StrCat(name, kAnimationNameSize, action);
        body->AddToSkin(skin, Animation(name));
      }
      kis::StrCopy(name, kAnimationNameSize, u"sheephead");
      kis::StrCat(name, kAnimationNameSize, action);
      GameAnimation* h = Animation(name);
      head->AddToSkin(0, h);
      head->AddToSkin(1, h);
    }
    pen->character = body;
    rig.girl->AddToSkin(0, Animation(kCutSheepAnimation));
    rig.classes.make = [](LevelMap& map, PointClass c, void* record) -> LevelPoint* {
      if (!record) return nullptr;
      if (c == kPointSheepRack) return new PointSheepRack(map, static_cast<BUILDING*>(record));
      return new PointPetshouse(map, static_cast<BUILDING*>(record));
    };
    rig.classes.loadJob = [](u32 id, MapPlayer& player, const u8* record, u32 size) {
      if (id == kJobCutSheeps) return LoadCutSheepsJob(player, record, size);
      return id == kJobFeed && LoadFeedJob(player, record, size);
    };
  }
  static POINTDEF Def(i32 level, i32 x) { return POINTDEF{3, level, kis::NameId(u"sheep_rack"), 0, {0, 0}, x, 300, 0}; }
  PointSheepRack* Pen() { return dynamic_cast<PointSheepRack*>(rig.map->GetPoint(0)); }
  WarehouseStock& Stock() { return *rig.level.rules->Stock(); }
  bool PlayerIdle() { return rig.player->GetJobs().GetCount() == 0; }
  i32 Eating() {
    i32 n = 0;
    for (i32 i = 0; i < kMaxSheep; ++i)
      if (Pen()->GetSheep(i) && Pen()->GetSheep(i)->GetJobId() == kJobSheepEat) ++n;
    return n;
  }
  void Restore(const leveltest::Saved& s) {
    delete rig.store.slots[0][0];
    rig.store.slots[0][0] = Make(s);
  }

  PenRig rig;
  BUILDING* pen = nullptr;
  PRODUCT* wheat = nullptr;
  PRODUCT* wool = nullptr;
  GameCharacter* body = nullptr;
  GameCharacter* head = nullptr;
};

TEST_F(SheepRack, SkinsNameTheBodyAndHeadAnimationsAndIdleSheepTurnOrBlinkAfterTheirDelays) {
  wchar out[kAnimationNameSize];
  SheepBodyName(u"sheepbody_blink", 0, out);
  EXPECT_EQ(kis::StrCompareW(out, u"sheepbody_skin_blink"), 0);
  SheepBodyName(u"sheepbody_blink", 1, out);
  EXPECT_EQ(kis::StrCompareW(out, u"sheepbody_blink"), 0);
  SheepBodyName(kSheepEatAnimation, 0, out);
  EXPECT_EQ(kis::StrCompareW(out, kSheepEatAnimation), 0);
  SheepHeadName(u"sheepbody_blink", out);
  EXPECT_EQ(kis::StrCompareW(out, u"sheephead_blink"), 0);
  SheepHeadName(kSheepEatAnimation, out);
  EXPECT_EQ(kis::StrCompareW(out, u"sheephead_eat"), 0);

  kis::srand(21);
  rig.Build({Def(2, 400)});
  ASSERT_EQ(Pen()->GetSheepCount(), 2);
  MapSheep* sheep = Pen()->GetSheep(0);
  sheep->Play(kJobSheepBlink);
  rig.Tick(2);
  EXPECT_EQ(kis::StrCompareW(sheep->GetAnimationName(), u"sheepbody_skin_blink"), 0);
  EXPECT_EQ(kis::StrCompareW(sheep->GetHead()->GetAnimationName(), u"sheephead_blink"), 0);
  EXPECT_EQ(sheep->GetHead()->GetAnimationState().frames.elapsed, sheep->GetAnimationState().frames.elapsed);
  // Unfed sheep: a turn or a blink 1,000 + 10 x (0..499) ms after the last.
  sheep->FinishJobs(0);
  i32 restarts = 0, kinds = 0;
  for (i32 t = 0; t < 20000 && restarts < 12; ++t) {
    const float before = sheep->GetIdleTimer();
    rig.Tick();
    const float after = sheep->GetIdleTimer();
    if (after > before) {
      ++restarts;
      EXPECT_GE(after, 1000.0f);
      EXPECT_LE(after, 5990.0f);
      EXPECT_EQ(std::fmod(after, 10.0f), 0.0f);
      const u16 id = sheep->GetJobId();
      EXPECT_TRUE(id == kJobSheepTurnLeft || id == kJobSheepTurnRight || id == kJobSheepBlink) << id;
      kinds |= 1 << (id - kJobSheepTurnLeft);
    }
  }
  EXPECT_EQ(restarts, 12);
  EXPECT_EQ(kinds, 7) << "turns both ways and blinks";
}

TEST_F(SheepRack, WoolGrowsBleatsAndIsShornOneUnitASheepOrOfferedAgainWhenCancelled) {
  kis::srand(4);
  rig.Build({Def(3, 400)});
  PointSheepRack* p = Pen();
  ASSERT_EQ(p->GetSheepCount(), 3);
  EXPECT_EQ(p->GetSheep(3), nullptr);
  Stock().Add(wheat, 2, false);
  p->Feed();
  ASSERT_GT(rig.TickUntil([&] { return p->IsGrowing(); }), 0);
  // 60,000 ms at rate 1: 6,000 ticks; the sheep graze once their eat
  // delays (below a second) and any turn or blink are over.
  p->SetFed(true, false);
  EXPECT_LT(p->GetBleatTimer(), 0.0f);
  const i32 grazing = rig.TickUntil([&] { return Eating() == 3; }, 500);
  ASSERT_GT(grazing, 0);
  EXPECT_EQ(p->GetSheep(0)->GetSkin(), 0);
  EXPECT_EQ(rig.TickUntil([&] { return p->IsWoolReady(); }, 7000) + grazing, 6000);
  EXPECT_EQ(Eating(), 0);
  for (i32 i = 0; i < 3; ++i) EXPECT_EQ(p->GetSheep(i)->GetSkin(), 1);
  EXPECT_EQ(p->GetTrough()->FrameState().frame, 0);
  ASSERT_NE(p->GetShearButton(), nullptr);
  EXPECT_EQ(p->GetFeedButton(), nullptr);
  // A bleat every 5,000 ms, by a sheep of the pen.
  i32 bleats = 0, since = 0;
  for (i32 t = 0; t < 3000 && bleats < 4; ++t) {
    const float before = p->GetBleatTimer();
    rig.Tick();
    ++since;
    if (p->GetBleatTimer() > before) {
      if (bleats > 0) {
        EXPECT_EQ(since, 500);
      }
      i32 yelling = 0;
      for (i32 i = 0; i < 3; ++i) yelling += p->GetSheep(i)->GetJobId() == kJobSheepYelling ? 1 : 0;
      EXPECT_GE(yelling, 1);
      ++bleats;
      since = 0;
    }
  }
  EXPECT_EQ(bleats, 4);
  // Cancelled while shearing: the pen stays ready with its arrow.
  EXPECT_EQ(CareRig::Click(p->GetShearButton()), kScreenClickSound);
  EXPECT_EQ(p->GetShearButton(), nullptr);
  ASSERT_GT(rig.TickUntil([&] { return p->GetCutJob() && p->GetCutJob()->HasStarted(); }), 0);
  p->GetCutJob()->Finish();
  EXPECT_TRUE(p->IsWoolReady());
  EXPECT_NE(p->GetShearButton(), nullptr);
  EXPECT_EQ(Stock().GetCount(wool), 0);
  // Shorn: 3 units, the sheep shorn, the pen to be fed again.
  CareRig::Click(p->GetShearButton());
  ASSERT_GT(rig.TickUntil([&] { return Stock().GetCount(wool) == 3; }), 0);
  EXPECT_FALSE(p->IsFedFlag());
  EXPECT_EQ(p->GetShearButton(), nullptr);
  EXPECT_NE(p->GetFeedButton(), nullptr);
  EXPECT_LT(p->GetBleatTimer(), 0.0f);
  for (i32 i = 0; i < 3; ++i) EXPECT_EQ(p->GetSheep(i)->GetSkin(), 0);
  // A wool time of 0 is ready on the first tick.
  pen->house.timings[0] = 0;
  p->SetFed(true, false);
  EXPECT_GT(rig.TickUntil([&] { return p->IsWoolReady(); }, 5), 0);
}

// The wool grows on the pen's own rate times the level's animal-house
// rate; a shearing whose wool finds no room leaves it ready with its arrow;
// the sheep going in take the arrow with them, shrinking it after their delay.
TEST_F(SheepRack, WoolGrowsOnBothRatesAndAShearingWithoutRoomLeavesItReady) {
  kis::srand(6);
  rig.level.Info().baseRates[kRateAnimalHouses] = 1.5f;
  rig.Build({Def(2, 400)});
  PointSheepRack* p = Pen();
  p->SetRateModifier(0x77, false, 2.0f);
  p->SetFed(true, false);
  EXPECT_EQ(rig.TickUntil([&] { return p->IsWoolReady(); }, 7000), 2000) << "60,000 ms at 30 ms a tick";
  ASSERT_NE(p->GetShearButton(), nullptr);

  Stock().Add(wool, Stock().GetCapacity(wool), false);
  const i32 full = Stock().GetCount(wool);
  CareRig::Click(p->GetShearButton());
  ASSERT_NE(p->GetCutJob(), nullptr);
  ASSERT_GT(rig.TickUntil([&] { return p->GetCutJob() == nullptr; }), 0);
  EXPECT_TRUE(p->IsWoolReady());
  EXPECT_TRUE(p->IsFedFlag());
  EXPECT_EQ(Stock().GetCount(wool), full);
  const ASSArrowButton* arrow = p->GetShearButton();
  ASSERT_NE(arrow, nullptr) << "offered again";

  p->StopAnimals(true, false, 120);
  EXPECT_EQ(Showing(arrow), "hide arrow for good after 120 style 3 for 200");
}

TEST_F(SheepRack, SavedPenSheepAndShearingComeBackEqualAndEachMisfitFailsTheLoad) {
  kis::srand(9);
  pen->house.timings[0] = 3000;
  rig.Build({Def(2, 400)});
  const std::vector<u8> unfed = rig.SavedBytes();
  ASSERT_TRUE(LoadLevelState(rig));
  EXPECT_EQ(rig.SavedBytes(), unfed);
  Pen()->SetFed(true, false);
  ASSERT_GT(rig.TickUntil([&] { return Eating() == 2; }), 0);
  rig.Tick(3);
  const std::vector<u8> growing = rig.SavedBytes();
  ASSERT_TRUE(LoadLevelState(rig));
  EXPECT_EQ(Eating(), 2);
  EXPECT_EQ(rig.SavedBytes(), growing);
  ASSERT_GT(rig.TickUntil([&] { return Pen()->IsWoolReady(); }), 0);
  rig.Tick(3);
  const std::vector<u8> ready = rig.SavedBytes();
  ASSERT_TRUE(LoadLevelState(rig));
  EXPECT_NE(Pen()->GetShearButton(), nullptr);
  EXPECT_EQ(Pen()->GetSheep(1)->GetSkin(), 1);
  EXPECT_EQ(rig.SavedBytes(), ready);
  CareRig::Click(Pen()->GetShearButton());
  rig.Tick(3);
  const std::vector<u8> walking = rig.SavedBytes();
  ASSERT_TRUE(LoadLevelState(rig));
  EXPECT_EQ(rig.SavedBytes(), walking);
  ASSERT_GT(rig.TickUntil([&] {
              return kis::StrCompareW(rig.player->GetAnimationName(), kCutSheepAnimation) == 0;
            }),
            0);
  rig.Tick(2);
  const std::vector<u8> shearing = rig.SavedBytes();
  ASSERT_TRUE(LoadLevelState(rig));
  EXPECT_EQ(rig.SavedBytes(), shearing);
  ASSERT_TRUE(Pen()->GetCutJob());

  // Each misfit of the pen record, a sheep's job or the shearing job fails the load.
  ASSERT_TRUE(SaveLevelState(rig));
  const leveltest::Saved good = Copy(*rig.store.slots[0][0]);
  size_t at = 0;
  while (at + 20 <= good.data.size() &&
         !(kis::GetU32LE(&good.data[at]) == kSheepRackRecordSize && kis::GetU32LE(&good.data[at + 4]) == 1 &&
           kis::GetU32LE(&good.data[at + 16]) == 2))
    ++at;
  ASSERT_LT(at + 20, good.data.size());
  size_t sheepJob = 0, cut = 0;
  while (sheepJob + 6 <= good.records.size() && kis::GetU16LE(&good.records[sheepJob + 4]) != kJobSheepYelling &&
         kis::GetU16LE(&good.records[sheepJob + 4]) != kJobSheepBlink &&
         kis::GetU16LE(&good.records[sheepJob + 4]) != kJobSheepTurnLeft &&
         kis::GetU16LE(&good.records[sheepJob + 4]) != kJobSheepTurnRight)
    ++sheepJob;
  while (cut + 44 <= good.records.size() && !(kis::GetU32LE(&good.records[cut]) == kPointJobRecordSize &&
                                              kis::GetU16LE(&good.records[cut + 4]) == kJobCutSheeps))
    ++cut;
  ASSERT_LE(cut + 44, good.records.size());
  for (i32 k = 0; k < 8; ++k) {
    leveltest::Saved bad = good;
    if (k == 0) kis::PutU32LE(&bad.data[at], 20);
    if (k == 1) kis::PutF32LE(&bad.data[at + 8], std::nanf(""));
    if (k == 2) kis::PutF32LE(&bad.data[at + 8], 1.5f);
    if (k == 3) kis::PutU32LE(&bad.data[at + 16], 3);
    if (k == 4) kis::PutF32LE(&bad.data[at + 12], -5.0f);
    if (k == 5 && sheepJob + 6 <= bad.records.size()) kis::PutU16LE(&bad.records[sheepJob + 4], 0x1587);
    if (k == 5 && sheepJob + 6 > bad.records.size()) kis::PutU32LE(&bad.data[at + 16], 1);
    if (k == 6) kis::PutU32LE(&bad.records[cut + 40], 7);
    if (k == 7) kis::PutU32LE(&bad.records[cut], 40);
    Restore(bad);
    EXPECT_FALSE(LoadLevelState(rig)) << k;
  }
  Restore(good);
  ASSERT_TRUE(LoadLevelState(rig));
  EXPECT_EQ(rig.SavedBytes(), shearing);
}

}  // namespace

// Villains on a level with the player and attackable points: the
// timeline of one villain tick by tick, clicks and the drive-off, the
// targets, the shots' flight, burst and pay, the skins' catapult states,
// the bees, the health bar, and the saved villains, jobs and shots.
#include <gtest/gtest.h>

#include <set>

#include "../CareRig.h"
#include "content/ContentServices.h"
#include "content/GameBonuses.h"
#include "content/VillainList.h"
#include "level/map/LevelPoint.h"
#include "level/objects/LevelVillainCast.h"
#include "level/objects/MapVillain.h"
#include "level/objects/SSHealthBar.h"
#include "level/objects/VillainJobs.h"
#include "level/objects/VillainShot.h"
#include "resources/ImageSprite.h"
#include "resources/MapSprite.h"
#include "resources/Sprite.h"
#include "testsupport/KindTables.h"

using namespace leveltest;

namespace {

// Animation lengths of the sample villain (ms): install 400 + 300, shoot 400 + 200, remove 300.
constexpr u32 kInstallBegin = 400, kInstallEnd = 300, kShootBegin = 400, kShootEnd = 200;

POINTDEF Target(i32 x, i32 y) { return POINTDEF{1, 1, 0, 0, {0, 0}, x, y, 0}; }

VILLAININFO Kind(const wchar* name, u32 skin) {
  VILLAININFO v = MakeVillain(name);
  v.skin = skin;
  v.enterInterval = 1000;
  v.shotInterval = 2000;
  v.shots = 3;
  v.health = 3;
  v.damage = 1;
  v.damageTime = 5000;
  v.money = 40;
  v.shotMoney = 10;
  v.shotSpeed = 100.0f;
  v.flightTime = 1500;
  return v;
}

// A rig whose saved level keeps the real villains' part, and whose points'
// care reads their damage back through them.
struct VillainRig : CareRig {
  VillainRig() { careHook = &villainCare; }
  using MapRig::MakeMapSprite;
  LevelStateParts GetParts() override {
    extras.Install();
    return {level.rules.get(), map.get(), characters.get(), &cast};
  }
  void RebuildLevel() override {
    cast.DeleteAll();
    CareRig::RebuildLevel();
  }
  void ClearLevel() override {
    cast.DeleteAll();
    CareRig::ClearLevel();
  }
  LevelVillainCast cast;
  LevelPointCare villainCare{&cast};
};

class Villains : public ::testing::Test {
 protected:
  Villains() {
    std::vector<VILLAININFO> kinds = {Kind(u"raider", 0), Kind(u"brute", 1)};
    EXPECT_TRUE(rig.level.kinds.Load({}, {testsupport::KindBuilding(u"warehouse", 0, 4)}, kinds));
    raider = FindVillainInfo(kis::NameId(u"raider"));
    brute = FindVillainInfo(kis::NameId(u"brute"));
    villain = Describe(u"villain", kVillainCharacterId, {u"villain_", u"villain_2_"});
    catapult = new GameCharacter(u"catapult", kCatapultCharacterId, 1);
    rig.descriptions.Add(catapult);
    catapult->SetSkinCount(1);
    for (const wchar* n : {u"catapult_idle", u"catapult_stand", u"catapult_break"}) {
      auto* a = new GameAnimation(n, 8);
      a->SetTiming(kAnimLoop, 100, 400);
      catapult->AddToSkin(0, a);
    }
    LEVELINFO& info = rig.level.Info();
    info.villainSlotCount = 2;
    info.villainSlots[0] = VILLAINSLOT{100, 100, 100, 300, 2};   // walks 200 down from its start
    info.villainSlots[1] = VILLAINSLOT{1200, 600, 1000, 600, 6};
  }
  ~Villains() override { rig.cast.Bind(nullptr); }

  GameCharacter* Describe(const wchar* name, u32 id, std::initializer_list<const wchar*> skins) {
    auto* c = new GameCharacter(name, id, 1);
    rig.descriptions.Add(c);
    c->speed = 2.0f;
    c->SetSkinCount(static_cast<i32>(skins.size()));
    i32 skin = 0;
    struct A {
      const char16_t* name;
      u32 mode, frame, total;
    };
    const A list[] = {{u"stand", kAnimLoop, 100, 400},           {u"walk", kAnimLoop, 100, 400},
                      {u"install_begin", kAnimOnce, 100, kInstallBegin}, {u"install_end", kAnimOnce, 100, kInstallEnd},
                      {u"shoot_begin", kAnimOnce, 100, kShootBegin}, {u"shoot_end", kAnimOnce, 100, kShootEnd},
                      {u"remove", kAnimOnce, 100, 300},           {u"angry", kAnimLoop, 100, 400},
                      {u"bees", kAnimLoop, 100, 400},             {u"runaway", kAnimLoop, 100, 400}};
    for (const wchar* prefix : skins) {
      for (const A& a : list) {
        std::u16string n = std::u16string(prefix) + a.name;
        auto* anim = new GameAnimation(n.c_str(), 8);
        anim->SetTiming(a.mode, a.frame, a.total);
        c->AddToSkin(skin, anim);
      }
      ++skin;
    }
    c->walkIndex = 1;
    return c;
  }

  // The level with these targets, the villains bound to it.
  void Build(std::vector<POINTDEF> points) {
    rig.Build(std::move(points));
    rig.cast.Bind(rig.map.get());
    rig.level.rules->StartPlay();
  }
  MapVillain* Spawn(u32 slot, const VILLAININFO* kind) {
    EXPECT_TRUE(rig.cast.SpawnVillain(slot, rig.level.Info().villainSlots[slot], kind->id));
    return rig.cast.GetVillain(slot);
  }
  // One tick of the scene with the shots.
  void Tick(i32 n = 1) {
    for (i32 i = 0; i < n; ++i) {
      rig.cast.UpdateShots(10);
      rig.Tick();
    }
  }
  i32 Money() { return rig.level.rules->Money().Get(); }

  VillainRig rig;
  const VILLAININFO* raider = nullptr;
  const VILLAININFO* brute = nullptr;
  GameCharacter* villain = nullptr;
  GameCharacter* catapult = nullptr;
};

TEST_F(Villains, TimelineFromEnteringToGoneEachEventAtItsTick) {
  Build({Target(700, 300)});
  MapVillain* v = Spawn(0, raider);
  ASSERT_NE(v, nullptr);
  EXPECT_TRUE(rig.cast.IsSlotTaken(0));
  EXPECT_FALSE(rig.cast.IsSlotTaken(1));
  ASSERT_NE(v->GetCatapult(), nullptr);
  EXPECT_EQ(v->GetCatapult()->GetX(), 148.0f);  // direction 2: (48, 5) from the install spot
  EXPECT_EQ(v->GetCatapult()->GetY(), 305.0f);

  // Each change of what the villain does, at the tick it shows.
  std::vector<std::pair<i32, std::string>> events;
  auto state = [&] {
    return std::to_string(v->GetState()) + " shots " + std::to_string(v->GetShotsLeft()) +
           (v->GetMoveJob() ? " move" : "") + (v->GetShotJob() ? " shot" : "") + (v->IsInstalled() ? " installed" : "") +
           " catapult " + std::to_string(v->GetCatapult() ? v->GetCatapult()->GetState() : -1);
  };
  std::string last = state();
  i32 tick = 0;
  bool gone = false;
  while (tick < 3000 && !gone) {
    ++tick;
    Tick();
    gone = rig.cast.GetVillains().empty();
    const std::string now = gone ? "gone" : state();
    if (now != last) events.emplace_back(tick, now);
    last = now;
  }
  const std::vector<std::pair<i32, std::string>> expected = {
      {1, "0 shots 3 move catapult 0"},                   // sets out at once
      {104, "0 shots 3 move installed catapult 0"},       // 200 units at 2 a tick, turning in and out
      {149, "0 shots 3 move installed catapult 1"},       // install_begin's 400 ms, then install_end
      {178, "1 shots 3 installed catapult 2"},            // 300 ms: attacking, standing
      {277, "1 shots 3 shot installed catapult 2"},       // the timer set on setting out (1,000 ms) ran out
      {279, "1 shots 3 shot installed catapult 1"},       // turned to the spot's direction
      {318, "1 shots 2 shot installed catapult 1"},       // fired as shoot_begin ends
      {338, "1 shots 2 installed catapult 2"},            // shoot_end's 200 ms
      {537, "1 shots 2 shot installed catapult 2"},       // the shot interval, idle ticks only
      {539, "1 shots 2 shot installed catapult 1"},
      {578, "1 shots 1 shot installed catapult 1"},
      {598, "1 shots 1 installed catapult 2"},
      {797, "1 shots 1 shot installed catapult 2"},       // the last shot: the timer is 300 ms
      {799, "1 shots 1 shot installed catapult 1"},
      {838, "1 shots 0 shot installed catapult 1"},
      {858, "1 shots 0 installed catapult 2"},
      {887, "2 shots 0 installed catapult 2"},            // done 300 ms later
      {888, "2 shots 0 move installed catapult 2"},       // and leaves at the next idle tick
      {890, "2 shots 0 move installed catapult 0"},       // villain_remove hides the catapult
      {1021, "4 shots 0 installed catapult 0"},           // 300 ms, then 200 units back to its start
      {1022, "gone"}};
  EXPECT_EQ(events, expected);
  EXPECT_EQ(rig.cast.GetShots().size(), 0u);
  EXPECT_FALSE(rig.cast.IsSlotTaken(0));
  EXPECT_NE(GetPointDamage(rig.map->GetPoint(0)), nullptr) << "the shots poisoned the target";
}

TEST_F(Villains, ThreeClicksDriveOffPayingAtTheVillainAndLaterClicksAreIgnored) {
  Build({Target(700, 300)});
  rig.level.profile.villainsInRow = 2;
  MapVillain* v = Spawn(0, raider);
  v->OnClick();  // waiting villains count clicks as well
  EXPECT_EQ(v->GetHealth(), 2);
  EXPECT_EQ(v->GetFlashColor(), 0xFFFF0000u);
  Tick(6);
  EXPECT_EQ(v->GetFlashColor(), 0xFF7F0000u) << "half way from red to black";
  Tick(6);
  EXPECT_FALSE(v->IsFlashing());
  const i32 before = Money();
  v->OnClick();
  EXPECT_EQ(Money(), before);
  EXPECT_TRUE(v->IsFlashing());
  v->OnClick();
  EXPECT_EQ(v->GetState(), kVillainDrivenOff);
  EXPECT_EQ(Money(), before + 40);
  EXPECT_EQ(v->GetWalkRate(), 1.5f);
  EXPECT_EQ(rig.level.profile.counters.tiered[kVillainAwardCounter], 1);
  EXPECT_EQ(rig.level.profile.villainsInRow, 3) << "driven off before its first shot";
  EXPECT_FALSE(rig.cast.IsSlotTaken(0));
  ASSERT_NE(v->GetMoveJob(), nullptr);
  EXPECT_EQ(v->GetMoveJob()->GetJobId(), kJobVillainRunaway);
  v->OnClick();  // state 3: nothing
  EXPECT_EQ(Money(), before + 40);
  EXPECT_EQ(rig.level.profile.counters.tiered[kVillainAwardCounter], 1);
  const i32 ticks = rig.TickUntil([&] { return rig.cast.GetVillains().empty(); });
  EXPECT_EQ(ticks, 91) << "800 ms angry, then back the 24 units it came in at 3 a tick";

  // A fired shot resets the run; driving that villain off does not raise it.
  MapVillain* w = Spawn(1, raider);
  rig.TickUntil([&] { return w->GetShotsLeft() < 3; });
  EXPECT_EQ(rig.level.profile.villainsInRow, 0);
  for (i32 i = 0; i < 3; ++i) w->OnClick();
  EXPECT_EQ(w->GetState(), kVillainDrivenOff);
  EXPECT_EQ(rig.level.profile.villainsInRow, 0);
  EXPECT_EQ(w->GetCatapult() ? w->GetCatapult()->GetState() : 3, 3) << "an installed villain's catapult breaks";
}

TEST_F(Villains, TargetsNearOrNoneAndTheShotsFlightArrivalBurstAndPay) {
  // A lone point within 150 of the shot origin (110, 207) is still shot.
  Build({Target(150, 280)});
  MapVillain* v = Spawn(0, raider);
  v->SetInstalled();
  v->SetState(kVillainAttacking, false);
  v->Shoot();
  ASSERT_NE(v->GetShotJob(), nullptr);
  EXPECT_EQ(static_cast<Job_VillainShot*>(v->GetShotJob())->GetTarget(), 0);
  EXPECT_EQ(v->GetShotsLeft(), 3);
  EXPECT_EQ(v->GetTimer(), 2000.0f);
  // None to attack: one shot used up, the 300 ms timer once one is left.
  static_cast<LevelPoint*>(rig.map->GetPoint(0))->SetLevel(0, false, 0);
  v->GetShotJob()->Finish();
  v->Shoot();
  EXPECT_EQ(v->GetShotsLeft(), 2);
  v->Shoot();
  EXPECT_EQ(v->GetShotsLeft(), 1);
  EXPECT_EQ(v->GetTimer(), 300.0f);
  EXPECT_EQ(v->GetShotJob(), nullptr);

  // The speed a tick: 1,500 ms over 10-ms ticks, unless capped; n = 0 flies at the cap.
  EXPECT_FLOAT_EQ(ShotSpeed(300.0f, 1500, 10, 100.0f), 2.0f);
  EXPECT_FLOAT_EQ(ShotSpeed(300.0f, 1500, 10, 1.5f), 1.5f);
  EXPECT_FLOAT_EQ(ShotSpeed(300.0f, 5, 10, 7.0f), 7.0f);
  EXPECT_FLOAT_EQ(ShotSpeed(300.0f, 5, 10, 0.0f), 300.0f);  // no cap: there at once
}

TEST_F(Villains, ShotsArriveAfterTheirFlightBurstWhenTheTargetIsGoneAndPayWhenClicked) {
  Build({Target(400, 300), Target(700, 300)});
  VILLAININFO* kind = FindVillainInfo(raider->id);
  // The bullet's picture plays its sequence (four frames of 50 ms) on the
  // shot's own updates, not on the frame clock.
  DXLFRAMESEQ sequence;
  DXLFrameSeqInit(&sequence, kFrameSeqLoop, 0, 4, 50, 0, 0);
  rig.level.MakeIcon(u"bullet_01", kParticleSpriteSet, 4)->SetDefaultAnimation(&sequence);
  // 300 units in 1,500 ms: 150 ticks.
  auto* shot = new VillainShot(rig.cast, 100.0f, 300.0f, 0, kind, true);
  EXPECT_FLOAT_EQ(shot->GetSpeed(), 2.0f);
  ASSERT_NE(shot->GetImage(), nullptr);
  i32 ticks = 0;
  while (!shot->IsDead() && ticks < 1000) {
    shot->Update(10);
    ++ticks;
    if (!shot->IsDead()) {
      ASSERT_EQ(shot->GetImage()->FrameState().frame, ticks / 5 % 4) << ticks;
      ASSERT_EQ(shot->GetImage()->FrameState().animated, 0);
    }
  }
  EXPECT_EQ(ticks, 150);
  PointDamage* damage = GetPointDamage(rig.map->GetPoint(0));
  ASSERT_NE(damage, nullptr);
  EXPECT_EQ(damage->GetSource().villainId, raider->id);
  EXPECT_EQ(damage->GetRemaining(), 5000u);

  // Capped at 2.5 a tick: 600 units take 240 ticks. Its target gone on arrival: a burst.
  kind->shotSpeed = 2.5f;
  shot = new VillainShot(rig.cast, 100.0f, 300.0f, 1, kind, false);
  shot->SetTravelled(597.5f);
  EXPECT_EQ(shot->GetX(), 697.5f);
  static_cast<LevelPoint*>(rig.map->GetPoint(1))->SetLevel(0, false, 0);
  shot->Update(10);
  EXPECT_TRUE(shot->IsBurst());
  EXPECT_FALSE(shot->IsDead());
  EXPECT_EQ(GetPointDamage(rig.map->GetPoint(1)), nullptr);
  EXPECT_EQ(rig.cast.FindShotAt(697, 300), nullptr) << "a burst shot is not found";

  // A clicked shot pays the bursting money; the gas goes after its animation.
  shot = new VillainShot(rig.cast, 100.0f, 300.0f, 0, kind, false);
  shot->Update(10);
  EXPECT_EQ(rig.cast.FindShotAt(130, 320), shot);
  EXPECT_EQ(rig.cast.FindShotAt(150, 300), nullptr);
  // Two within reach: the newer (drawn on top) even where the older lies nearer.
  auto* newer = new VillainShot(rig.cast, 130.0f, 300.0f, 0, kind, false);
  EXPECT_EQ(rig.cast.FindShotAt(105, 300), newer);
  newer->Burst();
  EXPECT_EQ(rig.cast.FindShotAt(105, 300), shot);
  const i32 before = Money();
  shot->OnClick();
  EXPECT_EQ(Money(), before + 10);
  EXPECT_TRUE(shot->IsBurst());
  shot->OnClick();
  EXPECT_EQ(Money(), before + 10) << "once";
  for (i32 i = 0; i < 23; ++i) rig.cast.UpdateShots(10);
  EXPECT_FALSE(shot->IsDead());
  rig.cast.UpdateShots(10);
  EXPECT_TRUE(shot->IsDead()) << "the gas's four frames of 60 ms";
}

TEST_F(Villains, SkinsTakeTheirNamesAndTheCatapultFollowsTheBaseNames) {
  wchar out[kAnimationNameSize];
  VillainAnimationName(1, u"villain_angry", out);
  EXPECT_EQ(std::u16string(out), u"villain_2_angry");
  VillainAnimationName(11, u"villain_angry", out);
  EXPECT_EQ(std::u16string(out), u"villain_12_angry");
  VillainAnimationName(1, u"catapult_stand", out);
  EXPECT_EQ(std::u16string(out), u"catapult_stand");
  StripVillainSkin(u"villain_12_shoot_begin", out);
  EXPECT_EQ(std::u16string(out), u"villain_shoot_begin");
  StripVillainSkin(u"villain_2_stand", out);
  EXPECT_EQ(std::u16string(out), u"villain_stand");
  StripVillainSkin(u"villain_angry", out);
  EXPECT_EQ(std::u16string(out), u"villain_angry");
  for (const wchar* n : {u"villain_shoot_begin", u"villain_2_shoot_end", u"villain_10_install_end"})
    EXPECT_EQ(CatapultStateFor(n, true, 1), 1);
  EXPECT_EQ(CatapultStateFor(u"villain_2_stand", true, 1), 2);
  EXPECT_EQ(CatapultStateFor(u"villain_2_stand", true, 3), 3);
  EXPECT_EQ(CatapultStateFor(u"villain_2_angry", true, 3), 3);
  EXPECT_EQ(CatapultStateFor(u"villain_runaway", true, 3), 3);
  EXPECT_EQ(CatapultStateFor(u"villain_remove", true, 2), 0);
  EXPECT_EQ(CatapultStateFor(u"villain_shoot_begin", false, 1), 0) << "not installed";
  EXPECT_EQ(CatapultStateFor(u"villain_shoot_begin", true, 4), 0) << "gone";

  Build({Target(700, 300)});
  MapVillain* v = Spawn(1, brute);
  rig.TickUntil([&] { return v->GetShotJob() && v->GetShotJob()->GetState() == kJobAnimating; });
  Tick();
  EXPECT_EQ(std::u16string(v->GetAnimationName()), u"villain_2_shoot_begin");
  MapCatapult* c = v->GetCatapult();
  EXPECT_EQ(c->GetState(), 1);
  // Hidden with animate it fades out standing, then leaves the level;
  // shown again meanwhile it stays; hidden at once it leaves at once.
  c->SetState(0, true);
  EXPECT_TRUE(c->IsAttached());
  EXPECT_EQ(c->GetHideLeft(), kCatapultHideTime);
  c->SetState(2, true);
  EXPECT_EQ(c->GetHideLeft(), 0u);
  c->SetState(0, true);
  for (i32 i = 0; i < 9; ++i) rig.characters->Update();
  EXPECT_TRUE(c->IsAttached());
  EXPECT_EQ(c->GetHideLeft(), 10u);
  rig.characters->Update();
  EXPECT_FALSE(c->IsAttached());
  c->SetState(1, false);
  EXPECT_TRUE(c->IsAttached());
  c->SetState(0, false);
  EXPECT_FALSE(c->IsAttached());
}

TEST_F(Villains, BeesDriveOffWaitingAndAttackingVillainsOnlyUnderTheStrike) {
  Build({Target(700, 300)});
  MapSprite* attack = rig.MakeMapSprite(u"bees_attack", 64, 16, 4, false);
  MapSprite* bees = rig.MakeMapSprite(u"bees", 48, 16, 3, false);
  DXLFRAMESEQ seq;
  DXLFrameSeqInit(&seq, 0, 0, 4, 100, 0, 0);
  attack->GetSprite()->SetDefaultAnimation(&seq);
  GameBonuses bonuses;
  bonuses.LoadBonus(kBonusBees);
  GetContentServices().bonuses = &bonuses;
  MapVillain* a = Spawn(0, raider);
  MapVillain* b = Spawn(1, raider);
  b->SetInstalled();
  b->SetState(kVillainDone, false);
  const i32 before = Money();
  rig.cast.DriveOffAll();
  EXPECT_EQ(a->GetState(), kVillainDrivenOff);
  EXPECT_TRUE(a->IsStruck());
  EXPECT_EQ(b->GetState(), kVillainDone);
  EXPECT_EQ(Money(), before + 40);
  EXPECT_EQ(a->GetMoveJob()->GetJobId(), kJobVillainRunaway);
  EXPECT_EQ(b->GetStrike(), nullptr);
  // The strike: "bees_attack" once (4 frames of 100 ms), two "bees" looping
  // (3 frames), the second eight frames ahead; fading in after 120 ms.
  VillainStrike* strike = a->GetStrike();
  ASSERT_NE(strike, nullptr);
  ASSERT_NE(strike->GetImage(0), nullptr);
  EXPECT_EQ(strike->GetImage(0)->GetSprite(), attack->GetSprite());
  EXPECT_EQ(strike->GetImage(2)->GetSprite(), bees->GetSprite());
  EXPECT_EQ(strike->GetImage(0)->GetScaleX(), 0.5f);
  Tick(2);
  EXPECT_EQ(std::u16string(a->GetAnimationName()), u"villain_bees");
  Tick(10);
  EXPECT_EQ(strike->GetAlpha(), 0.0f);
  Tick(10);
  EXPECT_FLOAT_EQ(strike->GetAlpha(), 0.5f);
  EXPECT_EQ(strike->GetFrame(0), 2);
  EXPECT_EQ(strike->GetFrame(1), 2);
  EXPECT_EQ(strike->GetFrame(2), 1);
  Tick(17);
  EXPECT_EQ(strike->GetFrame(0), 3);
  EXPECT_EQ(strike->GetAlpha(), 1.0f);
  Tick(2);
  EXPECT_EQ(strike->GetImage(0), nullptr) << "gone after its last frame";
  EXPECT_EQ(strike->GetFrame(1), 1);
  GetContentServices().bonuses = nullptr;
  // A villain spawned into a taken slot replaces the one there.
  // (The new one may well take the freed one's memory: the raider that was
  // there is told from it by its kind.)
  MapVillain* c = Spawn(1, brute);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->GetInfo(), brute);
  EXPECT_EQ(rig.cast.GetVillains().size(), 2u);
}

TEST_F(Villains, HealthBarSegmentsRunFromTheFilledToTheEmpty) {
  SSHealthBar bar(100, 100, 2, 3);
  float fl, fr, el, er;
  bar.GetRuns(&fl, &fr, &el, &er);
  EXPECT_EQ(bar.GetWidth(), 30);
  EXPECT_EQ(std::vector<float>({fl, fr, el, er}), std::vector<float>({-15, 5, 5, 15}));
  bar.SetValue(-4);
  bar.GetRuns(&fl, &fr, &el, &er);
  EXPECT_EQ(std::vector<float>({fl, fr, el, er}), std::vector<float>({-15, -15, -15, 15}));
  bar.SetValue(9);
  EXPECT_EQ(bar.GetValue(), 3);

  // The villain's bar: below a spot high on the level, above one lower down; shown once hit.
  Build({Target(700, 300)});
  MapVillain* v = Spawn(0, raider);
  EXPECT_EQ(v->GetHealthBar(), nullptr);
  v->MakeClickable();
  ASSERT_NE(v->GetHealthBar(), nullptr);
  EXPECT_EQ(v->GetHealthBar()->GetY(), 300 - 88);
  EXPECT_FALSE(v->GetHealthBar()->IsVisible());
  v->OnClick();
  v->Draw();
  EXPECT_TRUE(v->GetHealthBar()->IsVisible());
  EXPECT_EQ(v->GetHealthBar()->GetValue(), 2);
}

TEST_F(Villains, SavedVillainsJobsAndShotsComeBackAndBadRecordsFailTheLoad) {
  Build({Target(700, 300), Target(400, 500)});
  MapVillain* v = Spawn(0, raider);
  rig.TickUntil([&] { return v->GetShotJob() && v->GetShotJob()->GetState() == kJobAnimating; });
  Tick(5);
  MapVillain* w = Spawn(1, brute);
  Tick(3);  // walking in
  new VillainShot(rig.cast, 100.0f, 300.0f, 1, brute, false);
  rig.cast.GetShots().back()->SetTravelled(20.0f);
  auto* burst = new VillainShot(rig.cast, 100.0f, 300.0f, 1, brute, false);
  burst->Burst();
  const float wx = w->GetX(), wy = w->GetY();
  ASSERT_TRUE(SaveLevelState(rig));

  ASSERT_TRUE(LoadLevelState(rig));
  MapVillain* v2 = rig.cast.GetVillain(0);
  MapVillain* w2 = rig.cast.GetVillain(1);
  ASSERT_NE(v2, nullptr);
  ASSERT_NE(w2, nullptr);
  EXPECT_EQ(v2->GetState(), kVillainAttacking);
  EXPECT_TRUE(v2->IsClickable());
  EXPECT_TRUE(v2->IsInstalled());
  EXPECT_EQ(v2->GetShotsLeft(), 3);
  ASSERT_NE(v2->GetShotJob(), nullptr);
  EXPECT_EQ(v2->GetShotJob()->GetStep(), 1);
  EXPECT_EQ(w2->GetX(), wx);
  EXPECT_EQ(w2->GetY(), wy);
  ASSERT_NE(w2->GetMoveJob(), nullptr);
  EXPECT_EQ(w2->GetMoveJob()->GetJobId(), kJobVillainEnter);
  ASSERT_EQ(rig.cast.GetShots().size(), 1u) << "the burst shot is not kept";
  EXPECT_FLOAT_EQ(rig.cast.GetShots()[0]->GetTravelled(), 20.0f);
  EXPECT_EQ(rig.cast.GetShots()[0]->GetTarget(), 1);
  // The restored shot job fires when its animation ends.
  rig.TickUntil([&] { return v2->GetShotsLeft() == 2; }, 100);
  EXPECT_EQ(rig.cast.GetShots().size(), 2u);

  // Refused records: another size, another state, a target outside the
  // map, an unknown job; each says why in the load-error text.
  u8 job[kVillainShotJobRecordSize] = {};
  kis::PutU32LE(job, kVillainJobRecordSize);
  kis::PutU16LE(job + 4, kJobVillainEnter);
  EXPECT_FALSE(LoadVillainJob(v2, job, kVillainJobRecordSize)) << "entering needs state 0";
  EXPECT_EQ(std::u16string(rig.characters->GetLoadError()), u"Ошибка загрузки работы JOBID_VILLAINENTER");
  kis::PutU16LE(job + 4, kJobVillainLeave);
  EXPECT_FALSE(LoadVillainJob(v2, job, kVillainJobRecordSize));
  kis::PutU16LE(job + 4, kJobVillainShot);
  kis::PutI32LE(job + 40, 2);
  EXPECT_FALSE(LoadVillainJob(v2, job, kVillainShotJobRecordSize)) << "two points";
  kis::PutI32LE(job + 40, 1);
  EXPECT_FALSE(LoadVillainJob(v2, job, kVillainJobRecordSize)) << "44 bytes";
  EXPECT_TRUE(LoadVillainJob(v2, job, kVillainShotJobRecordSize));
  kis::PutU16LE(job + 4, 0x2005);
  EXPECT_FALSE(LoadVillainJob(v2, job, kVillainShotJobRecordSize));

  // A villain record read back for another slot, or of an unknown kind.
  EXPECT_FALSE(v2->RestoreVillain(1));
  EXPECT_TRUE(v2->RestoreVillain(0));
  {
    kis::DataCursor none;
    EXPECT_FALSE(rig.cast.LoadVillain(0, 12345, &none));
  }

  auto loadShot = [&](u32 size, u32 finished, i32 target, u32 kind, float travelled, i32 x = 0) {
    u8 r[kShotRecordSize] = {};
    kis::PutU32LE(r, size);
    kis::PutU32LE(r + 4, finished);
    kis::PutI32LE(r + 8, target);
    kis::PutU32LE(r + 12, kind);
    kis::PutI32LE(r + 16, x);
    kis::PutF32LE(r + 24, travelled);
    FakeStore store;
    kis::DataCursor out;
    out.Begin(kis::LevelSaveInfo{});
    out.Write(r, kShotRecordSize);
    out.Finish(&store);
    kis::DataCursor reader;
    reader.BeginRead(&store, 0, 0);
    return VillainShot::Load(rig.cast, &reader);
  };
  const size_t shots = rig.cast.GetShots().size();
  EXPECT_TRUE(loadShot(28, 1, 99, 0, 0.0f)) << "a finished shot reads as none";
  EXPECT_FALSE(loadShot(24, 0, 0, raider->id, 0.0f));
  EXPECT_FALSE(loadShot(28, 0, 2, raider->id, 0.0f));
  EXPECT_FALSE(loadShot(28, 0, -1, raider->id, 0.0f));
  EXPECT_FALSE(loadShot(28, 0, 0, 12345, 0.0f));
  EXPECT_FALSE(loadShot(28, 0, 0, raider->id, -1.0f));
  EXPECT_FALSE(loadShot(28, 0, 0, raider->id, 0.0f, -2000000)) << "far off the map";
  EXPECT_EQ(rig.cast.GetShots().size(), shots);
  EXPECT_TRUE(loadShot(28, 0, 0, raider->id, 5.0f));
  EXPECT_EQ(rig.cast.GetShots().size(), shots + 1);
}

// Every step a kept villain's job reaches, saved and read back at once:
// the same job at the same step (and in an animation, the same elapsed time).
TEST_F(Villains, EachVillainJobStepRoundTripsThroughTheSavedLevel) {
  Build({Target(700, 300)});
  MapVillain* v = Spawn(0, raider);
  std::set<std::pair<u16, i32>> seen;
  for (i32 tick = 0; tick < 1200 && !seen.count({kJobVillainLeave, 1}); ++tick) {
    Tick();
    v = rig.cast.GetVillain(0);
    if (!v) break;
    const Job* job = v->GetJobs().GetCount() ? v->GetJobs()[0] : nullptr;
    if (!job || job->HasEnded() || !seen.insert({job->GetJobId(), job->GetStep()}).second) continue;
    const u16 id = job->GetJobId();
    const i32 step = job->GetStep(), state = job->GetState();
    const float x = v->GetX();
    ASSERT_TRUE(SaveLevelState(rig)) << id << " step " << step;
    ASSERT_TRUE(LoadLevelState(rig)) << id << " step " << step;
    v = rig.cast.GetVillain(0);
    ASSERT_NE(v, nullptr);
    ASSERT_EQ(v->GetJobs().GetCount(), 1);
    const Job* back = v->GetJobs()[0];
    EXPECT_EQ(back->GetJobId(), id);
    EXPECT_EQ(back->GetStep(), step) << id;
    EXPECT_EQ(back->GetState(), state) << id << " step " << step;
    EXPECT_EQ(v->GetX(), x);
  }
  // Step 0: made in the tick, not yet begun.
  const std::set<std::pair<u16, i32>> expected = {
      {kJobVillainEnter, 0}, {kJobVillainEnter, 1}, {kJobVillainEnter, 2}, {kJobVillainEnter, 3}, {kJobVillainShot, 0},
      {kJobVillainShot, 1},  {kJobVillainShot, 2},  {kJobVillainLeave, 0}, {kJobVillainLeave, 1}};
  EXPECT_EQ(seen, expected);
}

}  // namespace

// The short level tutorials played on their levels of the sample data set
// by the tutorial follower: the warehouse button (level 29, ended also when
// the warehouse opens another way), level 15's hint ended by its timer,
// the full warehouse after the first overflow (never saved, not again;
// ended by a click also with the product no longer in stock),
// level 8 with and without the bees (their button refused while they fly,
// the lesson 2,200 ms after them) and its removal step meeting a bed with
// jobs, and level 6's villain from the first shot to the repaired point;
// the villain tutorial's code-130 filter, its rate and its saved record.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "content/ProductList.h"
#include "content/VillainList.h"
#include "level/characters/MapCharacter.h"
#include "level/map/LevelMap.h"
#include "level/objects/LevelVillainCast.h"
#include "level/objects/BasePointPlant.h"
#include "level/objects/MapVillain.h"
#include "level/objects/PlantJobs.h"
#include "level/objects/VillainShot.h"
#include "level/rules/LevelBonuses.h"
#include "level/rules/LevelLocks.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelTasks.h"
#include "level/rules/LevelView.h"
#include "level/rules/LevelWindows.h"
#include "level/rules/WarehouseStock.h"
#include "level/scene/GameLevel.h"
#include "resources/ResourceServices.h"
#include "testsupport/LevelHarness.h"
#include "testsupport/TutorialFollower.h"
#include "tutorials/LevelTutorial_6.h"
#include "tutorials/LevelTutorial_8.h"
#include "tutorials/LevelTutorial_Hints.h"
#include "tutorials/TutorialLayer.h"
#include "tutorials/TutorialMaker.h"
#include "tutorials/TutorialTargets.h"
#include "ui/GameButton.h"
#include "ui/SpritesWindow.h"
#include "ui/WindowManager.h"
#include "windows/LevelPanel.h"
#include "windows/MessageNotice.h"
#include "windows/WarehouseWindow.h"

namespace shortscripts {
namespace {

using testsupport::TutorialFollower;

constexpr u32 kShortLimit = 240000;
constexpr TutorialId S6(u32 n) { return 0x80060000u | n; }
constexpr TutorialId S8(u32 n) { return 0x80080000u | n; }
constexpr TutorialId kBees = 0x80330001u;

class ShortScripts : public ::testing::Test {
 protected:
  ShortScripts() : h(leveltest::SampleDataFolder(), 1024, 768, true, &maker) {
    h.profile.tutorials = true;
  }
  ~ShortScripts() override { h.world.CloseLevel(); }

  // The level with the game's villains (LevelVillainCast), started.
  GameLevel& Open(i32 index, const LevelSetup& setup = LevelSetup{}) {
    return testsupport::OpenTutorialLevel(h, maker, index, setup, GameLevelHooks{});
  }
  TutorialId Current() const {
    GameTutorial* t = GetCurrentTutorial();
    return t && t->GetCurrentStep() ? t->GetCurrentStep()->GetId() : 0;
  }
  LevelVillainCast* Cast() { return dynamic_cast<LevelVillainCast*>(h.Level()->Hooks().villains); }
  void ClickLevelAt(TutorialFollower& f, float x, float y) {
    i32 sx = static_cast<i32>(x), sy = static_cast<i32>(y);
    h.Level()->Rules().View().MapToScreen(&sx, &sy);
    f.ClickAt(sx, sy);
  }
  // The product's full-warehouse notice.
  MessageWindow* Message(u32 id) {
    auto* q = dynamic_cast<MessageNoticeQueue*>(GetWindowManager()->GetMessageQueue());
    return q ? q->Find(id) : nullptr;
  }

  // Once the step's arrows and text are all shown: drawn into the PNG file.
  void ShotOnce(TutorialFollower& f, TutorialId step, const char* file, bool* done) {
    GameTutorial* t = GetCurrentTutorial();
    TutorialLayer* layer = t && t->GetCurrentStep() && t->GetCurrentStep()->GetId() == step
                               ? t->GetCurrentStep()->GetLayer()
                               : nullptr;
    if (*done || !layer || layer->Texts().GetCount() < 1 || layer->Texts().Get(0)->GetState() != kLayerShown) return;
    for (i32 i = 0; i < layer->Arrows().GetCount(); ++i) {
      if (layer->Arrows().Get(i)->GetState() != kLayerShown) return;
      EXPECT_TRUE(layer->Arrows().Get(i)->GetTarget()->IsValid()) << file;
    }
    f.Draw();
    EXPECT_TRUE(h.WritePng(file));
    *done = true;
  }
  // The level's clock at the end of the follower's run.
  void Report(const char* what) {
    std::printf("%s followed to its end at %.2f s of level time\n", what, h.Level()->Rules().Clock().GetTime() / 1000.0);
  }

  TutorialMaker maker;  // before the world, which is handed it
  leveltest::LevelHarness h;
};

// Level 29 (its intro read): the warehouse button clicked ends the hint; a
// second run where the warehouse is opened from the level's windows (not
// the button) too.
TEST_F(ShortScripts, WarehouseHintEndsWhenTheWarehouseOpensByAnyMeans) {
  ASSERT_TRUE(h.loaded);
  for (bool byButton : {true, false}) {
    Open(28);
    ASSERT_NE(dynamic_cast<LevelTutorial_Warehouse*>(GetCurrentTutorial()), nullptr);
    auto* intro = dynamic_cast<SpritesWindow*>(GetWindowManager()->GetInfoWindow());
    ASSERT_NE(intro, nullptr) << "the day's intro";
    intro->Close();  // read
    TutorialFollower f(h);
    if (!byButton)
      f.Override(0x802A0001u, [&](TutorialFollower&) {
        h.Level()->Rules().Hooks().windows->OpenWarehouseWindow(nullptr);
        return true;
      });
    ASSERT_TRUE(f.Run(20000)) << "stuck at " << std::hex << Current();
    EXPECT_EQ(f.Trace(), std::vector<TutorialId>{0x802A0001u}) << byButton;
    EXPECT_NE(FindOpenWarehouse(), nullptr) << byButton;
    EXPECT_FALSE(h.Level()->Rules().Locks().IsLockedExcept(0)) << "all let go";
    h.world.CloseLevel();
  }
}

// Level 15: nobody clicks; the hint goes after its seven seconds, the level
// running meanwhile (its clock not held).
TEST_F(ShortScripts, LevelFifteenHintEndsOnItsTimerWithoutAClick) {
  ASSERT_TRUE(h.loaded);
  GameLevel& level = Open(14);
  ASSERT_NE(dynamic_cast<LevelTutorial_15*>(GetCurrentTutorial()), nullptr);
  ASSERT_NE(level.Map().GetPoint(7), nullptr);
  TutorialFollower f(h);
  u32 shownAt = 0, clicks = 0;
  f.Override(0x800F0001u, [&](TutorialFollower&) {
    if (!shownAt) shownAt = level.Rules().Clock().GetTime() + 1;
    TutorialLayer* layer = GetCurrentTutorial()->GetCurrentStep()->GetLayer();
    if (layer && layer->GetClickCount() > 0) ++clicks;  // it would take one
    return false;
  });
  ASSERT_TRUE(f.Run(20000));
  EXPECT_EQ(f.Trace(), std::vector<TutorialId>{0x800F0001u});
  EXPECT_GT(clicks, 0u) << "the layer catches clicks";
  EXPECT_GE(level.Rules().Clock().GetTime() + 1, shownAt + kLevelHintTime) << "the clock ran through the hint";
  EXPECT_EQ(f.Resumes().at(0x800F0001u), 0x800F0001u);
}

// The first overflow in a profile with the tutorials on: the notice of
// 0x4001000 + the product's number, the arrow on it, its click opening the
// warehouse, the product's button; never in a save; not made again.
TEST_F(ShortScripts, FullWarehouseAfterTheFirstOverflowOnly) {
  ASSERT_TRUE(h.loaded);
  GameLevel& level = Open(28);
  GameTutorial* hint = GetCurrentTutorial();
  ASSERT_NE(hint, nullptr);
  const PRODUCT* wheat = GetProductList()->FindByName(u"wheat");
  ASSERT_NE(wheat, nullptr);
  ASSERT_NE(wheat->number, wheat->id) << "the case tells the two apart";
  const u32 free = static_cast<u32>(level.Rules().Stock()->GetFree(wheat, 1000));
  level.Rules().StoreProduct(wheat, static_cast<i32>(free) + 5, 0, 640.0f, 400.0f, 0.0f, nullptr);
  auto* full = dynamic_cast<LevelTutorial_FullWarehouse*>(GetCurrentTutorial());
  ASSERT_NE(full, nullptr) << "made by the factory at the first overflow";
  EXPECT_FALSE(full->IsSaved());
  EXPECT_EQ(full->GetMessageId(), 0x4001000u + wheat->number);
  TutorialFollower f(h);
  bool pointed = false, shot = false;
  f.everyFrame = [&](TutorialFollower& fl) { ShotOnce(fl, 0x802B0001u, "tutorial_full_warehouse.png", &shot); };
  f.Override(0x802B0001u, [&](TutorialFollower& fl) {
    MessageWindow* m = Message(0x4001000u + wheat->number);
    TutorialLayer* layer = full->GetCurrentStep()->GetLayer();
    if (!m || !layer || layer->Arrows().GetCount() != 1 || !layer->Arrows().Get(0)->GetTarget()->IsValid() ||
        !shot)
      return false;  // read (and drawn) first
    EXPECT_EQ(Message(0x4001000u + wheat->id), nullptr);
    EXPECT_NEAR(layer->Arrows().Get(0)->GetTarget()->GetX(), m->GetRect().right, 8) << "on its notice";
    pointed = true;
    const DXLRECT& r = m->GetRect();
    fl.ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    return true;
  });
  ASSERT_TRUE(f.Run(30000)) << "stuck at " << std::hex << Current();
  EXPECT_TRUE(pointed);
  EXPECT_TRUE(shot);
  EXPECT_EQ(f.Trace(), (std::vector<TutorialId>{0x802B0001u, 0x802B0002u}));
  EXPECT_NE(FindOpenWarehouse(), nullptr);
  // A second overflow: the short message, no tutorial.
  level.Rules().StoreProduct(wheat, 20, 0, 640.0f, 400.0f, 0.0f, nullptr);
  EXPECT_EQ(GetCurrentTutorial(), nullptr);
}

// The overflowing product gone from the stock before the warehouse opens
// (a mill took the wheat, say): the second step has nothing to point at,
// takes no click and ends at once, letting the level go.
TEST_F(ShortScripts, FullWarehouseWithTheProductGoneEndsAtOnce) {
  ASSERT_TRUE(h.loaded);
  GameLevel& level = Open(28);
  const PRODUCT* wheat = GetProductList()->FindByName(u"wheat");
  ASSERT_NE(wheat, nullptr);
  const i32 free = level.Rules().Stock()->GetFree(wheat, 1000);
  level.Rules().StoreProduct(wheat, free + 5, 0, 640.0f, 400.0f, 0.0f, nullptr);
  auto* full = dynamic_cast<LevelTutorial_FullWarehouse*>(GetCurrentTutorial());
  ASSERT_NE(full, nullptr);
  level.Rules().Stock()->Take(wheat, level.Rules().Stock()->GetCount(wheat));
  ASSERT_EQ(level.Rules().Stock()->GetCount(wheat), 0);
  TutorialFollower f(h);
  f.Override(0x802B0001u, [&](TutorialFollower& fl) {
    MessageWindow* m = Message(full->GetMessageId());
    if (!m) return false;
    const DXLRECT& r = m->GetRect();
    fl.ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    return true;
  });
  ASSERT_TRUE(f.Run(30000)) << "stuck at " << std::hex << Current();
  EXPECT_EQ(f.Trace(), (std::vector<TutorialId>{0x802B0001u})) << "the second ends as it begins";
  EXPECT_FALSE(level.Rules().Locks().IsLockedExcept(kLockWarehouse)) << "the level let go";
  EXPECT_EQ(level.Rules().Tasks().GetResultFlags() & kResultFlagTutorial, 0u) << "and its clock";
}

// Level 8 with the bees owned and taken: the bees' button at the raider
// (its one wave, which does not repeat, is over by then), the raider
// struck and driven off at the click and no point gassed; then the lesson.
// Without them the lesson at once. Point 6 is cleared.
TEST_F(ShortScripts, LevelEightWithAndWithoutTheBees) {
  ASSERT_TRUE(h.loaded);
  for (bool bees : {true, false}) {
    LevelSetup setup;
    if (bees) {
      setup.chosen.count = 1;
      setup.chosen.slots[0] = kBeesBonus;
      setup.ownedBonuses = 1u << kBeesBonus;
    }
    GameLevel& level = Open(7, setup);
    ASSERT_NE(dynamic_cast<LevelTutorial_8*>(GetCurrentTutorial()), nullptr);
    TutorialFollower f(h);
    bool shot = false, gassed = false;
    const auto gas = [&] {
      for (i32 i = 0; i < level.Map().GetPointCount(); ++i) gassed = gassed || level.Map().GetPoint(i)->HasDamage();
    };
    f.everyFrame = [&](TutorialFollower& fl) {
      ShotOnce(fl, kBees, "tutorial_bonus_bees.png", &shot);
      gas();
    };
    // The bees' button: let through while the bees are not flying; its
    // click sends them (the level brings them in charged), which strike
    // the raider and drive him off, and holds the lesson back 2,200 ms;
    // then, the bees flying, the step would refuse it.
    std::string clicked;
    f.Override(kBees, [&](TutorialFollower& fl) {
      GameTutorial* t = GetCurrentTutorial();
      TutorialStep* step = t->GetCurrentStep();
      GameWindow* panel = nullptr;
      GameButton* button = TutTargetButton(kTutorialWindowLevelPanel, kCommandBonus, kBeesBonus, 0.0f, 0.0f)
                               .FindControl(&panel);
      const bool before = button && TutorialAllowAction(kTutorialActionButton, kTutorialWindowLevelPanel, button);
      if (!fl.Follow(step)) return false;
      std::string raider = "no raider";
      for (const MapVillain* v : Cast()->GetVillains())
        raider = std::string(v->IsStruck() ? "raider struck" : "raider not struck") + ", state " +
                 std::to_string(v->GetState());
      clicked = std::string(before ? "let through" : "refused") + ", delay " + std::to_string(t->GetDelay()) + ", " +
                raider + (level.Rules().Waves().IsEnabled() ? ", waves on" : ", waves over") + ", again: " +
                (step->AllowAction(kTutorialActionButton, kTutorialWindowLevelPanel, button) ? "let through"
                                                                                             : "refused");
      return true;
    });
    ASSERT_TRUE(f.Run(kShortLimit)) << "stuck at " << std::hex << Current();
    EXPECT_EQ(shot, bees);
    EXPECT_EQ(clicked, bees ? "let through, delay 2200, raider struck, state 3, waves over, again: refused" : "");
    if (bees) {
      for (i32 ms = 0; ms < 12000; ms += 20) {  // two shots' time: a raider left standing fires
        h.Step(20);
        gas();
      }
      EXPECT_FALSE(gassed) << "the bees drove the raider off before he fired";
      EXPECT_TRUE(Cast()->GetVillains().empty()) << "and he left";
    }
    if (!bees) Report("level 8");
    std::vector<TutorialId> expected{S8(1), S8(2), S8(3), S8(4)};
    if (bees) expected.insert(expected.begin(), kBees);
    EXPECT_EQ(f.Trace(), expected) << bees;
    EXPECT_EQ(level.Map().GetPoint(6)->GetKind(), kPointKindEmpty) << "the bed cleared";
    for (TutorialId id : expected) EXPECT_EQ(f.Resumes().at(id), id);
    h.world.CloseLevel();
  }
}

// Level 8's removal step with a watering of the bed already queued: the
// removal is still to be ordered, so its button is pointed at and let
// through (the step is then stopped: the button stays disabled while the
// bed is busy). With the removal ordered before the step: nothing shown,
// the player let work, the bed cleared.
TEST_F(ShortScripts, LevelEightRemovalStepMeetsWhatTheBedHas) {
  ASSERT_TRUE(h.loaded);
  for (bool removal : {false, true}) {
    GameLevel& level = Open(7);
    TutorialFollower f(h);
    std::string three;
    f.everyFrame = [&](TutorialFollower&) {
      GameTutorial* t = GetCurrentTutorial();
      auto* bed = dynamic_cast<BasePointPlant*>(level.Map().GetPoint(6));
      if (t && t->GetPendingStep() && t->GetPendingStep()->GetId() == S8(3) && bed &&
          level.Map().GetSelectedPoint() == 6 && bed->GetJobs().GetCount() == 0) {
        if (removal)
          bed->CreatePulldownJob();
        else
          new Job_Water(dynamic_cast<MapCharacter*>(level.GetPlayer()), bed);
      }
      TutorialStep* step = t ? t->GetCurrentStep() : nullptr;
      if (step && step->GetId() == S8(3) && three.empty()) {
        three = std::to_string(t->GetFlags()) + ", " +
                std::to_string(step->GetLayer() ? step->GetLayer()->Arrows().GetCount() : 0) + " arrows";
        if (!removal) level.StopTutorial();
      }
    };
    ASSERT_TRUE(f.Run(kShortLimit)) << "stuck at " << std::hex << Current() << " " << removal;
    EXPECT_EQ(three, removal ? "256, 0 arrows" : "16781312, 1 arrows");
    if (removal) {
      EXPECT_EQ(f.Trace(), (std::vector<TutorialId>{S8(1), S8(2), S8(3), S8(4)}));
      EXPECT_EQ(level.Map().GetPoint(6)->GetKind(), kPointKindEmpty) << "the bed cleared";
    }
    h.world.CloseLevel();
  }
}

// Level 6 from the first shot to the repaired point: 6_1 only once the
// villain is stored and a point poisoned; its next shot burst, the villain
// driven off, the repair ordered and finished.
TEST_F(ShortScripts, LevelSixFromTheFirstShotToTheRepair) {
  ASSERT_TRUE(h.loaded);
  GameLevel& level = Open(5);
  auto* t = dynamic_cast<LevelTutorial_6*>(GetCurrentTutorial());
  ASSERT_NE(t, nullptr);
  TutorialFollower f(h);
  std::vector<std::string> seen;
  bool shot = false;
  f.everyFrame = [&](TutorialFollower& fl) {
    ShotOnce(fl, S6(1), "tutorial_level6_step1.png", &shot);
    if (Current() == S6(1) && seen.empty()) {
      i32 damaged = 0;
      for (i32 i = 0; i < level.Map().GetPointCount(); ++i) damaged += level.Map().GetPoint(i)->HasDamage() ? 1 : 0;
      seen.push_back("6_1 villain " + std::to_string(t->GetVillainIndex()) + " arrivals " +
                     std::to_string(t->GetArrivals()) + " damaged " + std::to_string(damaged));
    }
  };
  f.Override(S6(2), [&](TutorialFollower& fl) {
    VillainShot* s = t->GetFirstShot();
    if (!s) return false;

    ClickLevelAt(fl, s->GetX(), s->GetY());
    return true;
  });
  f.Override(S6(3), [&](TutorialFollower& fl) {
    MapVillain* v = t->GetVillain();
    if (!v) return false;
    ClickLevelAt(fl, v->GetX(), v->GetY() - 30.0f);
    return true;
  });
  ASSERT_TRUE(f.Run(kShortLimit)) << "stuck at " << std::hex << Current();
  EXPECT_EQ(f.Trace(), (std::vector<TutorialId>{S6(1), S6(2), S6(3), S6(4), S6(5)}));
  EXPECT_EQ(seen, std::vector<std::string>{"6_1 villain 0 arrivals 1 damaged 1"});
  for (u32 n = 1; n <= 5; ++n) EXPECT_EQ(f.Resumes().at(S6(n)), S6(n)) << n;
  EXPECT_TRUE(shot);
  Report("level 6");
}

// The code-130 filter over its four kinds after one and two arrivals (the
// shots' gate reads the tutorial's villain's health, not the asking
// object's: none is given here), and the villain's rate back at its base
// for frame intervals of 0 and 2 s.
TEST_F(ShortScripts, VillainFilterAndRate) {
  EXPECT_FLOAT_EQ(VillainTutorialRate(3000.0f, 0), 3000.0f);
  EXPECT_FLOAT_EQ(VillainTutorialRate(3000.0f, 2000), 3000.0f);
  EXPECT_FLOAT_EQ(VillainTutorialRate(3000.0f, 1000), 3000.0f);
  EXPECT_FLOAT_EQ(VillainTutorialRate(3000.0f, 10), 30.0f);
  ASSERT_TRUE(h.loaded);
  h.profile.tutorials = false;
  GameLevel& level = Open(5);
  const u32 keep = GetResourceServices().timeStep;
  std::vector<std::string> rows;
  for (u32 interval : {0u, 2000u}) {
    auto* t = new LevelTutorial_6(&level);
    const auto row = [&] {
      std::string r;
      for (u32 kind : {kObjectVillainShot, kObjectVillain, kObjectDamage, 0x12345u})
        r += t->FilterAction(kTutorialActionWaves, kind, nullptr) ? '1' : '0';
      return r;
    };
    rows.push_back(row());
    ASSERT_TRUE(level.SpawnVillainByHand(0));
    MapVillain* v = Cast()->GetVillains().front();
    t->Notify(kTutorialEventVillain, 0, v);
    rows.push_back(row());
    GetResourceServices().timeStep = interval;
    t->Update(0);
    GetResourceServices().timeStep = keep;
    EXPECT_FLOAT_EQ(v->GetTimer(), static_cast<float>(v->GetInfo()->shotInterval)) << interval;
    t->Notify(kTutorialEventVillain, 0, v);
    rows.push_back(row());
    for (i32 i = 0; i < v->GetInfo()->health - 1 && v->GetInfo()->health > 1; ++i) v->Hit();
    rows.push_back(row());
    // Its record: the first start (still to come, then spent by its start:
    // the first villain came at once), the villain and the arrivals come
    // back; a record of the level tutorials' 20 bytes is refused. The
    // tutorial's own words are written over what the buffer held.
    u8 early[kLevelTutorial6RecordSize] = {};
    t->FillRecord(early);
    t->OnStart();
    EXPECT_EQ(t->IsFirstStart(), 0u);
    u8 record[kLevelTutorial6RecordSize] = {};
    std::fill(record + kLevelTutorialRecordSize, record + kLevelTutorial6RecordSize, u8{0xFF});
    t->FillRecord(record);
    t->Finish();
    auto* again = new LevelTutorial_6(&level);
    EXPECT_FALSE(again->LoadRecord(record, kLevelTutorialRecordSize));
    ASSERT_TRUE(again->LoadRecord(record, kLevelTutorial6RecordSize));
    EXPECT_EQ(again->GetVillainIndex(), 0);
    EXPECT_EQ(again->GetArrivals(), 2u);
    EXPECT_EQ(again->IsFirstStart(), 0u) << "a restored level does not bring its villain at once again";
    ASSERT_TRUE(again->LoadRecord(early, kLevelTutorial6RecordSize));
    EXPECT_EQ(again->IsFirstStart(), 1u) << "saved before its start, it brings the villain at once when it starts";
    again->Finish();
    Cast()->DeleteAll();
  }
  // before, one arrival, two, two with the villain's health below half
  EXPECT_EQ(rows, (std::vector<std::string>{"0101", "1001", "0001", "1001", "0101", "1001", "0001", "1001"}));
}

}  // namespace
}  // namespace shortscripts

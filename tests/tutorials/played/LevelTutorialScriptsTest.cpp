// The first two levels' tutorials played on their levels of the sample data
// set by the tutorial follower, a player who does what the hints say: each
// runs to its end in the order of its steps (level 1 once the warehouse
// holds task 0's wheat, level 2 on exactly task 0's flour), a save at each
// step names the step it resumes at, every step's arrows and text stand
// where the script's table puts them, the mills' speed factor follows steps
// 8 and 15, and level 1's steps 1, 4 and 16 are drawn into PNG files. The
// cases off the follower's road: step 20 shown when the player went back
// to the categories (on the road the plants panel still shows and it gives
// way to step 21), steps 24 and 25 not asking for a harvest already queued,
// level 2's step 4 showing nothing when the mill was ordered before it
// appeared, and the factor back to 1.0 when the close-tutorial button
// stops the tutorial mid-step.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "content/BuildingTable.h"
#include "content/ContentArchive.h"
#include "content/LevelTable.h"
#include "content/ProductList.h"
#include "level/characters/MapCharacter.h"
#include "level/map/EmptyLevelPoint.h"
#include "level/map/LevelMap.h"
#include "level/map/LevelPointMaker.h"
#include "level/objects/BasePointPlant.h"
#include "level/objects/PlantJobs.h"
#include "level/objects/PointBuilding.h"
#include "level/objects/PointFactory.h"
#include "level/rules/LevelView.h"
#include "pathfinding/MapShapes.h"
#include "hud/ASSArrowButton.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelTasks.h"
#include "level/rules/WarehouseStock.h"
#include "level/scene/GameLevel.h"
#include "level/scene/LevelInterface.h"
#include "resources/MapSprite.h"
#include "resources/ResourceServices.h"
#include "resources/SpriteSet.h"
#include "level/state/GameLevelSaves.h"
#include "testsupport/LevelHarness.h"
#include "testsupport/SavedLevelStore.h"
#include "testsupport/TutorialFollower.h"
#include "testsupport/TutorialHintTable.h"
#include "tutorials/LevelTutorial_1.h"
#include "tutorials/LevelTutorial_2.h"
#include "tutorials/LevelTutorialScript.h"
#include "tutorials/TutorialMaker.h"
#include "windows/ChildLevelPanel.h"
#include "windows/LevelPanel.h"
#include "windows/LevelPanelHost.h"

namespace tutorialscripts {
namespace {

using testsupport::HintRecorder;
using testsupport::TutorialFollower;

constexpr u32 kLimitMs = 400000;
constexpr TutorialId L1(u32 n) { return 0x80010000u | n; }
constexpr TutorialId L2(u32 n) { return 0x80020000u | n; }

std::vector<TutorialId> Steps(TutorialId (*id)(u32), u32 count) {
  std::vector<TutorialId> v;
  for (u32 n = 1; n <= count; ++n) v.push_back(id(n));
  return v;
}

// Where each step's arrows point and on which side of its target its text
// stands (testsupport/TutorialHintTable.h), step by step as the script has
// them: "Lvlp"/"Wrhs" controls with their data (task 0's record, the
// level's plant, wheat's product, the mill's building), level points,
// head-up sprites by code and point, the computed points above the panel
// ("centre"), under the panel's top edge ("paneltop") and in the
// warehouse window ("wrhs", pixels below its top).
const std::vector<const char*> kLevelOneHints = {
    "arrow Lvlp:4C500005/task0 270/4 | text fn:centre 270/0 centred +80 click",
    "arrow point 1 90/64 | text point 1 90/64 +84 below",
    "arrow Lvlp:C9000100 270/4 | text Lvlp:C9000100 270/4 +84 above",
    "arrow Lvlp:C9000400/plant 270/4 | text Lvlp:C9000400/plant 270/4 +84 above",
    "arrow point 1 90/64 | text point 1 90/64 +84 below",
    "text Harv@1 0/4 +84 right",
    "text fn:centre 90/0 centred +160 click",
    "arrow Lvlp:4C500005/task0 270/4 | text Lvlp:4C500005/task0 270/4 +84 click above",
    "arrow point 2 90/64 | text point 2 90/64 +84 below",
    "arrow Lvlp:C9000100 270/4 | text Lvlp:C9000100 270/4 +84 above",
    "arrow Lvlp:C9000400/plant 270/4 | text Lvlp:C9000400/plant 270/4 +84 click above",
    "text fn:paneltop 90/4 +84 click below",
    "text fn:centre 90/0 centred +160 click",
    "arrow Lvlp:4C500003 270/4 | arrow2 point 0 70/48 | text Lvlp:4C500003 270/4 +84 above",
    "text fn:wrhs(240) 90/0 centred +0 click",
    "arrow Wrhs:3A5E4083/wheat 90/4 | text Wrhs:3A5E4083/wheat 90/4 +84 below",
    "text fn:wrhs(120) 270/0 +84 click above",
    "arrow Wrhs:3A5E4081 270/4 | text Wrhs:3A5E4081 270/4 +84 above",
    "arrow Wrhs:3A5E4080 0/4 | text Wrhs:3A5E4080 270/4 +84 above",
    "arrow Lvlp:C9000100 270/4 | text Lvlp:C9000100 270/4 +84 above",
    "arrow Lvlp:C9000400/plant 270/4 | text Lvlp:C9000400/plant 270/4 +84 above",
    "arrow point 2 90/64 | text point 2 90/64 +84 below",
    "text fn:centre 90/0 centred +160 click",
    "text Harv@1 0/4 +84 right",
    "text Harv@2 90/4 +84 below",
    "text Wate@2 190/4 +84 above-left",
    "arrow1 Harv@1 270/4 | arrow2 Harv@2 270/4 | text fn:centre 90/180 centred +0",
};

const std::vector<const char*> kLevelTwoHints = {
    "arrow Lvlp:4C500005/task0 270/4 | text fn:centre 0/0 centred +0 click",
    "arrow point 1 90/64 | text point 1 90/64 +84 above",  // clear of bed 3's harvest hand
    "arrow Lvlp:C9000200 270/4 | text Lvlp:C9000200 270/4 +84 above",
    "arrow Lvlp:C9000500/prod_flour 270/4 | text Lvlp:C9000500/prod_flour 270/4 +84 above",
    "arrow1 Prod@1 90/4 | text Prod@1 90/4 +84 click below",
    "arrow3 Harv@3 270/4 | arrow4 Harv@4 270/4 | text fn:centre 90/180 centred +0",
    "arrow1 Prod@1 90/4 | text Prod@1 90/4 +84 below",
    "arrow1 PrSl@1 90/4 | text PrSl@1 90/4 +84 below",
    "text fn:centre 0/0 centred +0 click",
    "arrow point 2 90/64 | text point 2 90/64 +84 below-left",  // clear of bed 4's harvest hand
    "arrow Lvlp:C9000200 270/4 | text Lvlp:C9000200 270/4 +84 above",
    "arrow Lvlp:C9000500/prod_flour 270/4 | text Lvlp:C9000500/prod_flour 270/4 +84 above",
    "arrow4 Harv@4 270/4 | text fn:centre 90/180 centred +0",  // bed 3 not ripe yet
    "arrow1 Prod@1 90/4 | arrow2 Prod@2 90/4 | text fn:centre 90/180 centred +0",
    "text fn:centre 90/180 centred +0",
};

class Scripts : public ::testing::Test {
 protected:
  Scripts() : h(leveltest::SampleDataFolder(), 1024, 768, true, &maker) {
    h.profile.tutorials = true;
  }
  ~Scripts() override { h.world.CloseLevel(); }

  // The level (0 or 1) with the game's panel and its tutorial, started.
  GameLevel& Open(i32 index, LevelSaves* saves = nullptr) {
    GameLevelHooks hooks;
    hooks.villains = &h.villains;
    hooks.saves = saves;
    return testsupport::OpenTutorialLevel(h, maker, index, LevelSetup{}, hooks);
  }
  LevelTutorial* Tutorial() const { return dynamic_cast<LevelTutorial*>(GetCurrentTutorial()); }
  TutorialId Current() const {
    LevelTutorial* t = Tutorial();
    return t && t->GetCurrentStep() ? t->GetCurrentStep()->GetId() : 0;
  }
  i32 Stock(const wchar* name) { return h.Level()->Rules().Stock()->GetCount(GetProductList()->FindByName(name)); }
  const LEVELTASK* Task0() { return h.Level()->Rules().Tasks().GetTask(0); }
  BasePointPlant* Bed(i32 i) { return dynamic_cast<BasePointPlant*>(h.Level()->Map().GetPoint(i)); }
  PointFactory* Mill(i32 i) { return dynamic_cast<PointFactory*>(h.Level()->Map().GetPoint(i)); }
  float Factor(i32 i) { return Mill(i) ? Mill(i)->GetSpeedFactor() : -1.0f; }
  u32 LevelTime() { return h.Level()->Rules().Clock().GetTime(); }
  LevelPanel* Panel() { return h.world.Panel()->GetPanel(); }
  // The names the scripts' tables give the data words and computed points.
  testsupport::HintNames Names() {
    testsupport::HintNames n;
    n.level = h.Level();
    n.data[reinterpret_cast<uintptr_t>(Task0())] = "task0";
    PLANT* plant = nullptr;
    if (h.Level()->Map().Points().CountAvailablePlants(1, &plant) > 0) n.data[reinterpret_cast<uintptr_t>(plant)] = "plant";
    n.data[reinterpret_cast<uintptr_t>(GetProductList()->FindByName(u"wheat"))] = "wheat";
    n.data[reinterpret_cast<uintptr_t>(FindBuildingByName(u"prod_flour"))] = "prod_flour";
    n.functions[LevelScreenCentre] = "centre";
    n.functions[ScriptPanelTop] = "paneltop";
    n.functions[ScriptWarehousePoint] = "wrhs";
    n.functions[ScriptPointAnchor] = "anchor";
    return n;
  }
  // The level's clock at the end and the medal it would earn.
  void Report(const char* what) {
    const u32 time = LevelTime();
    std::printf("%s followed to its end at %.2f s of level time (medal grade %d)\n", what, time / 1000.0,
                h.Levels().GetMedal(0, h.Level()->GetLevelIndex(), time));
  }

  TutorialMaker maker;  // before the world, which is handed it
  leveltest::LevelHarness h;
};

// Level 1 from its first step to its last; screenshots of steps 1, 4 and 16.
TEST_F(Scripts, LevelOneFollowedToItsEnd) {
  ASSERT_TRUE(h.loaded);
  Open(0);
  ASSERT_NE(dynamic_cast<LevelTutorial_1*>(Tutorial()), nullptr) << "the factory makes it for index 0";
  TutorialFollower f(h);
  HintRecorder hints(Names());
  std::vector<TutorialId> shot;
  f.everyFrame = [&](TutorialFollower& follower) {
    hints.Frame();
    TutorialStep* step = TutorialFollower::ShownStep();
    if (!step) return;
    for (u32 n : {1u, 4u, 16u}) {
      if (step->GetId() != L1(n) || (!shot.empty() && shot.back() == step->GetId())) continue;
      // Shown: every arrow on a target that resolves, the text placed.
      for (i32 i = 0; i < step->GetLayer()->Arrows().GetCount(); ++i)
        EXPECT_TRUE(step->GetLayer()->Arrows().Get(i)->GetTarget()->IsValid()) << "step " << n;
      ASSERT_EQ(step->GetLayer()->Texts().GetCount(), 1) << "step " << n;
      follower.Draw();
      EXPECT_TRUE(h.WritePng("tutorial_level1_step" + std::to_string(n) + ".png"));
      shot.push_back(step->GetId());
    }
  };
  // Step 27 ends as the warehouse holds task 0's wheat: with the wheat sold
  // put back and one more, a harvest before the day's task is done. It
  // also waters a dry bed (its arrows only point at harvests).
  bool refilled = false;
  f.Override(L1(27), [&](TutorialFollower& follower) {
    if (!refilled)
      h.Level()->Rules().Stock()->Add(GetProductList()->FindByName(u"wheat"),
                                      h.Level()->Rules().Tasks().GetProgress(0) - Stock(u"wheat") + 1, false);
    refilled = true;
    for (i32 i : {1, 2})
      if (Bed(i) && Bed(i)->GetWaterButton() && !ScriptBedBusy(Bed(i))) return follower.ClickSprite(Bed(i)->GetWaterButton());
    return follower.Follow(Tutorial()->GetCurrentStep());
  });
  // After one harvest bed 2 is dry and bed 1 still watered (step 26).
  f.Override(L1(26), [&](TutorialFollower& follower) {
    EXPECT_EQ(Bed(2)->GetWaterLeft(), 0);
    EXPECT_GT(Bed(1)->GetWaterLeft(), 0);
    return follower.Follow(Tutorial()->GetCurrentStep());
  });
  ASSERT_TRUE(f.Run(kLimitMs)) << "stuck at " << std::hex << Current();
  // Point 2's plants panel still shows after the warehouse: step 20 gives
  // way to step 21 (the other road is the next test's).
  std::vector<TutorialId> expected = Steps(L1, 27);
  expected.erase(expected.begin() + 19);
  EXPECT_EQ(f.Trace(), expected);
  EXPECT_EQ(Stock(u"wheat"), Task0()->target) << "ends on exactly task 0's wheat";
  EXPECT_EQ(h.Level()->Rules().Tasks().GetProgress(0), Task0()->target - 1) << "a harvest before the day's task";
  EXPECT_EQ(shot, (std::vector<TutorialId>{L1(1), L1(4), L1(16)}));
  for (u32 n = 1; n <= 27; ++n) {
    if (n == 20) continue;
    u32 resume = n;
    if (n == 4) resume = 3;
    if (n == 11) resume = 10;
    if (n >= 14 && n <= 18) resume = 14;
    if (n == 19 || n == 21) resume = 20;
    ASSERT_EQ(f.Resumes().count(L1(n)), 1u) << n;
    EXPECT_EQ(f.Resumes().at(L1(n)), L1(resume)) << "saved at step " << n;
  }
  EXPECT_FALSE(h.Level()->Rules().Locks().IsLockedExcept(0)) << "all let go";
  testsupport::ExpectHintTable(hints, L1(1), kLevelOneHints, f.Trace());
  Report("level 1");
}

// Level 2 to exactly task 0's flour; the factor 2.0 only while steps 8 and 15 run.
TEST_F(Scripts, LevelTwoFollowedToExactlyItsFlour) {
  ASSERT_TRUE(h.loaded);
  Open(1);
  ASSERT_NE(dynamic_cast<LevelTutorial_2*>(Tutorial()), nullptr) << "the factory makes it for index 1";
  TutorialFollower f(h);
  HintRecorder hints(Names());
  std::vector<std::string> seen;
  TutorialId last = 0;
  f.everyFrame = [&](TutorialFollower&) {
    hints.Frame();
    const TutorialId now = Current();
    if (now == last) return;
    if (now == L2(5) || now == L2(13))  // the mill the step before waited for stands ready
      seen.push_back("mill " + std::to_string(now == L2(5) ? 1 : 2) + " at " +
                     std::to_string(Mill(now == L2(5) ? 1 : 2) ? Mill(now == L2(5) ? 1 : 2)->GetLevel() : -1));
    if (now == L2(8) || now == L2(9) || now == L2(15))
      seen.push_back(std::to_string(now & 0xFF) + ": " + std::to_string(Factor(1)) + " " + std::to_string(Factor(2)));
    last = now;
  };
  ASSERT_TRUE(f.Run(kLimitMs)) << "stuck at " << std::hex << Current();
  EXPECT_EQ(f.Trace(), Steps(L2, 15));
  EXPECT_EQ(Stock(u"flour"), Task0()->target) << "ends on exactly task 0's flour";
  EXPECT_FLOAT_EQ(Factor(1), 1.0f);
  EXPECT_FLOAT_EQ(Factor(2), 1.0f);
  EXPECT_EQ(seen, (std::vector<std::string>{"mill 1 at 1", "8: 2.000000 -1.000000", "9: 1.000000 -1.000000",
                                            "mill 2 at 1", "15: 2.000000 2.000000"}));
  for (u32 n = 1; n <= 15; ++n)
    EXPECT_EQ(f.Resumes().at(L2(n)), L2(n == 4 ? 3 : n == 12 ? 11 : n)) << "saved at step " << n << " (site empty)";
  testsupport::ExpectHintTable(hints, L2(1), kLevelTwoHints, f.Trace());
  Report("level 2");
}

// Off the road: level 1's step 20 shown when the player went back to the
// place's categories, steps 24 and 25 meeting harvests already queued.
TEST_F(Scripts, LevelOneStepsMeetWhatIsAlreadyDone) {
  ASSERT_TRUE(h.loaded);
  GameLevel& level = Open(0);
  TutorialFollower f(h);
  std::vector<std::string> seen;
  // Before step 20 appears point 2's panel is back at its categories
  // (the player went back): step 20 shows and asks for the plants.
  f.Override(L1(19), [&](TutorialFollower& follower) {
    auto* place = dynamic_cast<EmptyLevelPoint*>(level.Map().GetPoint(2));
    if (place && level.Map().GetSelectedPoint() == 2) place->OpenPanel(kPanelEmptyPlace);
    return follower.Follow(Tutorial()->GetCurrentStep());
  });
  // At step 23 the player already queued both harvests.
  f.Override(L1(23), [&](TutorialFollower& follower) {
    auto* player = dynamic_cast<MapCharacter*>(level.GetPlayer());
    if (player && !Bed(1)->GetHarvestJob() && Bed(1)->GetHarvestButton()) {
      Bed(1)->RemoveHarvestButton(false);
      new Job_Harvest(player, Bed(1));
      Bed(2)->RemoveHarvestButton(false);
      new Job_Harvest(player, Bed(2));
    }
    return follower.Follow(Tutorial()->GetCurrentStep());
  });
  f.everyFrame = [&](TutorialFollower&) {
    LevelTutorial* t = Tutorial();
    TutorialStep* step = t ? t->GetCurrentStep() : nullptr;
    if (!step || (step->GetId() != L1(24) && step->GetId() != L1(25))) return;
    const std::string s = std::to_string(step->GetId() & 0xFF) + ": " + std::to_string(t->GetFlags()) + ", " +
                          std::to_string(step->GetLayer() ? step->GetLayer()->Texts().GetCount() : 0) + " texts";
    if (seen.empty() || seen.back() != s) seen.push_back(s);
  };
  ASSERT_TRUE(f.Run(kLimitMs)) << "stuck at " << std::hex << Current();
  EXPECT_EQ(f.Trace(), Steps(L1, 27)) << "the whole table";
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.front(), "24: 256, 0 texts") << "no click asked, her jobs allowed";
  EXPECT_NE(std::find(seen.begin(), seen.end(), "25: 256, 0 texts"), seen.end());
}

// Level 2's step 4 after the mill was ordered before it appeared: nothing
// shown, plants growing at once; then the close-tutorial button in step 8
// puts the mill's factor back to 1.0.
TEST_F(Scripts, LevelTwoMillOrderedEarlyAndStoppedMidStep) {
  ASSERT_TRUE(h.loaded);
  GameLevel& level = Open(1);
  TutorialFollower f(h);
  std::vector<std::string> seen;
  f.everyFrame = [&](TutorialFollower&) {
    LevelTutorial* t = Tutorial();
    if (!t) return;
    if (t->GetPendingStep() && t->GetPendingStep()->GetId() == L2(4) &&
        level.Map().GetPoint(1)->GetKind() == kPointKindEmpty && level.Map().GetSelectedPoint() == 1)
      level.Map().Points().BuildBuilding(FindBuildingByName(u"prod_flour"));
    TutorialStep* step = t->GetCurrentStep();
    if (step && step->GetId() == L2(4) && seen.empty())
      seen.push_back("4: " + std::to_string(t->GetFlags()) + ", " +
                     std::to_string(step->GetLayer() ? step->GetLayer()->Arrows().GetCount() +
                                                           step->GetLayer()->Texts().GetCount()
                                                     : 0) +
                     " shown");
    if (step && step->GetId() == L2(8) && t->GetState() == kTutorialRunning && Factor(1) == 2.0f) {
      level.StopTutorial();  // the close-tutorial button's question answered yes
      seen.push_back("stopped in 8: " + std::to_string(Factor(1)) + ", flags " + std::to_string(t->GetFlags()));
    }
  };
  ASSERT_TRUE(f.Run(kLimitMs)) << "stuck at " << std::hex << Current();
  EXPECT_EQ(seen, (std::vector<std::string>{"4: 288, 0 shown", "stopped in 8: 1.000000, flags 0"}));
  EXPECT_EQ(f.Trace(), Steps(L2, 8));
}

// Level 2's mills: step 5's layer lets a click through where the mill's
// own click shapes are hit (the shapes of a picture that has them), not
// merely near its point; step 12 shows its arrow
// and text also with the second mill ordered before it appeared (on a
// button the factory's panel does not have, so nothing is drawn), and a
// building of any point standing ready ends it.
TEST_F(Scripts, LevelTwoTheMillsShapeAndItsBuildSteps) {
  ASSERT_TRUE(h.loaded);
  GameLevel& level = Open(1);
  TutorialFollower f(h);
  std::vector<std::string> seen;
  f.everyFrame = [&](TutorialFollower&) {
    LevelTutorial* t = Tutorial();
    TutorialStep* step = t ? t->GetCurrentStep() : nullptr;
    TutorialLayer* layer = step ? step->GetLayer() : nullptr;
    if (step && step->GetId() == L2(5) && layer && layer->GetClickCount() > 0 && seen.empty()) {
      // The sample data's buildings have no click shapes: the mill borrows
      // the golden egg's picture, which has one, while the layer is asked.
      MapBuilding* mill = Mill(1)->GetMapBuilding();
      MapSprite* own = mill->GetMapSprite();
      MapSprite* egg = GetSpriteSet(kMapSpriteSet)->FindMapSprite(u"golden_egg");
      ASSERT_NE(egg, nullptr);
      if (!egg->IsLoaded()) egg->Init();
      mill->SetSprite(egg);
      mill->AttachToLevel(kAttachClickShapes);
      const MapShapes* shapes = mill->GetClickShapes();
      ASSERT_TRUE(shapes && shapes->GetCount() > 0);
      const auto onMill = [&](i32 x, i32 y) {
        for (u32 i = 0; i < shapes->GetCount(); ++i)
          if (ShapeContainsPoint(&shapes->GetShape(i)->desc, x, y)) return true;
        return false;
      };
      SHAPERECT r{};
      ShapeBounds(&shapes->GetShape(0)->desc, &r);
      i32 mx = (r.left + r.right) / 2, my = (r.top + r.bottom) / 2;
      ASSERT_TRUE(onMill(mx, my));
      h.Level()->Rules().View().MapToScreen(&mx, &my);
      std::string s = std::string("5: over the mill ") + (layer->HitTest(mx, my) ? "caught" : "passes");
      // Near point 1, just off the mill's shape.
      i32 nx = (r.left + r.right) / 2, ny = r.bottom + 2;
      ASSERT_FALSE(onMill(nx, ny));
      h.Level()->Rules().View().MapToScreen(&nx, &ny);
      s += std::string(", beside it ") + (layer->HitTest(nx, ny) ? "caught" : "passes");
      mill->SetSprite(own);
      mill->AttachToLevel(kAttachObstacles | kAttachClickShapes);
      seen.push_back(s);
    }
    if (t && t->GetPendingStep() && t->GetPendingStep()->GetId() == L2(12) && Mill(2) == nullptr &&
        level.Map().GetSelectedPoint() == 2)
      level.Map().Points().BuildBuilding(FindBuildingByName(u"prod_flour"));
    if (step && step->GetId() == L2(12) && seen.size() == 1) {
      seen.push_back("12: " + std::to_string(t->GetFlags()) + ", " +
                     std::to_string(layer ? layer->Arrows().GetCount() : 0) + " arrow " +
                     std::to_string(layer ? layer->Texts().GetCount() : 0) + " text");
      t->Notify(kTutorialEventPointChanged, kPointKindBuilding, Mill(1));
      seen.push_back(std::string("12 ") + (Current() == L2(12) ? "waits" : "ended") + " on mill 1 at " +
                     std::to_string(Mill(1)->GetLevel()));
    }
  };
  ASSERT_TRUE(f.Run(kLimitMs)) << "stuck at " << std::hex << Current();
  EXPECT_EQ(seen, (std::vector<std::string>{"5: over the mill passes, beside it caught", "12: 288, 1 arrow 1 text",
                                            "12 ended on mill 1 at 1"}));
  EXPECT_EQ(f.Trace(), Steps(L2, 15));
}

// The level left while step 4 waits on the empty site and entered again:
// its tutorial resumes at step 3 (the factories' category).
TEST_F(Scripts, LevelTwoLeftWhileTheSiteIsEmptyResumesAtStepThree) {
  ASSERT_TRUE(h.loaded);
  testsupport::SavedLevelStore store;
  GameLevelSaves saves(&store, &store, nullptr);
  GameLevel& level = Open(1, &saves);
  TutorialFollower f(h);
  bool restored = false;
  f.everyFrame = [&](TutorialFollower&) {
    if (restored || Current() != L2(4) || level.Map().GetPoint(1)->GetKind() != kPointKindEmpty) return;
    restored = true;
    level.Leave();
    ASSERT_NE(store.slots[0][1], nullptr);
    h.Enter();
    ASSERT_NE(Tutorial(), nullptr);
    EXPECT_EQ(Tutorial()->GetFirstStep(), L2(3));
    EXPECT_EQ(Tutorial()->GetPendingStep(), Tutorial()->FindStep(L2(3)));
    h.Start();
    level.StopTutorial();
  };
  EXPECT_TRUE(f.Run(60000));
  EXPECT_TRUE(restored);
}

}  // namespace
}  // namespace tutorialscripts

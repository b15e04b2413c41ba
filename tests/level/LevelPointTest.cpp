#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "content/GarbageList.h"
#include "engine/DXLMouse.h"
#include "engine/DXLViewer.h"
#include "level/map/LevelPointCare.h"
#include "level/map/SpriteObject.h"
#include "MapRig.h"
#include "pathfinding/ObstacleSet.h"

using namespace leveltest;

namespace {

POINTPARAMS Params(i32 kind, const char16_t* name, i32 level) {
  POINTPARAMS p;
  p.kind = static_cast<u32>(kind);
  p.id = name ? kis::NameId(name) : 0;
  p.level = level;
  return p;
}

class LevelPoints : public ::testing::Test {
 protected:
  LevelPoints() {
    rig_.level.LoadKinds({{u"wheat", 3, true}, {u"apple", 5, true, 0, true}, {u"weed", 3, false}},
                         {{u"mill", 3, true, kBuildingFactory},
                          {u"henhouse", 2, true, kBuildingAnimalHouse},
                          {u"cowshed", 2, true, kBuildingAnimalHouse},
                          {u"sheep_rack", 2, true, kBuildingAnimalHouse},
                          {u"barn", 2, true, kBuildingAnimalHouse},
                          {u"old_mill", 3, false, kBuildingFactory}});
  }
  LevelPointMaker& Maker() { return rig_.map->Points(); }
  LevelMap& Map() { return *rig_.map; }
  FakePoint* Fake(i32 i) { return dynamic_cast<FakePoint*>(Map().GetPoint(i)); }
  EmptyLevelPoint* Place(i32 i) { return dynamic_cast<EmptyLevelPoint*>(Map().GetPoint(i)); }
  MapRig rig_;
};

TEST_F(LevelPoints, TheMakerLeavesACleanPlaceWheneverThePointCannotBeMade) {
  rig_.Make({MapRig::Garbage(kJunk, 100, 300, 300)});
  ASSERT_NE(Place(0), nullptr);
  POINTPARAMS info;
  Place(0)->GetInfo(&info);
  EXPECT_EQ(info.id, kJunk);
  EXPECT_EQ(info.price, 100u);
  struct Case {
    POINTPARAMS params;
    bool made;
    i32 pointClass;  // -1: a clean empty place
  };
  const Case cases[] = {
      {Params(5, nullptr, 0), false, -1},           // no such kind
      {Params(2, u"rye", 1), false, -1},            // no such record
      {Params(2, u"weed", 1), false, -1},           // not available
      {Params(2, u"wheat", 4), false, -1},          // above its maximum
      {Params(2, u"wheat", 3), true, kPointPlantBed},
      {Params(2, u"apple", 1), true, kPointTree},
      {Params(3, u"mill", 4), false, -1},
      {Params(3, u"mill", 0), true, kPointFactory},
      {Params(3, u"henhouse", 1), true, kPointHenhouse},
      {Params(3, u"cowshed", 1), true, kPointCowshed},
      {Params(3, u"sheep_rack", 1), true, kPointSheepRack},
      {Params(3, u"barn", 1), false, -1},           // an animal house of no known kind
      {Params(3, u"old_mill", 1), false, -1},       // not new
      {Params(1, nullptr, 1), true, kPointWarehouse},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Maker().MakePoint(0, c.params, false), c.made) << c.params.kind << " " << c.params.level;
    BaseLevelPoint* p = Map().GetPoint(0);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->GetIndex(), 0);
    EXPECT_EQ(p->GetX(), 300);
    if (c.pointClass < 0) {
      ASSERT_NE(Place(0), nullptr);
      EXPECT_EQ(Place(0)->GetGarbage(), nullptr);
    } else {
      ASSERT_NE(Fake(0), nullptr);
      EXPECT_EQ(static_cast<i32>(Fake(0)->pointClass), c.pointClass);
    }
  }
  rig_.classes.setupWorks = false;  // a failed set-up
  EXPECT_FALSE(Maker().MakePoint(0, Params(2, u"wheat", 1), false));
  EXPECT_NE(Place(0), nullptr);
  EXPECT_FALSE(Maker().MakePoint(1, Params(0, nullptr, 0), false));  // outside the table
  EXPECT_FALSE(Maker().MakePoint(-1, Params(0, nullptr, 0), false));
  EXPECT_EQ(Map().GetObjects().GetCount(), 1);  // the one marker left

  // Replacing with fade: the marker takes 200 ms to go, the new point starts 100 ms later.
  rig_.classes.setupWorks = true;
  const size_t from = rig_.Mark();
  EXPECT_TRUE(Maker().MakePoint(0, Params(2, u"wheat", 1), true));
  EXPECT_EQ(rig_.Since(from), (Log{"class 1 level 1 fading after 300", "tutorial 80000003 2 state 1"}))
      << "the tutorial hears the new kind and its state value 1";
  // An upgrade tells the kind again, with the level reached; a site set up
  // at level 0 tells 0.
  const size_t upgraded = rig_.Mark();
  Fake(0)->Upgrade();
  EXPECT_EQ(rig_.Since(upgraded), (Log{"class 1 level 2 fading after 0", "tutorial 80000003 2 state 2"}));
  EXPECT_TRUE(Maker().MakePoint(0, Params(3, u"mill", 0), false));
  EXPECT_EQ(rig_.level.log.back(), "tutorial 80000003 3 state 0");
  EXPECT_TRUE(Maker().MakeEmpty(0));
  EXPECT_EQ(Map().GetPoint(0)->GetKind(), kPointKindEmpty);
  // Building at the selected point wants the money for the record.
  Maker().SelectPoint(0, false);
  rig_.level.rules->Money().Set(40);
  EXPECT_FALSE(Maker().BuildPlant(rig_.level.kinds.Plant(u"wheat")));
  rig_.level.rules->Money().Set(60);
  EXPECT_TRUE(Maker().BuildBuilding(rig_.level.kinds.Building(u"mill")));
  EXPECT_TRUE(Fake(0)->IsSelected());  // the new point takes the selection
  PLANT* plants[3] = {};
  EXPECT_EQ(Maker().CountAvailablePlants(1, plants), 2);
  EXPECT_EQ(plants[0], rig_.level.kinds.Plant(u"wheat"));
  EXPECT_EQ(Maker().CountNewBuildings(kBuildingAnimalHouse, 0, nullptr), 4);
}

TEST_F(LevelPoints, HoverFollowsTheMouseAndSelectionOpensThePanels) {
  rig_.Make({MapRig::Garbage(kJunk, 100, 300, 300), MapRig::Garbage(0, 0, 600, 300), MapRig::Garbage(0, 0, 900, 400)});
  Maker().MakePoint(2, Params(2, u"wheat", 1), false);
  FakePoint* bed = Fake(2);
  Maker().HoverPoint(2, nullptr);
  Maker().HoverPoint(2, nullptr);  // begun again on every move
  EXPECT_EQ(bed->hovers, 2);
  EXPECT_TRUE(bed->IsPointHovered());
  EXPECT_EQ(Map().GetHoveredPoint(), 2);
  // The progress line waits 600 ms of hover.
  size_t from = rig_.Mark();
  bed->Update(300);
  EXPECT_EQ(bed->GetProgressLine(), nullptr);
  bed->Update(300);
  ASSERT_NE(bed->GetProgressLine(), nullptr);
  SSProgressLine* line = bed->GetProgressLine();
  EXPECT_EQ(Describe(line), "line at 900,300 width 64 mode 1");
  EXPECT_EQ(Showing(line), "show line after 0 style 4 for 200");
  EXPECT_EQ(rig_.Since(from), Log{});
  from = rig_.Mark();
  Maker().HoverPoint(3, nullptr);  // beyond the table: none
  EXPECT_FALSE(bed->IsPointHovered());
  EXPECT_EQ(Map().GetHoveredPoint(), -1);
  EXPECT_EQ(bed->GetProgressLine(), nullptr);
  EXPECT_EQ(Showing(line), "hide line for good after 0 style 3 for 200");
  EXPECT_EQ(rig_.Since(from), Log{});
  bed->refuseHover = true;
  Maker().HoverPoint(2, nullptr);
  EXPECT_FALSE(bed->IsPointHovered());
  EXPECT_EQ(Map().GetHoveredPoint(), -1);

  from = rig_.Mark();
  Maker().SelectPoint(0, true);
  Maker().SelectPoint(0, true);  // unchanged: nothing
  Maker().SelectPoint(1, false);
  EXPECT_EQ(rig_.level.hud.selectedAtPanel, 0) << "the level takes the new index after the point's OnSelect";
  Place(1)->GetMarker()->OnClick();  // the marker selects its own place: already
  Maker().SelectPoint(3, false);     // the table's size: none
  EXPECT_EQ(rig_.Since(from), (Log{"panel 8000000 for 0", "tutorial 80000002 0", "hide panel 8000000",
                                   "panel 8000001 for 1", "tutorial 80000002 1", "hide panel 8000001", "empty panel",
                                   "tutorial 80000002 -1"}));
  EXPECT_EQ(Place(0)->GetMarker()->OnClick(), nullptr);
  EXPECT_EQ(Map().GetSelectedPoint(), 0);
  Map().ClosePanelExcept(Place(0));
  EXPECT_EQ(Map().GetSelectedPoint(), 0);
  Map().ClosePanelExcept(nullptr);
  EXPECT_EQ(Map().GetSelectedPoint(), -1);
  EXPECT_FALSE(Place(0)->IsSelected());
}

// What a point read of the level while it shut down.
struct ShutdownReading {
  bool read = false;
  i32 wheatBeds = -1;
  BaseLevelPoint* damageable = nullptr;
};

// A point that reads the level while it shuts down for good.
struct ShuttingPoint : FakePoint {
  ShuttingPoint(LevelMap& m, Log& l, PointClass c, ShutdownReading& r) : FakePoint(m, l, c, true), reading(r) {}
  u32 DoShutdown(bool fade, bool final, u32 delay) override {
    if (final && !reading.read) {
      reading.read = true;
      reading.wheatBeds = GetMap().CountPoints(kPointKindPlant, kis::NameId(u"wheat"), 1);
      reading.damageable = GetMap().Points().GetDamageablePoint(GetIndex());
    }
    return FakePoint::DoShutdown(fade, final, delay);
  }
  ShutdownReading& reading;
};

// The task counts: beds of a plant kind and buildings of a building kind at
// a least level, and clean places (every point but a garbage place, and the
// definitions without a point); a point shutting down counts no more. The
// villains' targets: a standing point that may be damaged, those 150 or
// more away first, the nearer ones only when there are none.
TEST_F(LevelPoints, TaskCountsAndTheVillainsTargetsSeeOnlyStandingPoints) {
  auto bed = [](const char16_t* name, i32 level, i32 x) {
    return POINTDEF{2, level, kis::NameId(name), 0, {0, 0}, x, 300, 0};
  };
  auto building = [](const char16_t* name, i32 level, i32 x) {
    return POINTDEF{3, level, kis::NameId(name), 0, {0, 0}, x, 500, 0};
  };
  ShutdownReading reading;
  bool first = true;
  rig_.classes.make = [&](LevelMap& map, PointClass c, void*) -> LevelPoint* {
    if (std::exchange(first, false)) return new ShuttingPoint(map, rig_.level.log, c, reading);
    return new FakePoint(map, rig_.level.log, c, true);
  };
  rig_.Make({bed(u"wheat", 1, 150), bed(u"wheat", 2, 300), bed(u"apple", 1, 450), building(u"mill", 1, 150),
             building(u"mill", 2, 300), building(u"henhouse", 1, 450), MapRig::Garbage(kJunk, 100, 900, 300),
             MapRig::Garbage(0, 0, 1050, 300), MapRig::Garbage(0, 0, 1050, 500)});
  const u32 wheat = kis::NameId(u"wheat"), apple = kis::NameId(u"apple"), mill = kis::NameId(u"mill");
  EXPECT_EQ(Map().CountPoints(kPointKindPlant, wheat, 1), 2);
  EXPECT_EQ(Map().CountPoints(kPointKindPlant, wheat, 2), 1);
  EXPECT_EQ(Map().CountPoints(kPointKindPlant, wheat, 3), 0);
  EXPECT_EQ(Map().CountPoints(kPointKindPlant, apple, 1), 1);
  EXPECT_EQ(Map().CountPoints(kPointKindBuilding, mill, 1), 2);
  EXPECT_EQ(Map().CountPoints(kPointKindBuilding, mill, 2), 1);
  EXPECT_EQ(Map().CountPoints(kPointKindBuilding, kis::NameId(u"henhouse"), 1), 1);
  EXPECT_EQ(Map().CountPoints(kPointKindBuilding, wheat, 1), 0);  // a plant's id is no building
  EXPECT_EQ(Map().CountCleanPlaces(), 8);
  delete Map().GetPoint(8);  // a definition without its point counts as clean
  EXPECT_EQ(Map().GetPoint(8), nullptr);
  EXPECT_EQ(Map().CountCleanPlaces(), 8);

  // Damageable: standing, and allowed (a place never; a point of level 0 not).
  LevelPointMaker& maker = Maker();
  EXPECT_EQ(maker.GetDamageablePoint(0), Map().GetPoint(0));
  EXPECT_EQ(maker.GetDamageablePoint(6), nullptr);
  EXPECT_EQ(maker.GetDamageablePoint(8), nullptr);
  EXPECT_EQ(maker.GetDamageablePoint(-1), nullptr);
  EXPECT_EQ(maker.GetDamageablePoint(9), nullptr);
  for (i32 i = 1; i < 5; ++i) static_cast<LevelPoint*>(Map().GetPoint(i))->SetLevel(0, false, 0);
  EXPECT_EQ(maker.GetDamageablePoint(1), nullptr);
  // Left: the bed at (150, 300) and the henhouse at (450, 500).
  std::set<i32> picked;
  for (i32 i = 0; i < 40; ++i) {
    EXPECT_EQ(PickVillainTarget(Map(), 150, 449), 5) << "149 from the bed: the henhouse, 150 or more away";
    picked.insert(PickVillainTarget(Map(), 150, 450));  // 150 from the bed: both are far
  }
  EXPECT_EQ(picked, (std::set<i32>{0, 5}));
  static_cast<LevelPoint*>(Map().GetPoint(5))->SetLevel(0, false, 0);
  EXPECT_EQ(PickVillainTarget(Map(), 150, 449), 0) << "no far one: a near one";
  EXPECT_EQ(PickVillainTarget(Map(), 150, 300), 0);

  // The bed shutting down counts no more and is nobody's target.
  rig_.classes.make = nullptr;
  EXPECT_TRUE(Maker().MakeEmpty(0));
  EXPECT_TRUE(reading.read);
  EXPECT_EQ(reading.wheatBeds, 0) << "the other wheat bed is at level 0 now";
  EXPECT_EQ(reading.damageable, nullptr);
  EXPECT_EQ(PickVillainTarget(Map(), 150, 300), -1);
}

TEST_F(LevelPoints, ClearingGarbageRecountsTheCleanPlacesTaskUntilTheLevelIsWon) {
  rig_.level.SetTasks(0, {{kTaskCleanPlaces, 0, 0, 3}});
  rig_.Make({MapRig::Garbage(kJunk, 100, 300, 300), MapRig::Garbage(kStones, 100, 600, 300),
             MapRig::Garbage(kJunk, 100, 900, 300)});
  EXPECT_EQ(rig_.level.rules->Tasks().GetProgress(0), 0);
  EXPECT_EQ(Describe(Place(0)->GetClearButton()), "price button Clea small_ico_clear 100 at 300,247");
  EXPECT_EQ(Showing(Place(0)->GetClearButton()), "show button at once");
  EXPECT_EQ(Place(0)->GetGarbageObjects().GetCount(), 1);
  EXPECT_EQ(Place(1)->GetGarbageObjects().GetCount(), 0);  // only its footprint and click area
  EXPECT_EQ(Place(1)->GetGarbageObstacles()->GetCount(), 3u);
  EXPECT_EQ(rig_.FinderShapes(), 3 * 3 + 3);  // the garbage and the three markers' footprints
  const i32 tileShapes = rig_.TileShapes();

  ASSPriceButton* button = Place(0)->GetClearButton();
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->GetHandlerOwner(), static_cast<ScreenSpriteOwner*>(Place(0)));
  rig_.level.rules->Money().Set(50);
  button->RefreshEnabled();
  EXPECT_EQ(button->GetState(), 0u) << "greyed while the money is short";
  EXPECT_EQ(button->GetClickHandler()(button, button->GetHandlerOwner(), kMouseLeft), 2u);  // too little money: nothing
  EXPECT_EQ(Place(0)->GetClearButton(), button);
  rig_.level.rules->Money().Set(300);
  button->RefreshEnabled();
  EXPECT_EQ(button->GetState(), 1u);
  Maker().SelectPoint(0, false);
  size_t mark = rig_.Mark();
  FakeJob job(300, 332);
  rig_.care.job = &job;
  button->GetClickHandler()(button, button->GetHandlerOwner(), kMouseLeft);
  EXPECT_EQ(Showing(button), "hide button for good after 0 style 5 for 200");
  EXPECT_EQ(rig_.Since(mark), (Log{"clear job at 0"}));
  EXPECT_EQ(Place(0)->GetClearJob(), &job);
  Place(0)->ShowClearButton(true, 0);  // not while the job runs
  EXPECT_EQ(Place(0)->GetClearButton(), nullptr);

  // The job's end: the garbage fades, its shapes go, the task counts one.
  Place(0)->SetClearJob(nullptr);
  mark = rig_.Mark();
  Place(0)->SetGarbage(nullptr, 0, true, 0);
  EXPECT_EQ(rig_.Since(mark), (Log{"panel 8000001 for 0", "task 0 1"}));
  EXPECT_EQ(rig_.level.rules->Tasks().GetProgress(0), 1);
  EXPECT_EQ(rig_.FinderShapes(), 2 * 3 + 3);
  EXPECT_LT(rig_.TileShapes(), tileShapes);
  EXPECT_EQ(Map().GetDisposed(1).GetCount(), 1);  // the heap fading out
  POINTPARAMS info;
  Place(0)->GetInfo(&info);
  EXPECT_EQ(info.id, 0u);
  EXPECT_EQ(info.price, 0u);
  Place(1)->SetGarbage(nullptr, 0, false, 0);
  Place(2)->SetGarbage(nullptr, 0, false, 0);
  EXPECT_EQ(rig_.level.rules->Tasks().GetProgress(0), 3);
  EXPECT_EQ(rig_.level.rules->Tasks().GetResult(), kResultWon);
  EXPECT_EQ(Map().CountCleanPlaces(), 3);
}

// The points' sprites are the level's screen sprites: made into its list,
// the clear button greyed while the money is short yet clicked through the
// list to its place, a sprite its point deletes gone from the list at once.
TEST_F(LevelPoints, PointSpritesAreTheLevelsScreenSprites) {
  rig_.Make({MapRig::Garbage(kJunk, 30, 300, 300), MapRig::Garbage(0, 0, 600, 300)});
  const ScreenSpriteList& hud = rig_.level.hudList;
  ASSPriceButton* button = Place(0)->GetClearButton();
  ASSERT_NE(button, nullptr);
  rig_.level.rules->Money().Set(10);
  rig_.level.hudList.RefreshEnabled();
  ASSERT_EQ(hud.Sprites().GetCount(), 1);
  ASSERT_EQ(hud.Active().GetCount(), 1);
  EXPECT_EQ(button->GetState(), 0u);  // 10 of 30
  EXPECT_EQ(button->GetY(), 300 - 53 - 34);  // 34 above its anchor
  Maker().MakePoint(1, Params(2, u"wheat", 1), false);
  Maker().HoverPoint(1, nullptr);
  Fake(1)->Update(600);
  ASSERT_NE(Fake(1)->GetProgressLine(), nullptr);
  EXPECT_EQ(hud.Sprites().GetCount(), 2);

  // A press and release over the button reach the place: with the money
  // short nothing starts, with enough the clearing does.
  DXLViewer* viewer = GetGameViewer();
  ASSERT_EQ(viewer->BeginFrame(), 0);
  rig_.level.hudList.DrawAll();
  ASSERT_EQ(viewer->Present(), 0);
  const size_t mark = rig_.Mark();
  FakeJob job(300, 332);
  rig_.care.job = &job;
  const i32 x = button->GetX(), y = button->GetY();
  EXPECT_TRUE(rig_.level.hudList.MouseDown(x, y, kMouseLeft, 0));
  rig_.level.hudList.MouseUp(x, y, kMouseLeft, 0);
  EXPECT_EQ(rig_.Since(mark), Log{});
  EXPECT_EQ(Place(0)->GetClearButton(), button);
  rig_.level.rules->Money().Set(300);
  rig_.level.hudList.RefreshEnabled();
  EXPECT_EQ(button->GetState(), 1u);
  button->SetClickCooldown(0);
  EXPECT_TRUE(rig_.level.hudList.MouseDown(x, y, kMouseLeft, 0));
  rig_.level.hudList.MouseUp(x, y, kMouseLeft, 0);
  EXPECT_EQ(rig_.Since(mark), (Log{"clear job at 0"}));
  EXPECT_EQ(Place(0)->GetClearButton(), nullptr);

  // The bed replaced at once: its line leaves the list with it.
  Maker().MakePoint(1, POINTPARAMS{}, false);
  EXPECT_EQ(hud.Sprites().GetCount(), 1);  // the clear button, hiding
  rig_.care.job = nullptr;
  Place(0)->SetClearJob(nullptr);
}

TEST_F(LevelPoints, JobIconsSharingAPlaceSpreadAroundItAndJobsHearThePointGo) {
  rig_.Make({MapRig::Garbage(0, 0, 300, 300), MapRig::Garbage(0, 0, 600, 300)});
  Maker().MakePoint(0, Params(3, u"mill", 1), false);
  BaseLevelPoint* p = Map().GetPoint(0);
  FakeJob a(100, 100), b(100, 100), c(100, 100), d(50, 50), e(100, 100, false);
  p->AddJob(&a);
  EXPECT_EQ(std::make_pair(a.dx, a.dy), std::make_pair(0, 0));
  p->AddJob(&b);
  EXPECT_EQ(std::make_pair(a.dx, a.dy), std::make_pair(-18, 0));
  EXPECT_EQ(std::make_pair(b.dx, b.dy), std::make_pair(18, 0));
  p->AddJob(&d);  // elsewhere: alone
  p->AddJob(&e);  // no icon: left alone
  EXPECT_EQ(std::make_pair(d.dx, d.dy), std::make_pair(0, 0));
  EXPECT_EQ(e.dx, 99);
  p->AddJob(&c);  // 270, 390 and 510 degrees on a circle of 18
  EXPECT_EQ(std::make_pair(a.dx, a.dy), std::make_pair(0, -18));
  EXPECT_EQ(std::make_pair(b.dx, b.dy), std::make_pair(16, 9));
  EXPECT_EQ(std::make_pair(c.dx, c.dy), std::make_pair(-16, 9));
  p->DetachJob(&b);
  EXPECT_EQ(std::make_pair(a.dx, a.dy), std::make_pair(-18, 0));
  EXPECT_EQ(std::make_pair(c.dx, c.dy), std::make_pair(18, 0));
  Map().GetPoint(1)->AddJob(&a);  // one point at a time
  EXPECT_EQ(a.GetListPoint(), Map().GetPoint(1));
  EXPECT_EQ(std::make_pair(c.dx, c.dy), std::make_pair(0, 0));
  EXPECT_EQ(p->GetJobs().GetCount(), 3);

  // The point goes: its working job finishes, every listed job forgets it.
  FakeJob work(0, 0, false);
  Fake(0)->SetCurrentJob(&work);
  Maker().MakeEmpty(0);
  EXPECT_TRUE(work.finished && work.targetCleared);
  EXPECT_TRUE(c.targetCleared && d.targetCleared && e.targetCleared);
  EXPECT_EQ(c.GetListPoint(), nullptr);
  EXPECT_FALSE(a.targetCleared);
  Map().GetPoint(1)->DetachJob(&a);
}

}  // namespace

// The built points' panels played by clicks on the scenario set: the mill
// (level 4, hard) built from the empty place's panel and upgraded from its
// own, the chicken house (level 5) fed from its panel, and the kitchen
// garden's bed of level 2 (level 7) upgraded from its panel. Each page is
// drawn over its level as panel_factory.png, panel_henhouse.png,
// panel_bed.png and panel_tree.png for a person to look at.
#include <gtest/gtest.h>

#include <string>

#include "content/BuildingTable.h"
#include "content/PlantTable.h"
#include "level/map/LevelMap.h"
#include "level/objects/BasePointPlant.h"
#include "level/objects/PointFactory.h"
#include "level/objects/PointPetshouse.h"
#include "level/rules/LevelRules.h"
#include "level/rules/WarehouseStock.h"
#include "level/scene/GameLevel.h"
#include "engine/DXLViewer.h"
#include "resources/GameServices.h"
#include "ui/WindowManager.h"
#include "testsupport/LevelHarness.h"
#include "windows/CLPLevelBlock.h"
#include "windows/EmptyPlacePanels.h"
#include "windows/LevelPanel.h"
#include "windows/LevelPanelHost.h"
#include "windows/PointPanels.h"

namespace windowstest {
namespace {

using leveltest::LevelHarness;

class ScenarioPanels : public ::testing::Test {
 protected:
  ScenarioPanels() : h(leveltest::ScenarioDataFolder(), 800, 600, true) {}
  GameLevel& Make(i32 index, i32 regime) {
    GameLevelHooks hooks;
    hooks.rules.profile = &h.profile;
    hooks.villains = &h.villains;
    LevelSetup setup;
    setup.regime = regime;
    GameLevel* level = h.world.OpenLevel(index, setup, hooks);
    host = h.world.Panel();
    h.LoadAll();
    h.Enter();
    Click(400, 300);  // the day starts
    return *level;
  }
  void Click(i32 x, i32 y) {
    h.Level()->Input().OnMouseMove(x, y, 0, 0);
    h.Level()->Input().OnMouseDown(x, y, kMouseLeft, 0);
    h.Level()->Input().OnMouseUp(x, y, kMouseLeft, 0);
    h.Step(20);
  }
  // A click on the point's place (`up` units above it, onto its picture).
  void ClickPoint(i32 index, i32 up = 0) {
    const POINTDEF& p = h.Level()->GetInfo()->points[static_cast<size_t>(index)];
    i32 x = p.x, y = p.y - up;
    h.MapToScreen(&x, &y);
    Click(x, y);
  }
  void ClickButton(const GameButton* b) {
    ASSERT_NE(b, nullptr);
    const DXLRECT& panel = host->GetPanel()->GetRect();
    const DXLRECT& r = b->GetRect();
    Click(panel.left + (r.left + r.right) / 2, panel.top + (r.top + r.bottom) / 2);
  }
  template <class F>
  bool StepUntil(F done, u32 limitMs = 60000) {
    for (u32 t = 0; t < limitMs; t += 20) {
      if (done()) return true;
      h.Step(20);
    }
    return done();
  }
  template <class T>
  T* Page() const {
    return dynamic_cast<T*>(host->GetPanel()->GetCurrentChild());
  }
  LevelPoint* Point(i32 i) const { return static_cast<LevelPoint*>(h.Level()->Map().GetPoint(i)); }
  // The level and the windows over it (the panel, its hints).
  void Shoot(const char* name) {
    h.Step(400, 20, true);
    DXLViewer* viewer = GetGameViewer();
    ASSERT_EQ(viewer->BeginFrame(), 0);
    viewer->Clear(0xFF000000u);
    h.Level()->Draw();
    viewer->LoadIdentity(nullptr);
    viewer->ResetWorldTransform();
    GetGameServices().windowManager->Draw();
    ASSERT_EQ(viewer->Present(), 0);
    EXPECT_TRUE(h.WritePng(name));
  }

  LevelHarness h;
  LevelPanelHost* host = nullptr;
};

TEST_F(ScenarioPanels, MillBuiltThenUpgradedFromItsPanel) {
  ASSERT_TRUE(h.loaded);
  GameLevel& level = Make(3, 1);
  constexpr i32 kPlace = 1;
  ClickPoint(kPlace);
  auto* categories = Page<EmptyPointPanel>();
  ASSERT_NE(categories, nullptr);
  ClickButton(categories->RowButtons().at(1));
  auto* buildings = Page<BuildPanel>();
  ASSERT_NE(buildings, nullptr);
  ClickButton(buildings->RowButtons().at(1));
  auto* mill = dynamic_cast<PointFactory*>(Point(kPlace));
  ASSERT_NE(mill, nullptr);
  auto* page = Page<FactoryPanel>();
  ASSERT_NE(page, nullptr) << "the new mill's page shows at once";
  EXPECT_FALSE(page->GetUpgradeButton()->IsEnabled()) << "a site";
  ASSERT_TRUE(StepUntil([&] { return mill->GetLevel() == 1 && !mill->GetBuildJob(); }));

  const i32 money = level.Rules().Money().Get();
  const i32 price = mill->GetBuilding()->levels[1].price;
  Click(700, 120);  // the ground: nothing selected
  ASSERT_LT(level.Map().GetSelectedPoint(), 0);
  ClickPoint(kPlace, 30);
  ASSERT_EQ(Page<FactoryPanel>(), page);
  EXPECT_EQ(page->GetUpgradeButton()->GetCount(), price);
  ASSERT_TRUE(page->GetUpgradeButton()->IsEnabled());
  Shoot("panel_factory.png");
  ClickButton(page->GetUpgradeButton());
  ASSERT_NE(mill->GetBuildJob(), nullptr);
  EXPECT_EQ(level.Rules().Money().Get(), money - price);
  EXPECT_FALSE(page->GetUpgradeButton()->IsEnabled());
  ASSERT_TRUE(StepUntil([&] { return mill->GetLevel() == 2; }));
  EXPECT_EQ(page->GetLevelBlock()->GetCurrent(), 2);
}

TEST_F(ScenarioPanels, HenhouseFedFromItsPanel) {
  ASSERT_TRUE(h.loaded);
  GameLevel& level = Make(4, 0);
  constexpr i32 kHouse = 1;
  auto* house = dynamic_cast<PointPetshouse*>(Point(kHouse));
  ASSERT_NE(house, nullptr);
  ClickPoint(kHouse, 30);
  auto* page = Page<PetshousePanel>();
  ASSERT_NE(page, nullptr);
  const BUILDING* b = house->GetBuilding();
  const i32 amount = static_cast<i32>(b->levels[house->GetLevel() - 1].house.feedAmount);
  EXPECT_EQ(page->GetFeedButton()->GetCount(), amount);
  EXPECT_EQ(page->GetFeedButton()->GetProduct(), b->feedProduct);
  ASSERT_TRUE(page->GetFeedButton()->IsEnabled());
  EXPECT_FALSE(page->GetUpgradeButton()->IsEnabled()) << "at the level limit";
  EXPECT_EQ(page->GetUpgradeButton()->GetCount(), 0);
  Shoot("panel_henhouse.png");
  const i32 stock = level.Rules().Stock()->GetCount(b->feedProduct);
  ClickButton(page->GetFeedButton());
  ASSERT_NE(house->GetFeedJob(), nullptr);
  EXPECT_EQ(level.Rules().Stock()->GetCount(b->feedProduct), stock - amount);
  EXPECT_FALSE(page->GetFeedButton()->IsEnabled());
  ASSERT_TRUE(StepUntil([&] { return house->IsFed(); }));
  EXPECT_FALSE(page->GetFeedButton()->IsEnabled()) << "fed";
}

TEST_F(ScenarioPanels, BedUpgradedFromItsPanel) {
  ASSERT_TRUE(h.loaded);
  GameLevel& level = Make(6, 0);
  constexpr i32 kBed = 1, kTree = 2;
  auto* tree = dynamic_cast<BasePointPlant*>(Point(kTree));
  ASSERT_NE(tree, nullptr);
  ClickPoint(kTree, 30);
  auto* page = Page<PlantPanel>();
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->GetPoint(), tree);
  Shoot("panel_tree.png");

  auto* bed = dynamic_cast<BasePointPlant*>(Point(kBed));
  ASSERT_NE(bed, nullptr);
  ASSERT_EQ(bed->GetLevel(), 2);
  ClickPoint(kBed);
  ASSERT_EQ(Page<PlantPanel>(), page);
  EXPECT_EQ(page->GetPoint(), bed);
  const i32 price = bed->GetPlant()->prices[2];
  EXPECT_EQ(page->GetUpgradeButton()->GetCount(), price);
  ASSERT_TRUE(page->GetUpgradeButton()->IsEnabled());
  Shoot("panel_bed.png");
  const i32 money = level.Rules().Money().Get();
  ClickButton(page->GetUpgradeButton());
  ASSERT_NE(bed->GetPlantJob(), nullptr);
  EXPECT_EQ(level.Rules().Money().Get(), money - price);
  ASSERT_TRUE(StepUntil([&] { return bed->GetLevel() == 3; }));
  EXPECT_EQ(page->GetLevelBlock()->GetCurrent(), 3);
  EXPECT_EQ(page->GetUpgradeButton()->GetCount(), bed->GetPlant()->prices[3]);
}

}  // namespace
}  // namespace windowstest

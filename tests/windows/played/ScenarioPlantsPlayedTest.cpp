// The scenario set's kitchen garden (level 7) played by clicks through the
// level scene and the game's panels: the dry bed watered by its button, a
// clean place sown with wheat from the plants category (the price
// reserved, the player digs), the beds and the tree grown and harvested by
// their arrows into the warehouse, and the level left mid-dig and
// mid-growth and entered again as it was. And the beds of levels 1 to 4,
// one dry, and a ripe tree of level 4, drawn as plant_beds.png for a
// person to look at.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "base/DataBuffer.h"
#include "base/SavedStateStore.h"
#include "content/PlantTable.h"
#include "level/characters/LevelCharacters.h"
#include "level/characters/MapPlayer.h"
#include "level/map/EmptyLevelPoint.h"
#include "level/map/LevelMap.h"
#include "level/map/LevelPointMaker.h"
#include "level/objects/PlantGrowth.h"
#include "level/objects/PointPlant.h"
#include "level/objects/PointTree.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelTasks.h"
#include "level/rules/WarehouseStock.h"
#include "level/scene/GameLevel.h"
#include "level/state/GameLevelSaves.h"
#include "hud/ASSArrowButton.h"
#include "ScenarioPlayed.h"
#include "windows/EmptyPlacePanels.h"
#include "windows/LevelPanel.h"
#include "windows/LevelPanelHost.h"

namespace windowstest {
namespace {

using leveltest::LevelHarness;

constexpr i32 kGardenLevel = 6;  // the seventh scenario level
constexpr i32 kDryBed = 1, kTree = 2, kPlace = 3;

class Garden : public ScenarioPlayed {
 protected:
  Garden() : ScenarioPlayed(kGardenLevel) {}
  // An arrow button stands 32 pixels above its anchor on the screen; it
  // takes the click once it has appeared and the pointer has rested on it.
  void ClickArrow(const ASSArrowButton* b) {
    ASSERT_NE(b, nullptr);
    i32 x = b->GetBaseX(), y = b->GetBaseY();
    h.MapToScreen(&x, &y);
    for (i32 n = 0; n < 100 && !b->IsActive(); ++n) h.Step(20, 20, true);  // its show effect runs as it is drawn
    ASSERT_TRUE(b->IsActive());
    h.Level()->Input().OnMouseMove(x, y - 32, 0, 0);
    h.Step(60);
    h.Level()->Input().OnMouseDown(x, y - 32, kMouseLeft, 0);
    h.Step(20);
    h.Level()->Input().OnMouseUp(x, y - 32, kMouseLeft, 0);
    h.Step(20);
  }
  template <class F>
  bool StepUntil(F done, u32 limitMs = 120000) {
    for (u32 t = 0; t < limitMs; t += 20) {
      if (done()) return true;
      h.Step(20);
    }
    return done();
  }
  BasePointPlant* Plant(i32 i) { return dynamic_cast<BasePointPlant*>(h.Level()->Map().GetPoint(i)); }
  MapPlayer* Player() { return h.Level()->Map().GetCharacters()->GetPlayer(); }
  i32 Stock(const wchar* product) {
    LevelRules& rules = h.Level()->Rules();
    const PRODUCT* p = nullptr;
    if (const PLANT* plant = FindPlantByName(product)) p = plant->product;
    return p ? rules.Stock()->GetCount(p) : -1;
  }
};

TEST_F(Garden, WateredSownGrownAndHarvestedByClicksAndSavedMidway) {
  ASSERT_TRUE(h.loaded);
  GameLevel& level = Make();
  Click(400, 300);  // the day starts
  ASSERT_TRUE(level.Rules().IsStarted());
  BasePointPlant* dry = Plant(kDryBed);
  ASSERT_NE(dry, nullptr);
  EXPECT_EQ(dry->GetLevel(), 2);
  EXPECT_EQ(dry->GetWaterLeft(), 0);
  ClickArrow(dry->GetWaterButton());
  EXPECT_NE(dry->GetWaterJob(), nullptr);

  // The clean place: the plants category, then wheat.
  i32 x = level.GetInfo()->points[kPlace].x, y = level.GetInfo()->points[kPlace].y;
  h.MapToScreen(&x, &y);
  Click(x, y);
  auto* categories = dynamic_cast<EmptyPointPanel*>(host->GetPanel()->GetCurrentChild());
  ASSERT_NE(categories, nullptr);
  ClickButton(categories->RowButtons().at(0));
  auto* plants = dynamic_cast<BuildPanel*>(host->GetPanel()->GetCurrentChild());
  ASSERT_NE(plants, nullptr);
  const i32 money = level.Rules().Money().Get();
  ClickButton(plants->RowButtons().at(1));
  BasePointPlant* sown = Plant(kPlace);
  ASSERT_NE(sown, nullptr);
  EXPECT_EQ(sown->GetLevel(), 0);
  EXPECT_EQ(level.Rules().Money().Get(), money - sown->GetPlant()->prices[0]);

  ASSERT_TRUE(StepUntil([&] { return Plant(kPlace)->IsDigging(); }));
  EXPECT_GT(dry->GetWaterLeft(), 0) << "watered first";
  h.Step(300);
  LeaveAndEnterEqual();  // mid-dig
  EXPECT_TRUE(Plant(kPlace)->IsDigging());
  EXPECT_EQ(Player()->GetJobs().GetCount(), 1);
  ASSERT_TRUE(StepUntil([&] { return Plant(kPlace)->GetLevel() == 1; }));
  ASSERT_TRUE(StepUntil([&] { return Plant(kPlace)->Growth().GetPercent() > 30.0f; }));
  const float growth = Plant(kPlace)->Growth().GetPercent();
  LeaveAndEnterEqual();  // mid-growth
  EXPECT_EQ(Plant(kPlace)->Growth().GetPercent(), growth);

  // The old bed of level 2 harvested by its arrow: two wheat.
  dry = Plant(kDryBed);
  ASSERT_TRUE(StepUntil([&] { return dry->GetHarvestButton() != nullptr; }));
  const i32 wheat = Stock(u"wheat");
  ClickArrow(dry->GetHarvestButton());
  ASSERT_TRUE(StepUntil([&] { return Stock(u"wheat") == wheat + 2; }, 20000));

  // The tree of level 1 ripens and gives one apple.
  BasePointPlant* tree = Plant(kTree);
  ASSERT_NE(dynamic_cast<PointTree*>(tree), nullptr);
  ASSERT_TRUE(StepUntil([&] { return tree->GetHarvestButton() != nullptr; }));
  const i32 apples = Stock(u"apple_tree");
  ClickArrow(tree->GetHarvestButton());
  ASSERT_TRUE(StepUntil([&] { return Stock(u"apple_tree") == apples + 1; }, 20000));

  // The sown bed's wheat is the third: the day is won.
  ASSERT_NE(Plant(kPlace)->GetHarvestButton(), nullptr);
  ClickArrow(Plant(kPlace)->GetHarvestButton());
  ASSERT_TRUE(StepUntil([&] { return level.Rules().Tasks().GetResultShown() != kResultNone; }, 20000));
  EXPECT_EQ(level.Rules().Tasks().GetResultShown(), kResultWon);
}

// Beds of levels 1 to 4 growing, the dry one of level 2 with its water
// button, and the tree raised to level 4 and ripe with its harvest arrow.
TEST_F(Garden, BedsOfEveryLevelAndARipeTreeDrawn) {
  ASSERT_TRUE(h.loaded);
  GameLevel& level = Make();
  LevelPointMaker& maker = level.Map().Points();
  const PLANT* wheat = FindPlantByName(u"wheat");
  ASSERT_NE(wheat, nullptr);
  struct Bed {
    i32 point, level;
    float percent;
  };
  const PLANT* apple = FindPlantByName(u"apple_tree");
  ASSERT_NE(apple, nullptr);
  const auto make = [&](i32 point, const PLANT* kind, i32 bedLevel, float percent, i32 water) {
    POINTPARAMS p;
    p.kind = kPointKindPlant;
    p.level = bedLevel;
    p.id = kind->id;
    PutPlantInfo({percent, water, 2}, &p);
    maker.MakePoint(point, p, false);
    ASSERT_NE(Plant(point), nullptr) << point;
  };
  make(3, wheat, 1, 30.0f, 1);
  make(4, wheat, 3, 60.0f, 2);
  make(5, wheat, 4, 85.0f, 1);
  make(6, wheat, 2, 10.0f, 2);
  make(kTree, apple, 4, 100.0f, 2);
  Click(400, 300);  // the day starts
  h.Step(400, 20, true);
  auto* tree = dynamic_cast<PointTree*>(Plant(kTree));
  ASSERT_NE(tree, nullptr);
  EXPECT_NE(Plant(kDryBed)->GetWaterButton(), nullptr);
  EXPECT_NE(tree->GetHarvestButton(), nullptr);
  ASSERT_NE(tree->GetTree(), nullptr);
  EXPECT_EQ(tree->GetFruitCount(), apple->fruitCounts[3]);
  for (u32 i = 0; i < tree->GetFruitCount(); ++i)
    EXPECT_EQ(tree->GetTree()->GetFruitFrame(i), 4) << "every fruit at its last frame";
  for (i32 i : {3, 4, 5, 6}) {
    EXPECT_FALSE(Plant(i)->Growth().IsRipe()) << i;
    EXPECT_EQ(dynamic_cast<PointPlant*>(Plant(i))->GetCrops().size(), static_cast<size_t>(Plant(i)->GetLevel()));
  }
  h.DrawFrame();
  EXPECT_TRUE(h.WritePng("plant_beds.png"));
}

}  // namespace
}  // namespace windowstest

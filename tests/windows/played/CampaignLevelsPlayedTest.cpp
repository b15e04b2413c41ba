// The campaign's first two levels of the sample data set won by their
// tasks, by clicks alone through the level scene and the game's panels, in
// both play modes. Level 1: both clean places sown with wheat from the
// plants category, the beds harvested by their arrows and watered when dry
// until the warehouse has taken in the wheat task 0 asks. Level 2: a flour
// mill built on each site from the factories' category, the sown beds
// harvested and their wheat ground sack by sack by the mills' product
// buttons until the flour (and, in the hard mode, the wheat) is stored
// (the mills stand before any wheat comes in: their buttons follow the
// stock). Each is won within its medal times.
#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>

#include "content/BuildingTable.h"
#include "content/LevelTable.h"
#include "content/PlantTable.h"
#include "content/ProductList.h"
#include "level/map/LevelMap.h"
#include "level/objects/BasePointPlant.h"
#include "level/objects/PointFactory.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelTasks.h"
#include "level/rules/WarehouseStock.h"
#include "level/scene/GameLevel.h"
#include "hud/ASSArrowButton.h"
#include "hud/ASSProductionButton.h"
#include "ScenarioPlayed.h"
#include "windows/EmptyPlacePanels.h"
#include "windows/LevelPanel.h"
#include "windows/LevelPanelHost.h"

namespace windowstest {
namespace {

constexpr i32 kFarm = 0, kCampaignMill = 1;  // the campaign's first two levels
constexpr i32 kPlaceA = 1, kPlaceB = 2, kBedA = 3, kBedB = 4;
constexpr u32 kLimitMs = 400000;     // of game time, past every bronze limit

class Campaign : public ScenarioPlayed, public ::testing::WithParamInterface<i32> {
 protected:
  explicit Campaign(i32 level)
      : ScenarioPlayed(level, GetParam(), false, leveltest::SampleDataFolder()), level_(level) {}

  void ClickSprite(const ActiveScreenSprite* s) { ClickScreenSprite(h, s); }
  // The level made and its day started, both places ordered from the
  // category: a plant or a building kind on each.
  GameLevel& Begin(u32 category, const void* record) {
    GameLevel& level = Make();
    Click(400, 300);  // the day starts
    EXPECT_TRUE(level.Rules().IsStarted());
    EXPECT_NE(record, nullptr);
    Order(kPlaceA, category, record);
    Order(kPlaceB, category, record);
    return level;
  }
  // The place clicked, its category opened in the panel, then the row's
  // button for the record (a plant or a building kind).
  void Order(i32 place, u32 category, const void* record) {
    i32 x = h.Level()->GetInfo()->points[place].x, y = h.Level()->GetInfo()->points[place].y;
    h.MapToScreen(&x, &y);
    h.Level()->Input().OnMouseMove(x, y, 0, 0);  // off the panel's buttons: a frame takes the place's hover
    h.Step(20);
    Click(x, y);
    auto* categories = dynamic_cast<EmptyPointPanel*>(host->GetPanel()->GetCurrentChild());
    ASSERT_NE(categories, nullptr) << place;
    ClickButton(Row(categories->RowButtons(), [&](const LevelPanelButton* b) { return b->GetId() == category; }));
    auto* kinds = dynamic_cast<BuildPanel*>(host->GetPanel()->GetCurrentChild());
    ASSERT_NE(kinds, nullptr) << place;
    ClickButton(Row(kinds->RowButtons(), [&](const LevelPanelButton* b) { return b->GetRecord() == record; }));
  }
  template <class Test>
  static const LevelPanelButton* Row(const std::vector<LevelPanelButton*>& row, Test test) {
    for (const LevelPanelButton* b : row)
      if (b && test(b)) return b;
    return nullptr;
  }
  // A ripe bed harvested, a dry one watered, by their arrows.
  void TendBeds(std::initializer_list<i32> beds) {
    for (i32 i : beds) {
      auto* bed = dynamic_cast<BasePointPlant*>(h.Level()->Map().GetPoint(i));
      ASSERT_NE(bed, nullptr) << i;
      if (bed->GetHarvestButton()) ClickSprite(bed->GetHarvestButton());
      if (bed->GetWaterButton()) ClickSprite(bed->GetWaterButton());
    }
  }
  i32 Stock(const wchar* product) {
    return h.Level()->Rules().Stock()->GetCount(GetProductList()->FindByName(product));
  }
  bool Decided() const { return h.Level()->Rules().Tasks().GetResultShown() != kResultNone; }
  // Won, every task met, within the medal times of the mode.
  void ExpectWon(const char* what) {
    LevelRules& rules = h.Level()->Rules();
    ASSERT_EQ(rules.Tasks().GetResultShown(), kResultWon) << what;
    for (u32 t = 0; t < rules.Tasks().GetTaskCount(); ++t)
      EXPECT_GE(rules.Tasks().GetProgress(t), rules.Tasks().GetTask(t)->target) << what << " task " << t;
    const u32 time = rules.Clock().GetTime();
    EXPECT_GE(h.Levels().GetMedal(GetParam(), level_, time), kGradeBronze) << what;
    std::printf("%s, mode %d: won at %.2f s of level time, grade %d\n", what, GetParam(), time / 1000.0,
                h.Levels().GetMedal(GetParam(), level_, time));
  }

 private:
  i32 level_;
};

class FarmPlayed : public Campaign {
 protected:
  FarmPlayed() : Campaign(kFarm) {}
};

class MillPlayed : public Campaign {
 protected:
  MillPlayed() : Campaign(kCampaignMill) {}
};

TEST_P(FarmPlayed, SownHarvestedAndWateredToItsWheat) {
  ASSERT_TRUE(h.loaded);
  const PLANT* wheat = FindPlantByName(u"wheat");
  GameLevel& level = Begin(kPanelOpenPlants, wheat);
  ASSERT_NE(wheat, nullptr);
  EXPECT_EQ(level.Rules().Money().Get(), level.GetInfo()->startMoney - 2 * wheat->prices[0]) << "both beds paid for";
  for (u32 t = 0; t < kLimitMs && !Decided() && !HasFatalFailure(); t += 20) {
    TendBeds({kPlaceA, kPlaceB});
    h.Step(20);
  }
  ExpectWon("level 1");
  EXPECT_GE(Stock(u"wheat"), level.Rules().Tasks().GetTask(0)->target) << "nothing sold";
}

TEST_P(MillPlayed, MillsBuiltAndTheBedsWheatGroundToItsFlour) {
  ASSERT_TRUE(h.loaded);
  GameLevel& level = Begin(kPanelOpenFactories, FindBuildingByName(u"prod_flour"));
  u32 sacks = 0;  // production started by a click
  for (u32 t = 0; t < kLimitMs && !Decided() && !HasFatalFailure(); t += 20) {
    TendBeds({kBedA, kBedB});
    for (i32 site : {kPlaceA, kPlaceB}) {
      auto* factory = dynamic_cast<PointFactory*>(level.Map().GetPoint(site));
      if (!factory || factory->GetLevel() < 1 || factory->GetRecipeCount() < 1 || Stock(u"wheat") < 2 ||
          factory->GetBusyCount() >= factory->GetSlotCount() || !factory->GetRecipe(0).button)
        continue;
      ClickSprite(factory->GetRecipe(0).button);
      ++sacks;
    }
    h.Step(20);
  }
  ExpectWon("level 2");
  EXPECT_GE(sacks, 3u);
  EXPECT_GE(Stock(u"flour"), 3);
}

INSTANTIATE_TEST_SUITE_P(Modes, FarmPlayed, ::testing::Values(0, 1));
INSTANTIATE_TEST_SUITE_P(Modes, MillPlayed, ::testing::Values(0, 1));

}  // namespace
}  // namespace windowstest

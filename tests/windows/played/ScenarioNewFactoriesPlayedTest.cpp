// The bakery, the dairy and the loom house played on the scenario set's
// mill level (level 4) with the hens, cows and sheep allowed beside them:
// each built through the empty place's panels for its price, each turning
// its ingredients into its goods at the factories' rate, each raised to a
// higher level with one more production slot a level, and the three
// working side by side drawn into new_factories.png on a screen of the
// playfield's own size.
#include <gtest/gtest.h>

#include <cmath>

#include "content/BuildingTable.h"
#include "content/LevelRates.h"
#include "content/ProductList.h"
#include "level/map/LevelMap.h"
#include "level/objects/Job_Build.h"
#include "level/objects/PointFactory.h"
#include "level/rules/LevelRules.h"
#include "level/rules/WarehouseStock.h"
#include "level/scene/GameLevel.h"
#include "ScenarioPlayed.h"

namespace windowstest {
namespace {

constexpr i32 kMillScenario = 3;  // the fourth scenario level: five empty places

struct NewFactory {
  const wchar* kind;
  const wchar* product;
  i32 place;
  i32 level;  // raised to before the picture
};
constexpr NewFactory kNewFactories[] = {
    {u"prod_cheese", u"cheese", 3, 3}, {u"prod_bread", u"bread", 1, 2}, {u"prod_cloth", u"cloth", 2, 4}};

class NewFactoriesScene : public ScenarioPlayed {
 protected:
  NewFactoriesScene()
      : ScenarioPlayed(kMillScenario, 0, true, leveltest::ScenarioDataFolder(), kLevelViewWidth,
                       kLevelViewHeight + kLevelPanelHeight) {}
  PointFactory* Factory(i32 place) { return dynamic_cast<PointFactory*>(h.Level()->Map().GetPoint(place)); }
  WarehouseStock& Stock() { return *h.Level()->Rules().Stock(); }
  // Two units' worth of every ingredient of the product in the warehouse.
  void StockFor(const PRODUCT* p) {
    for (u32 k = 0; k < p->ingredientCount; ++k)
      Stock().Add(p->ingredientProducts[k], 2 * p->ingredients[k].amount, false);
  }
};

TEST_F(NewFactoriesScene, EachIsBuiltMakesItsGoodsAndGrowsWithItsLevels) {
  ASSERT_TRUE(h.loaded);
  GameLevel& level = Make();
  Click(640, 360);  // the day starts
  ASSERT_TRUE(level.Rules().IsStarted());
  // The animal houses make eggs, milk and wool available; the new factories
  // join the level's build panel.
  for (const wchar* kind : {u"henhouse", u"cowshed", u"sheep_rack", u"prod_bread", u"prod_cheese", u"prod_cloth"}) {
    ASSERT_NE(FindBuildingByName(kind), nullptr);
    FindBuildingByName(kind)->EnableForLevel(4);
  }
  level.Rules().Money().Set(LevelMoney::kMax);

  for (const NewFactory& f : kNewFactories) {
    const BUILDING* kind = FindBuildingByName(f.kind);
    const i32 money = level.Rules().Money().Get();
    i32 x = h.Level()->GetInfo()->points[f.place].x, y = h.Level()->GetInfo()->points[f.place].y;
    h.MapToScreen(&x, &y);
    h.Level()->Input().OnMouseMove(x, y, 0, 0);
    DrawnFrames(400);  // the last one's panel hides as it is drawn
    BuildFactory(f.place, f.kind);
    ASSERT_NE(Factory(f.place), nullptr) << f.place;
    EXPECT_EQ(Factory(f.place)->GetBuilding(), kind);
    EXPECT_EQ(level.Rules().Money().Get(), money - kind->levels[0].price);
    ASSERT_GE(MsUntil([&] { return Factory(f.place)->GetLevel() == 1; }), 0) << f.place;
    EXPECT_EQ(Factory(f.place)->GetSlotCount(), 1);
    ASSERT_EQ(Factory(f.place)->GetRecipeCount(), 1);
    EXPECT_EQ(Factory(f.place)->GetRecipe(0).product, GetProductList()->FindByName(f.product));
  }

  DrawnFrames(600);  // the last one's finished look settles
  // All three at once: each takes its ingredients as it starts and stores
  // one unit after its own time at the factories' rate.
  const float rate = level.Rules().GetRate(kRateFactories);
  for (const NewFactory& f : kNewFactories) {
    PRODUCT* product = GetProductList()->FindByName(f.product);
    StockFor(product);
    PointFactory* factory = Factory(f.place);
    factory->RefreshIngredients();
    ASSERT_TRUE(factory->StartProduction(0, -1, true)) << f.place;
    for (u32 k = 0; k < product->ingredientCount; ++k)
      EXPECT_EQ(Stock().GetCount(product->ingredientProducts[k]), product->ingredients[k].amount) << f.place;
    EXPECT_EQ(factory->GetBusyCount(), 1);
  }
  i32 done[3] = {-1, -1, -1};
  for (i32 t = 0; t <= 30000 && (done[0] < 0 || done[1] < 0 || done[2] < 0); t += 10) {
    for (i32 i = 0; i < 3; ++i)
      if (done[i] < 0 && Stock().GetCount(GetProductList()->FindByName(kNewFactories[i].product)) == 1) done[i] = t;
    h.Step(10, 10);
  }
  for (i32 i = 0; i < 3; ++i) {
    const PRODUCT* product = GetProductList()->FindByName(kNewFactories[i].product);
    const i32 expected = static_cast<i32>(std::ceil(static_cast<float>(product->productionTime) / rate / 10.0f)) * 10;
    EXPECT_NEAR(done[i], expected, 20) << i;
    EXPECT_EQ(Factory(kNewFactories[i].place)->GetBusyCount(), 0) << i;
  }

  // Raised level by level, each level a slot more; then every slot busy.
  for (const NewFactory& f : kNewFactories) {
    for (i32 l = 2; l <= f.level; ++l) {
      ASSERT_NE(Job_Build::Create(*Factory(f.place)), nullptr) << f.place << " " << l;
      ASSERT_GE(MsUntil([&] { return Factory(f.place)->GetLevel() == l; }), 0) << f.place << " " << l;
    }
  }
  for (const NewFactory& f : kNewFactories) {
    PointFactory* factory = Factory(f.place);
    EXPECT_EQ(factory->GetSlotCount(), f.level);
    PRODUCT* product = GetProductList()->FindByName(f.product);
    for (i32 s = 0; s < f.level; ++s) {
      StockFor(product);
      factory->RefreshIngredients();
      EXPECT_TRUE(factory->StartProduction(0, -1, true)) << f.place << " " << s;
    }
    EXPECT_EQ(factory->GetBusyCount(), f.level);
  }
  Shoot("new_factories.png", 1500);
  for (const NewFactory& f : kNewFactories) EXPECT_GT(Factory(f.place)->GetSlot(0).progress, 0.0f) << f.place;
}

}  // namespace
}  // namespace windowstest

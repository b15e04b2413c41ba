#include <gtest/gtest.h>

#include "ContentSamples.h"
#include "content/ContentServices.h"
#include "resources/MapSprite.h"
#include "resources/Sprite.h"

using namespace contenttest;

namespace {

// The sample products (and awards, the first named "wheat", installed as
// the game's) read and linked.
struct ProductsRig {
  ContentRig rig;
  ProductList list;
  AwardTable awards;

  explicit ProductsRig(std::vector<PRODUCT> products = SampleProducts()) {
    TIEREDAWARD tiered[kTieredAwardCount];
    RECORDAWARD records[kRecordAwardCount];
    SampleAwards(tiered, records);
    EXPECT_TRUE(rig.WriteData({{kProductSectionId, kProductSectionSubId, ProductSection(products)},
                               {kAwardSectionId, kAwardSectionSubId, AwardSection(tiered, records)}}));
    EXPECT_EQ(rig.Read([&](auto* r, SectionCursor* c) { return list.ReadSection(r, c); }).error, 0u);
    EXPECT_EQ(rig.Read([&](auto* r, SectionCursor* c) { return awards.ReadSection(r, c); }).error, 0u);
    list.ResolveIngredients();
    GetContentServices().awards = &awards;
  }
  ~ProductsRig() { GetContentServices().awards = nullptr; }
  PRODUCT* operator[](const char16_t* name) { return list.FindByName(name); }
};

}  // namespace

TEST(ProductList, KnownIngredientsWithAnAmountArePackedToTheFrontInTheirOrder) {
  ProductsRig p;
  PRODUCT* wheat = p[u"wheat"];
  PRODUCT* flour = p[u"FLOUR"];
  PRODUCT* bread = p[u"bread"];
  ASSERT_TRUE(wheat && flour && bread);
  EXPECT_EQ(p.list.FindById(0), nullptr);
  EXPECT_EQ(p.list.FindById(12345), nullptr);
  // Flour: slot 0 names nothing known, slots 1 and 3 the wheat.
  ASSERT_EQ(flour->ingredientCount, 2u);
  EXPECT_EQ(flour->ingredients[0].amount, 2);
  EXPECT_EQ(flour->ingredients[1].amount, 1);
  EXPECT_EQ(flour->ingredientProducts[0], wheat);
  EXPECT_EQ(flour->ingredientProducts[1], wheat);
  EXPECT_EQ(flour->ingredientProducts[2], nullptr);
  EXPECT_EQ(flour->ingredients[3].id, 0u);
  // Bread: slot 2 the flour moves to 0; slot 3 has amount 0 and is dropped.
  ASSERT_EQ(bread->ingredientCount, 1u);
  EXPECT_EQ(bread->ingredientProducts[0], flour);
  EXPECT_EQ(wheat->ingredientCount, 0u);
  // Resolving twice changes nothing.
  p.list.ResolveIngredients();
  EXPECT_EQ(flour->ingredientCount, 2u);
  EXPECT_EQ(flour->ingredientProducts[1], wheat);
  EXPECT_EQ(flour->productionTime, 7000u);
}

TEST(ProductList, AProductIsAvailableWhenItAndEveryIngredientAreUsedOnTheLevel) {
  ProductsRig p;
  EXPECT_FALSE(p.list.IsAvailable(nullptr));
  p.list.UseProduct(p[u"bread"]);
  EXPECT_FALSE(p.list.IsAvailableById(kis::NameId(u"bread")));  // the flour is not used
  p.list.UseProductById(kis::NameId(u"flour"));
  EXPECT_FALSE(p.list.IsAvailable(p[u"bread"]));  // nor the wheat
  p.list.UseProduct(p[u"wheat"]);
  EXPECT_TRUE(p.list.IsAvailable(p[u"bread"]));
  p.list.ClearUsedFlags();
  EXPECT_FALSE(p.list.IsAvailable(p[u"wheat"]));
}

// A recipe that comes back to itself ends: the products of the circle are
// judged by their own use on the level and the rest of their recipes.
TEST(ProductList, ACircularRecipeEndsTheAvailabilityCheck) {
  std::vector<PRODUCT> v = {Product(u"egg", 1, {{kis::NameId(u"hen"), 1}}),
                            Product(u"hen", 1, {{kis::NameId(u"egg"), 2}}), Product(u"self", 1)};
  v[2].ingredients[0] = INGREDIENT{kis::NameId(u"self"), 1};
  v[2].ingredientCount = 1;
  ProductsRig p(v);
  for (const char16_t* name : {u"egg", u"hen", u"self"}) p.list.UseProduct(p[name]);
  EXPECT_TRUE(p.list.IsAvailable(p[u"egg"]));
  EXPECT_TRUE(p.list.IsAvailable(p[u"self"]));
  p[u"hen"]->used = false;
  EXPECT_FALSE(p.list.IsAvailable(p[u"egg"]));
  EXPECT_FALSE(p.list.IsAvailable(p[u"hen"]));
}

TEST(ProductList, AProductLoadsItsPicturesAndFindsItsAwardOnTheFirstAcquireOnly) {
  ProductsRig p;
  PRODUCT* wheat = p[u"wheat"];
  PRODUCT* flour = p[u"flour"];
  ASSERT_TRUE(wheat->icon && wheat->icon2 && wheat->mapSprite);
  EXPECT_EQ(wheat->awardIndex, -1);
  p.list.UseProduct(wheat);
  p.list.UseProduct(wheat);  // used once per level
  EXPECT_EQ(wheat->useCount, 1);
  p.list.LoadProduct(wheat);
  EXPECT_EQ(wheat->useCount, 2);
  EXPECT_EQ(wheat->icon->GetInitCount(), 1);
  EXPECT_TRUE(wheat->mapSprite->IsLoaded());
  EXPECT_EQ(wheat->awardIndex, 0);  // the tiered award named "wheat"
  p.list.LoadProduct(flour);
  EXPECT_EQ(flour->awardIndex, -1);  // no award of that name
  // The icons are shared: the flour's acquire loaded them once more.
  EXPECT_EQ(wheat->icon->GetInitCount(), 2);
  p.list.LoadProduct(nullptr);
}

TEST(ProductList, CapacityIsTheWarehouseBuildingsLevelRecordAtTheStorageLevel) {
  ProductsRig p;
  const PRODUCT* wheat = p[u"wheat"];
  EXPECT_EQ(p.list.GetCapacity(nullptr, 2), 0);
  // Storage level i + 1 reads level record i; below 1 the first, above the
  // count the last. The same for every product.
  const i32 expected[8] = {10, 10, 20, 30, 40, 40, 40, 40};
  for (i32 level = 0; level < 8; ++level) EXPECT_EQ(p.list.GetCapacity(wheat, level), expected[level]) << level;
  EXPECT_EQ(p.list.GetCapacity(p[u"bread"], 2), 20);
  EXPECT_EQ(p.list.GetCapacity(wheat, -5), 10);
  // The storage level goes to 4 whatever the warehouse's level count.
  BUILDING* store = p.rig.tables.Building(u"warehouse");
  const i32 count = store->levelCount;
  store->levelCount = 2;
  EXPECT_EQ(p.list.GetCapacity(wheat, 3), 30);
  EXPECT_EQ(p.list.GetCapacity(wheat, 9), 40);
  store->levelCount = count;
  // Only the name "warehouse" counts ("Warehouse" is the same name).
  EXPECT_EQ(p.rig.tables.buildings.FindBuildingByName(u"Warehouse"), p.rig.tables.Building(u"warehouse"));
  EXPECT_EQ(p.rig.tables.buildings.FindBuildingByName(u"ware-house"), nullptr);

  // Without a "warehouse" building, or without tables, nothing fits.
  ProductList bare;
  testsupport::KindTables noWarehouse;
  ASSERT_TRUE(LoadSampleKinds(noWarehouse, false));
  EXPECT_EQ(bare.GetCapacity(wheat, 2), 0);
  noWarehouse.Uninstall();
  EXPECT_EQ(GetBuildingTable(), nullptr);
  EXPECT_EQ(bare.GetCapacity(wheat, 2), 0);
  p.rig.tables.Install();
}

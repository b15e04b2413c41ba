// The building, plant and villain sections: our writers' bodies read back
// field by field (yielding after every record), cut at every record
// boundary, every stored count one above its bound, and the rules the
// tables keep (availability, look-ups, the villains' floors).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "ContentSamples.h"
#include "base/LittleEndian.h"
#include "content/ContentServices.h"
#include "resources/MapSprite.h"
#include "resources/Sprite.h"

using namespace contenttest;

namespace {

template <u32 n>
void Name(wchar (&field)[n], const char16_t* text) {
  kis::StrCopy(field, n, text);
}

// A factory of two levels with animations and emitters, a chicken house
// and the warehouse of four levels.
std::vector<BUILDING> SampleBuildings() {
  BUILDING mill = MakeBuilding(u"mill", kBuildingFactory);
  Name(mill.siteName, u"heap");
  mill.objectOffset[0] = -12;
  mill.workSpot[1] = 40;
  mill.starsOffset[0] = 7;
  mill.scale = 1.5f;
  mill.mirrorRule[0] = 1;
  mill.mirrorRule[1] = 1;
  mill.levelCount = 2;
  mill.factory.productCount = 2;
  mill.factory.products[0] = kis::NameId(u"flour");
  mill.factory.products[1] = kis::NameId(u"bread");
  mill.factory.buttonOrigin[0] = 30;
  mill.factory.slotOrigin[1] = -9;
  Name(mill.factory.soundName, u"mill_running");
  for (i32 i = 0; i < 2; ++i) {
    BUILDINGLEVEL& l = mill.levels[i];
    Name(l.mapSpriteName, u"wheat_map");
    Name(l.iconName, u"ico_flour");
    Name(l.buildIconName, i == 0 ? u"ico_wheat" : u"");
    l.buildTime = 1000 + i;
    l.price = 50 * (i + 1);
    l.extraCount = 1;
    Name(l.extras[0].text, u"heap_top");
    l.factory.animationCount = 2;
    Name(l.factory.animations[1].imageName, u"bees");
    l.factory.animations[1].x = -3;
    l.factory.animations[1].frameTime = 90;
    l.factory.animations[1].frameCount = -1;  // the image's own
    l.factory.animations[1].sequence[31] = 7;
    l.emitterCount = 16;
    l.emitters[15] = BUILDINGEMITTER{0xABCD, -5, 6};
  }
  BUILDING hens = MakeBuilding(u"henhouse", kBuildingAnimalHouse);
  hens.levelCount = 1;
  hens.house.characterId = 0;  // none: the reader leaves it null
  Name(hens.house.feedIconName, u"ico_wheat");
  hens.house.feedTime = 800;
  hens.house.houseBytes[31] = 0x5A;
  hens.house.feedProduct = kis::NameId(u"wheat");
  hens.house.producedProduct = kis::NameId(u"flour");
  hens.house.timings[3] = 444;
  hens.house.progressAnchor[1] = -70;
  hens.levels[0].house.feedAmount = 2;
  Name(hens.levels[0].house.troughName, u"heap");
  hens.levels[0].house.spots[7] = -8;
  hens.levels[0].house.eatingFacings[7] = 3;
  BUILDING store = MakeBuilding(u"warehouse", 0);
  store.levelCount = 4;
  for (u32 i = 0; i < 4; ++i) store.levels[i].capacity = 5 * (i + 1);
  return {mill, hens, store};
}

struct Plants {
  BEDSTAGE stages[kBedStageCount] = {};
  u32 timing[kPlantTimingWords] = {1, 2, 3, 4, 5, 600};
  std::vector<GAMEBEDS> beds;
  std::vector<PLANT> plants;
  Plants() {
    stages[3].cropCount = 4;
    stages[3].crops[3][1] = -11;
    stages[3].starsAnchor[0] = 9;
    GAMEBEDS look{};
    Name(look.groundNames[3].text, u"heap");
    beds = {look, look};
    PLANT wheat = MakePlant(u"wheat", 0);
    Name(wheat.pictureName, u"ico_wheat");
    Name(wheat.cropName, u"wheat_map");
    wheat.prices[3] = 400;
    wheat.digTimes[0] = 1500;
    wheat.productId = kis::NameId(u"wheat");
    wheat.growthTime = 20000;
    wheat.waterMin = 1;
    wheat.waterMax = 3;
    Name(wheat.harvestAnimation, u"girl_dig");
    wheat.cropEffect = 2;
    PLANT apple = MakePlant(u"apple_tree", kPlantTree);
    Name(apple.treeName, u"bees");
    apple.fruitCounts[0] = 1;
    apple.fruitCounts[3] = 24;
    apple.fruits[23] = TREEFRUIT{4, -5, 0xFF112233u};
    apple.fruitScale[1] = 1.25f;
    apple.treeStarsAnchor[1] = 33;
    plants = {wheat, apple};
  }
  std::vector<u8> Body() const { return PlantSection(stages, timing, beds, plants); }
};

// The sample products read and linked, for the kinds to find.
struct Products {
  explicit Products(ContentRig& rig) {
    EXPECT_TRUE(rig.WriteData({{kProductSectionId, kProductSectionSubId, ProductSection(SampleProducts())}}));
    EXPECT_EQ(rig.Read([&](auto* r, SectionCursor* c) { return list.ReadSection(r, c); }).error, 0u);
    list.ResolveIngredients();
    GetContentServices().products = &list;
  }
  ~Products() { GetContentServices().products = nullptr; }
  PRODUCT* operator[](const char16_t* name) { return list.FindByName(name); }
  ProductList list;
};

std::vector<VILLAININFO> SampleVillains() {
  VILLAININFO a = MakeVillain(u"raider");
  a.skin = 1;
  a.shots = 0;     // counts as 1
  a.health = -4;   // counts as 1
  a.damageTime = 9000;
  a.shotSpeed = 6.5f;
  a.flightTime = 1400;
  Name(a.soundName, u"villain_arrives");
  VILLAININFO b = MakeVillain(u"raider");  // the same id: the first is found
  b.health = 9;
  return {a, b};
}

}  // namespace

TEST(KindTables, OurSectionsReadBackFieldByFieldYieldingAfterEveryRecord) {
  ContentRig rig;
  Products products(rig);
  Plants p;
  ASSERT_TRUE(rig.WriteData({{kBuildingSectionId, kBuildingSectionSubId, BuildingSection(SampleBuildings())},
                             {kPlantSectionId, kPlantSectionSubId, p.Body()},
                             {kVillainSectionId, kVillainSectionSubId, VillainSection(SampleVillains())}}));
  BuildingTable buildings;
  EXPECT_EQ(rig.Read([&](auto* r, SectionCursor* c) { return buildings.ReadSection(r, c); }, true).error, 0u);
  EXPECT_EQ(rig.yields, 3u);  // one a record
  EXPECT_EQ(g_fractions, (std::vector<float>{1.0f / 3, 2.0f / 3, 1.0f}));
  ASSERT_EQ(buildings.GetCount(), 3u);
  const BUILDING* mill = buildings.FindBuildingByName(u"MILL");
  ASSERT_NE(mill, nullptr);
  EXPECT_EQ(mill->kind, kBuildingFactory);
  EXPECT_EQ(mill->objectOffset[0], -12);
  EXPECT_EQ(mill->workSpot[1], 40);
  EXPECT_EQ(mill->starsOffset[0], 7);
  EXPECT_EQ(mill->scale, 1.5f);
  EXPECT_EQ(mill->mirrorRule[1], 1);
  EXPECT_EQ(mill->factory.productCount, 2u);
  EXPECT_EQ(mill->factory.products[1], kis::NameId(u"bread"));
  EXPECT_EQ(mill->factory.buttonOrigin[0], 30);
  EXPECT_EQ(mill->factory.slotOrigin[1], -9);
  EXPECT_EQ(std::u16string(mill->factory.soundName), u"mill_running");
  EXPECT_EQ(mill->site, rig.sprites.Set(kMapSpriteSet).FindMapSprite(u"heap"));
  const BUILDINGLEVEL& l1 = mill->levels[1];
  EXPECT_EQ(l1.buildTime, 1001u);
  EXPECT_EQ(l1.price, 100);
  EXPECT_EQ(std::u16string(l1.extras[0].text), u"heap_top");
  EXPECT_NE(l1.extraSprites[0], nullptr);
  EXPECT_EQ(l1.icon, GetSpriteByName(kIconSpriteSet, u"ico_flour"));
  EXPECT_EQ(mill->levels[0].buildIcon, GetSpriteByName(kIconSpriteSet, u"ico_wheat"));
  EXPECT_EQ(l1.buildIcon, nullptr);  // an empty name gives none
  EXPECT_EQ(l1.factory.animationCount, 2u);
  EXPECT_EQ(l1.factory.animations[1].x, -3);
  EXPECT_EQ(l1.factory.animations[1].frameTime, 90);
  EXPECT_EQ(l1.factory.animations[1].sequence[31], 7u);
  EXPECT_NE(l1.animationImages[1], nullptr);
  EXPECT_EQ(l1.animationImages[0], nullptr);
  EXPECT_EQ(l1.emitterCount, 16u);
  EXPECT_EQ(l1.emitters[15].systemId, 0xABCDu);
  EXPECT_EQ(l1.emitters[15].x, -5);
  EXPECT_EQ(l1.emitters[15].y, 6);
  const BUILDING* hens = buildings.FindBuildingByName(u"henhouse");
  ASSERT_NE(hens, nullptr);
  EXPECT_EQ(hens->character, nullptr);
  EXPECT_EQ(hens->feedIcon, GetSpriteByName(kIconSpriteSet, u"ico_wheat"));
  EXPECT_EQ(hens->house.feedTime, 800u);
  EXPECT_EQ(hens->house.houseBytes[31], 0x5A);
  EXPECT_EQ(hens->feedProduct, products[u"wheat"]);
  EXPECT_EQ(hens->producedProduct, products[u"flour"]);
  EXPECT_EQ(hens->house.timings[3], 444u);
  EXPECT_EQ(hens->house.progressAnchor[1], -70);
  EXPECT_EQ(hens->levels[0].house.feedAmount, 2u);
  EXPECT_EQ(hens->levels[0].house.spots[7], -8);
  EXPECT_EQ(hens->levels[0].house.eatingFacings[7], 3u);
  EXPECT_NE(hens->levels[0].trough, nullptr);
  EXPECT_EQ(hens->nest, nullptr);  // "henhouse_nest" is not in the set
  const BUILDING* store = buildings.FindBuilding(kis::NameId(u"warehouse"));
  for (i32 level = 0; level < 8; ++level)
    EXPECT_EQ(store->GetCapacity(level), 5 * std::clamp(level, 1, 4)) << level;
  EXPECT_EQ(buildings.FindBuilding(0), nullptr);
  EXPECT_EQ(buildings.FindBuildingByName(u"ware-house"), nullptr);
  EXPECT_EQ(buildings.FindBuildingByName(u""), nullptr);
  EXPECT_EQ(buildings.FindBuildingByName(nullptr), nullptr);

  PlantTable plants;
  EXPECT_EQ(rig.Read([&](auto* r, SectionCursor* c) { return plants.ReadSection(r, c); }, true).error, 0u);
  EXPECT_EQ(rig.yields, 2u);
  EXPECT_EQ(plants.GetStage(3).cropCount, 4u);
  EXPECT_EQ(plants.GetStage(3).crops[3][1], -11);
  EXPECT_EQ(plants.GetStage(3).starsAnchor[0], 9);
  EXPECT_EQ(plants.GetTiming(kTimingPulldown), 600u);
  EXPECT_EQ(plants.GetTiming(kTimingBedWater), 2u);
  ASSERT_EQ(plants.GetBedLookCount(), 2u);
  EXPECT_EQ(std::u16string(plants.GetBedLook(1)->groundNames[3].text), u"heap");
  const PLANT* wheat = plants.FindPlantByName(u"Wheat");
  ASSERT_NE(wheat, nullptr);
  EXPECT_EQ(wheat->prices[3], 400);
  EXPECT_EQ(wheat->digTimes[0], 1500u);
  EXPECT_EQ(wheat->growthTime, 20000u);
  EXPECT_EQ(wheat->waterMax, 3u);
  EXPECT_EQ(std::u16string(wheat->harvestAnimation), u"girl_dig");
  EXPECT_EQ(wheat->cropEffect, 2);
  EXPECT_EQ(wheat->product, products[u"wheat"]);
  EXPECT_EQ(wheat->picture, GetSpriteByName(kIconSpriteSet, u"ico_wheat"));
  EXPECT_NE(wheat->crop, nullptr);
  const PLANT* apple = plants.FindPlantByName(u"apple_tree");
  ASSERT_NE(apple, nullptr);
  EXPECT_EQ(apple->kind, kPlantTree);
  EXPECT_EQ(std::u16string(apple->treeName), u"bees");
  EXPECT_NE(apple->tree, nullptr);
  EXPECT_EQ(apple->fruits[23].colour, 0xFF112233u);
  EXPECT_EQ(apple->fruits[23].y, -5);
  EXPECT_EQ(apple->fruitScale[1], 1.25f);
  EXPECT_EQ(apple->treeStarsAnchor[1], 33);
  EXPECT_EQ(plants.FindPlantByName(nullptr), nullptr);
  EXPECT_EQ(plants.FindPlantByName(u"apple"), nullptr);

  VillainList villains;
  EXPECT_EQ(rig.Read([&](auto* r, SectionCursor* c) { return villains.ReadSection(r, c); }, true).error, 0u);
  ASSERT_EQ(villains.GetCount(), 2u);
  const VILLAININFO* raider = villains.FindVillainInfo(kis::NameId(u"raider"));
  EXPECT_EQ(raider, villains.Get(0));  // duplicate ids: the first
  EXPECT_EQ(raider->skin, 1u);
  EXPECT_EQ(raider->shots, 1);   // below 1 counts as 1
  EXPECT_EQ(raider->health, 1);
  EXPECT_EQ(raider->damageTime, 9000u);
  EXPECT_EQ(raider->shotSpeed, 6.5f);
  EXPECT_EQ(raider->flightTime, 1400u);
  EXPECT_EQ(std::u16string(raider->soundName), u"villain_arrives");
  EXPECT_EQ(villains.FindVillainInfo(0), nullptr);
}

// Every cut at a record boundary, and every count one above its bound:
// the error flag, the records before kept, nothing leaked.
TEST(KindTables, CutsAndCountsAboveTheirBoundsAreErrorsThatKeepTheRecordsBefore) {
  ContentRig rig;
  const std::vector<u8> whole = BuildingSection(SampleBuildings());
  // The boundaries (after the count, each header, each level record) and
  // the records whole before them: the mill (2 levels), the chicken house
  // (1), the warehouse (4).
  const size_t h = kBuildingHeaderSize, l = kBuildingLevelSize;
  const std::pair<size_t, u32> cuts[] = {{4, 0},
                                         {4 + h, 0},
                                         {4 + h + l, 0},
                                         {4 + h + 2 * l, 1},
                                         {4 + 2 * h + 2 * l, 1},
                                         {4 + 2 * h + 3 * l, 2},
                                         {4 + 3 * h + 3 * l, 2},
                                         {4 + 3 * h + 6 * l, 2},
                                         {whole.size() - 1, 2}};
  ASSERT_EQ(whole.size(), 4 + 3 * h + 7 * l);
  for (const auto& [cut, kept] : cuts) {
    ASSERT_TRUE(rig.WriteData({{kBuildingSectionId, kBuildingSectionSubId,
                                std::vector<u8>(whole.begin(), whole.begin() + static_cast<long>(cut))}}));
    BuildingTable t;
    EXPECT_NE(rig.Read([&](auto* r, SectionCursor* c) { return t.ReadSection(r, c); }).error, 0u) << cut;
    EXPECT_EQ(t.GetCount(), kept) << cut;
  }

  // Counts one above their bounds, each in the second record (the first stays).
  const std::vector<void (*)(BUILDING& mill, BUILDING& hens)> changes = {
      [](BUILDING& m, BUILDING&) { m.levels[1].extraCount = 3; },
      [](BUILDING& m, BUILDING&) { m.levels[1].emitterCount = 17; },
      [](BUILDING& m, BUILDING&) { m.levels[1].factory.animationCount = 5; },
      [](BUILDING& m, BUILDING&) { m.levels[1].factory.animations[0].frameCount = 33; },
      [](BUILDING& m, BUILDING&) { m.factory.productCount = 6; },
      [](BUILDING&, BUILDING& hens) { hens.levelCount = 5; },
  };
  for (size_t i = 0; i < changes.size(); ++i) {
    std::vector<BUILDING> b = SampleBuildings();
    changes[i](b[0], b[1]);
    const bool hensBad = i + 1 == changes.size();
    ASSERT_TRUE(rig.WriteData({{kBuildingSectionId, kBuildingSectionSubId,
                                BuildingSection(hensBad ? std::vector<BUILDING>{b[0], b[1]}
                                                        : std::vector<BUILDING>{b[1], b[0]})}}));
    BuildingTable t;
    EXPECT_NE(rig.Read([&](auto* r, SectionCursor* c) { return t.ReadSection(r, c); }).error, 0u) << i;
    EXPECT_EQ(t.GetCount(), 1u) << i;
  }

  // Plants: a bed stage's crops, a tree's fruits, a cut inside a record.
  Plants p;
  p.stages[0].cropCount = 5;
  ASSERT_TRUE(rig.WriteData({{kPlantSectionId, kPlantSectionSubId, p.Body()}}));
  PlantTable stagesBad;
  EXPECT_NE(rig.Read([&](auto* r, SectionCursor* c) { return stagesBad.ReadSection(r, c); }).error, 0u);
  EXPECT_EQ(stagesBad.GetCount(), 0u);
  EXPECT_EQ(stagesBad.GetStage(0).cropCount, 0u);  // a refused stage table is not kept
  Plants fruits;
  fruits.plants[1].fruitCounts[3] = 25;
  ASSERT_TRUE(rig.WriteData({{kPlantSectionId, kPlantSectionSubId, fruits.Body()}}));
  PlantTable fruitsBad;
  EXPECT_NE(rig.Read([&](auto* r, SectionCursor* c) { return fruitsBad.ReadSection(r, c); }).error, 0u);
  EXPECT_EQ(fruitsBad.GetCount(), 1u);  // the wheat before it
  const std::vector<u8> plantBody = Plants().Body();
  const size_t plantsAt = plantBody.size() - 2 * kPlantRecordSize;
  for (size_t cut : {plantsAt - 4, plantsAt - 1, plantsAt, plantsAt + kPlantRecordSize - 1, plantsAt + kPlantRecordSize}) {
    ASSERT_TRUE(rig.WriteData({{kPlantSectionId, kPlantSectionSubId,
                                std::vector<u8>(plantBody.begin(), plantBody.begin() + static_cast<long>(cut))}}));
    PlantTable t;
    EXPECT_NE(rig.Read([&](auto* r, SectionCursor* c) { return t.ReadSection(r, c); }).error, 0u) << cut;
    EXPECT_EQ(t.GetCount(), 0u) << cut;  // a count the section cannot hold is refused before any record
  }
  // Villains: a count beyond the records, a cut record.
  std::vector<u8> villainBody = VillainSection(SampleVillains());
  kis::PutU32LE(villainBody.data(), 3);
  ASSERT_TRUE(rig.WriteData({{kVillainSectionId, kVillainSectionSubId, villainBody}}));
  VillainList v;
  EXPECT_NE(rig.Read([&](auto* r, SectionCursor* c) { return v.ReadSection(r, c); }).error, 0u);
  EXPECT_EQ(v.GetCount(), 2u);
}

TEST(KindTables, AFactoryWhoseProductsCannotBeMadeIsUnavailableAndUsingMarksOnce) {
  ContentRig rig;
  Products products(rig);
  ASSERT_TRUE(rig.WriteData({{kBuildingSectionId, kBuildingSectionSubId, BuildingSection(SampleBuildings())},
                             {kPlantSectionId, kPlantSectionSubId, Plants().Body()}}));
  BuildingTable buildings;
  PlantTable plants;
  ASSERT_EQ(rig.Read([&](auto* r, SectionCursor* c) { return buildings.ReadSection(r, c); }).error, 0u);
  ASSERT_EQ(rig.Read([&](auto* r, SectionCursor* c) { return plants.ReadSection(r, c); }).error, 0u);
  products.list.ClearUsedFlags();
  BUILDING* mill = buildings.FindBuildingByName(u"mill");
  EXPECT_FALSE(mill->IsAvailable());  // not enabled on the level
  // Flour and bread want wheat (and flour): nothing grows wheat here.
  mill->EnableForLevel(2);
  EXPECT_EQ(mill->levelLimit, 2);
  EXPECT_TRUE(products[u"flour"]->used);
  EXPECT_FALSE(mill->IsAvailable());
  EXPECT_FALSE(mill->enabled);  // and it stays off for the level
  // With the wheat planted on the level, it works.
  buildings.ClearUsedFlags();
  PLANT* wheat = plants.FindPlantByName(u"wheat");
  plants.UsePlant(wheat, 3);
  const i32 inits = wheat->picture->GetInitCount();
  EXPECT_GT(inits, 0);
  plants.UsePlant(wheat, 4);  // a second mention: the limit only
  EXPECT_EQ(wheat->useCount, 1);
  EXPECT_EQ(wheat->levelLimit, 4);
  EXPECT_EQ(wheat->picture->GetInitCount(), inits);
  mill->EnableForLevel(2);
  EXPECT_EQ(mill->useCount, 2);  // once a level
  EXPECT_TRUE(mill->IsAvailable());
  EXPECT_GT(mill->levels[1].factory.animations[1].frameCount, 0);  // the image's own count, once loaded
  // The next level starts with every mark cleared; the resources stay.
  plants.ResetUse();
  EXPECT_FALSE(wheat->enabled);
  plants.UsePlant(wheat, 1);
  EXPECT_EQ(wheat->useCount, 2);
  EXPECT_EQ(wheat->picture->GetInitCount(), inits);  // acquired once
}

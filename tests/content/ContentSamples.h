// Records of every content section with every field set to something of its
// own, for the round trips: three products with recipes, six bonuses, the
// seventeen awards, two grounds, two kinds of garbage and the 41 levels, the
// first of them using every array.
#pragma once

#include <vector>

#include "base/Identifier.h"
#include "content/ContentWriter.h"
#include "ContentRig.h"

namespace contenttest {

inline PRODUCT Product(const char16_t* name, i32 price, std::vector<INGREDIENT> recipe = {}) {
  PRODUCT p{};
  SetName(p.name, name);
  SetName(p.iconName, u"ico_wheat");
  SetName(p.icon2Name, u"ico_wheat2");
  SetName(p.mapSpriteName, u"wheat_map");
  p.id = kis::NameId(name);
  p.number = static_cast<u32>(price) + 1;
  p.price = price;
  p.awardIndex = -1;
  p.ingredientCount = static_cast<u32>(recipe.size());
  for (size_t i = 0; i < recipe.size() && i < kMaxIngredients; ++i) p.ingredients[i] = recipe[i];
  p.productionTime = 1000u * static_cast<u32>(price);
  return p;
}

inline std::vector<PRODUCT> SampleProducts() {
  std::vector<PRODUCT> v = {Product(u"wheat", 2), Product(u"flour", 7), Product(u"bread", 20)};
  // Slots 1 and 3 of the flour, slot 0 naming nothing known.
  v[1].ingredients[0] = INGREDIENT{kis::NameId(u"nothing"), 3};
  v[1].ingredients[1] = INGREDIENT{kis::NameId(u"wheat"), 2};
  v[1].ingredients[3] = INGREDIENT{kis::NameId(u"wheat"), 1};
  v[1].ingredientCount = 3;
  v[2].ingredients[2] = INGREDIENT{kis::NameId(u"flour"), 1};
  v[2].ingredients[3] = INGREDIENT{kis::NameId(u"wheat"), 0};  // amount 0: dropped
  SetName(v[2].iconName, u"ico_flour");
  return v;
}

inline void SampleBonuses(BONUS (&out)[kBonusCount]) {
  const char16_t* names[kBonusCount] = {u"bees", u"rain", u"speed", u"instant", u"mills", u"pets"};
  for (u32 i = 0; i < kBonusCount; ++i) {
    BONUS& b = out[i];
    b = BONUS{};
    SetName(b.nameKey, names[i]);
    SetName(b.descKey, u"bonus_desc");
    SetName(b.name, names[i]);
    b.id = kis::NameId(names[i]);
    b.chargeTime = 30000 + i;
    b.activeTime = 10000 + i;
    b.effect = 1.5f + static_cast<float>(i);
  }
}

inline void SampleAwards(TIEREDAWARD (&tiered)[kTieredAwardCount], RECORDAWARD (&records)[kRecordAwardCount]) {
  for (u32 i = 0; i < kTieredAwardCount; ++i) {
    TIEREDAWARD& a = tiered[i];
    a = TIEREDAWARD{};
    SetName(a.name, i == 0 ? u"wheat" : u"tiered");
    SetName(a.iconName, u"aw_wheat");
    a.startValue = static_cast<i32>(i);
    a.tiers[0] = 10;
    a.tiers[1] = 50;
    a.tiers[2] = 100 + static_cast<i32>(i);
  }
  for (u32 i = 0; i < kRecordAwardCount; ++i) {
    RECORDAWARD& a = records[i];
    a = RECORDAWARD{};
    SetName(a.name, u"record");
    SetName(a.iconName, i == 7 ? u"nobody" : u"aw_wheat");
    a.threshold = 50 + static_cast<i32>(i);
  }
}

inline std::vector<GROUND> SampleGrounds() {
  GROUND grass{};
  grass.id = 70000;
  SetName(grass.spriteName, u"grass");
  grass.drawParam = 1;
  grass.rect = DXLRECT{1, 2, 5, 6};
  GROUND sand{};
  sand.id = 7;
  SetName(sand.spriteName, u"nobody");
  return {grass, sand};
}

inline std::vector<GARBAGEINFO> SampleGarbage() {
  GARBAGEINFO heap{};
  heap.id = 11;
  heap.clearTime = 2500;
  heap.spriteCount = 2;
  heap.sprites[0] = GARBAGESPRITE{{}, 1, -3, 4};
  SetName(heap.sprites[0].name, u"heap");
  heap.sprites[1] = GARBAGESPRITE{{}, 0, 5, -6};
  SetName(heap.sprites[1].name, u"nobody");
  heap.particleCount = 1;
  heap.particles[0] = GARBAGEPARTICLE{kis::NameId(u"smoke"), 1, 2, 3, 4, 5, 6};
  GARBAGEINFO bare{};  // no sprites, no particles
  bare.id = 12;
  bare.clearTime = 1000;
  return {heap, bare};
}

// Level i sits in cell i; its limits grow with i; level 0 fills every array.
inline LEVELINFO SampleLevel(u32 i) {
  LEVELINFO l;
  l.head[0] = static_cast<u8>(i);
  l.head[63] = 0xA5;
  l.mapCell = static_cast<i32>(i);
  l.mapGroup = static_cast<i32>(i / 5);
  for (u32 r = 0; r < kLevelRegimes; ++r) {
    LEVELREGIME& g = l.regimes[r];
    g.bronze = 180000 + 1000 * static_cast<i32>(i) + static_cast<i32>(r);
    g.silver = 120000 + 1000 * static_cast<i32>(i);
    g.gold = 60000 + 1000 * static_cast<i32>(i);
    g.taskCount = 1 + r;
    g.tasks[0] = LEVELTASK{4, 0, 0, 3};
    g.tasks[1] = LEVELTASK{1, kis::NameId(u"flour"), 0, 5};
  }
  l.startMoney = 300;
  l.bonusId = i == 3 ? 2 : -1;
  l.restoreCheck = 0xC0DE0000u + i;
  for (u32 k = 0; k < 6; ++k) {
    l.baseRates[k] = 1.0f;
    l.chargeFactors[k] = 0.5f;
  }
  SetName(l.emptyPlaceSprite, u"empty_place");
  SetName(l.treeSpotSprite, u"tree_spot");
  l.playerX = 640;
  l.playerY = 400;
  if (i != 0) return l;
  l.plantCount = 2;
  l.plants[0] = KINDPAIR{kis::NameId(u"wheat"), 3};
  l.plants[1] = KINDPAIR{kis::NameId(u"unknown_plant"), 1};
  l.buildingCount = 2;
  l.buildings[0] = KINDPAIR{kis::NameId(u"warehouse"), 4};
  l.buildings[1] = KINDPAIR{kis::NameId(u"mill"), 2};
  l.stockCount = 2;
  l.stock[0] = STOCKPAIR{kis::NameId(u"wheat"), 5};
  l.stock[1] = STOCKPAIR{kis::NameId(u"flour"), 1};
  SetName(l.music, u"music_level1");
  l.villainSlotCount = 2;
  l.villainSlots[0] = VILLAINSLOT{0, 0, 100, 200, 3};
  l.villainSlots[1] = VILLAINSLOT{1280, 0, 900, 300, 5};
  l.firstRepeatWave = 1;
  l.repeatLength = 1;
  l.ground = {GROUNDPLACEMENT{0, 0, 5, 70000}, GROUNDPLACEMENT{256, 128, 2, 7}};
  MAPOBJECTDEF tree{};
  SetName(tree.name, u"heap");
  tree.layer = 1;
  tree.x = 30;
  tree.y = 40;
  tree.kind = 0x10000002;
  tree.mirrored = 1;
  MAPOBJECTDEF smoke{};
  smoke.type = kMapObjectEmitter;
  smoke.layer = 1;
  smoke.x = -5;
  smoke.systemId = kis::NameId(u"smoke");
  smoke.sortX = -7;
  smoke.sortY = 9;
  smoke.spaceParam = 3;
  l.decorations = {tree, smoke};
  l.obstacles = {OBSTACLEDEF{1, 10, 20, 30, 40}};
  l.points = {POINTDEF{0, 0, 11, 100, {0, 0}, 300, 300, 1}, POINTDEF{1, 1, 0, 0, {0, 0}, 500, 300, 0},
              POINTDEF{3, 2, kis::NameId(u"mill"), 250, {7, 8}, 700, 320, 0}};
  l.waves = {WAVEDEF{-1, kis::NameId(u"rat"), 30000}, WAVEDEF{1, kis::NameId(u"rat"), 5000}};
  l.emitters = {EMITTERDEF{kis::NameId(u"smoke"), 100, 100, 45.0f}};
  INFOENTRY picture{};
  SetName(picture.textKey, u"intro_1");
  SetName(picture.imageName, u"intro_picture");
  picture.imageX = 4;
  picture.spaceAfter = 10;
  INFOENTRY item{};
  item.blockKind = 1;
  item.itemKind = 2;
  SetName(item.itemName, u"mill");
  l.intro = {picture, item};
  return l;
}

inline std::vector<LEVELINFO> SampleLevels(u32 count = kLevelCount) {
  std::vector<LEVELINFO> v;
  for (u32 i = 0; i < count; ++i) v.push_back(SampleLevel(i));
  return v;
}

inline void SampleGrid(i32 (&grid)[kMapGridCells]) {
  for (u32 c = 0; c < kMapGridCells; ++c) grid[c] = c < kLevelCount ? static_cast<i32>(c) : -1;
}

inline std::vector<u8> SampleLevelSection() {
  i32 grid[kMapGridCells];
  SampleGrid(grid);
  return LevelSection(grid, SampleLevels());
}

}  // namespace contenttest

#include "content/PlantTable.h"

#include <cmath>
#include <cstring>

#include "base/Identifier.h"
#include "base/RecordFields.h"
#include "base/Strings.h"
#include "content/ContentSections.h"
#include "content/KindSections.h"
#include "content/ProductList.h"
#include "resources/MapSprite.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"

namespace {

// --- The layouts: each table is walked by the reader and by the writer -----------------

constexpr RecordField kStageFields[] = {
    TM_FIELD(BEDSTAGE, cropCount, 0, kU32, 1),      TM_FIELD(BEDSTAGE, crops, 4, kU32, 2 * kMaxBedCrops),
    TM_FIELD(BEDSTAGE, buttonAnchor, 36, kU32, 2),  TM_FIELD(BEDSTAGE, workSpot, 44, kU32, 2),
    TM_FIELD(BEDSTAGE, progressAnchor, 52, kU32, 2), TM_FIELD(BEDSTAGE, starsAnchor, 60, kU32, 2)};
constexpr RecordLayout kStageLayout = MakeLayout(kBedStageSize, kStageFields);

constexpr RecordField kBedLookFields[] = {TM_RECORDS(GAMEBEDS, groundNames, 4, kKindNameLayout, kBedStageCount)};
constexpr RecordLayout kBedLookLayout = MakeLayout(kBedLookSize, kBedLookFields);

constexpr RecordField kFruitFields[] = {TM_FIELD(TREEFRUIT, x, 0, kU32, 1), TM_FIELD(TREEFRUIT, y, 4, kU32, 1),
                                        TM_FIELD(TREEFRUIT, colour, 8, kU32, 1)};
constexpr RecordLayout kFruitLayout = MakeLayout(12, kFruitFields);

// What every plant stores; then either a bed crop's effect or a tree's look
// over the same bytes from 376 on.
constexpr RecordField kPlantFields[] = {
    TM_FIELD(PLANT, name, 0, kText, kKindNameSize),
    TM_FIELD(PLANT, pictureName, 64, kText, kKindNameSize),
    TM_FIELD(PLANT, iconName, 128, kText, kKindNameSize),
    TM_FIELD(PLANT, cropName, 192, kText, kKindNameSize),
    TM_FIELD(PLANT, kind, 256, kU32, 1),
    TM_FIELD(PLANT, id, 260, kU32, 1),
    TM_FIELD(PLANT, prices, 264, kU32, 4),
    TM_FIELD(PLANT, digTimes, 280, kU32, 4),
    TM_FIELD(PLANT, productId, 296, kU32, 1),
    TM_FIELD(PLANT, growthTime, 300, kU32, 1),
    TM_FIELD(PLANT, waterMin, 304, kU32, 1),
    TM_FIELD(PLANT, waterMax, 308, kU32, 1),
    TM_FIELD(PLANT, harvestAnimation, 312, kText, kKindNameSize)};
constexpr RecordLayout kPlantLayout = MakeLayout(kPlantRecordSize, kPlantFields);

constexpr RecordField kCropFields[] = {TM_FIELD(PLANT, cropEffect, 376, kBytes, 1)};
constexpr RecordLayout kCropLayout = MakeLayout(kPlantRecordSize, kCropFields);

constexpr RecordField kTreeFields[] = {
    TM_FIELD(PLANT, treeName, 376, kText, kKindNameSize),
    TM_FIELD(PLANT, treeButtonAnchor, 440, kU32, 2),
    TM_FIELD(PLANT, fruitName, 448, kText, kKindNameSize),
    TM_FIELD(PLANT, fruitCounts, 512, kU32, 4),
    TM_RECORDS(PLANT, fruits, 528, kFruitLayout, kMaxTreeFruits),
    TM_FIELD(PLANT, fruitScale, 816, kF32, 2),
    TM_FIELD(PLANT, fruitRotation, 824, kF32, 2),
    TM_FIELD(PLANT, treeWorkSpot, 832, kU32, 2),
    TM_FIELD(PLANT, treeProgressAnchor, 840, kU32, 2),
    TM_FIELD(PLANT, treeStarsAnchor, 848, kU32, 2)};
constexpr RecordLayout kTreeLayout = MakeLayout(kPlantRecordSize, kTreeFields);

static_assert(LayoutFits(kStageLayout) && LayoutFits(kBedLookLayout) && LayoutFits(kPlantLayout) &&
              LayoutFits(kCropLayout) && LayoutFits(kTreeLayout));

constexpr u32 kPreambleSize = kBedStageCount * kBedStageSize + kPlantTimingWords * 4;

// A tree's fruit counts are bounds of its fruit table: each at most 24 and
// none above the fourth (the number of positions used).
bool FruitCountsFit(const PLANT& p) {
  if (p.kind != kPlantTree) return true;
  for (u32 c : p.fruitCounts)
    if (c > kMaxTreeFruits || c > p.fruitCounts[3]) return false;
  return std::isfinite(p.fruitScale[0]) && std::isfinite(p.fruitScale[1]) && std::isfinite(p.fruitRotation[0]) &&
         std::isfinite(p.fruitRotation[1]);
}

// The stages, the timing block and the looks; false on a short read or a
// count above its bound.
bool ReadPreamble(kis::BaseDataFileReader* reader, BEDSTAGE (&stages)[kBedStageCount], u32 (&timing)[kPlantTimingWords],
                  std::vector<std::unique_ptr<GAMEBEDS>>& beds) {
  u8 raw[kPreambleSize];
  if (!ReadDataSection(reader, raw, kPreambleSize)) return false;
  // Kept only once every stage is in bounds.
  BEDSTAGE read[kBedStageCount] = {};
  for (u32 i = 0; i < kBedStageCount; ++i) {
    ReadRecord(kStageLayout, raw + i * kBedStageSize, &read[i]);
    if (read[i].cropCount > kMaxBedCrops) return false;
  }
  std::memcpy(stages, read, sizeof read);
  for (u32 i = 0; i < kPlantTimingWords; ++i) timing[i] = kis::GetU32LE(raw + kBedStageCount * kBedStageSize + 4 * i);
  u8 count[4];
  if (!ReadDataSection(reader, count, 4)) return false;
  const u32 n = kis::GetU32LE(count);
  if (!RecordsFitSection(reader, n, kBedLookSize)) return false;
  for (u32 i = 0; i < n; ++i) {
    u8 look[kBedLookSize];
    if (!ReadDataSection(reader, look, kBedLookSize)) return false;
    auto b = std::make_unique<GAMEBEDS>();
    ReadRecord(kBedLookLayout, look, b.get());
    beds.push_back(std::move(b));
  }
  return true;
}

// One plant record; null on a short read or a fruit table out of bounds.
std::unique_ptr<PLANT> ReadPlant(kis::BaseDataFileReader* reader) {
  u8 raw[kPlantRecordSize];
  if (!ReadDataSection(reader, raw, kPlantRecordSize)) return nullptr;
  auto p = std::make_unique<PLANT>();
  ReadRecord(kPlantLayout, raw, p.get());
  ReadRecord(p->kind == kPlantTree ? kTreeLayout : kCropLayout, raw, p.get());
  if (!FruitCountsFit(*p)) return nullptr;
  p->picture = FindSpriteIn(kIconSpriteSet, p->pictureName);
  p->icon = FindSpriteIn(kIconSpriteSet, p->iconName);
  p->crop = FindMapSpriteIn(kMapSpriteSet, p->cropName);
  if (const ProductList* products = GetProductList()) p->product = products->FindById(p->productId);
  if (p->kind == kPlantTree) {
    p->tree = FindMapSpriteIn(kMapSpriteSet, p->treeName);
    p->fruit = FindMapSpriteIn(kMapSpriteSet, p->fruitName);
  }
  return p;
}

}  // namespace

i32 PlantTable::ReadSection(kis::BaseDataFileReader* reader, SectionCursor* cursor) {
  if (!cursor) return 1;
  if (!reader) return EndDataSection(reader, cursor, true);
  if (cursor->done == 0) {
    u8 count[4];
    if (!OpenDataSection(reader, kPlantSectionId, kPlantSectionSubId) || !ReadPreamble(reader, stages_, timing_, beds_) ||
        !ReadDataSection(reader, count, 4))
      return EndDataSection(reader, cursor, true);
    cursor->total = kis::GetU32LE(count);
    if (!RecordsFitSection(reader, cursor->total, kPlantRecordSize))
      return EndDataSection(reader, cursor, true);
  } else if (!IsDataSectionOpen(reader, kPlantSectionId, kPlantSectionSubId)) {
    return EndDataSection(reader, cursor, true);
  }
  return ReadKindRecords(reader, cursor, plants_, [reader] { return ReadPlant(reader); });
}

PLANT* PlantTable::FindPlant(u32 id) const { return FindFirstById(plants_, id); }

PLANT* PlantTable::FindPlantByName(const wchar* name) const {
  return FindFirstByName(plants_, name);
}

void PlantTable::ResetUse() {
  for (auto& p : plants_) p->enabled = false;
}

void PlantTable::UsePlant(PLANT* plant, i32 limit) {
  if (!plant) return;
  plant->levelLimit = limit;
  if (plant->enabled) return;
  plant->enabled = true;
  ProductList* products = GetProductList();
  if (plant->useCount == 0) {
    for (Sprite* s : {plant->picture, plant->icon})
      if (s) s->Init();
    for (MapSprite* s : {plant->crop, plant->tree, plant->fruit})
      if (s) s->Init();
    if (products) products->LoadProduct(plant->product);
  }
  ++plant->useCount;
  if (products) products->UseProduct(plant->product);
}

void PlantTable::ReleaseUnused() {
  for (auto& p : plants_) {
    if (p->enabled || p->useCount == 0) continue;
    for (Sprite* s : {p->picture, p->icon})
      if (s) s->Release(false);
    for (MapSprite* s : {p->crop, p->tree, p->fruit})
      if (s) s->Release(false);
    p->useCount = 0;
  }
}

void PlantTable::LoadBedSprites(u32 look, MapSprite* treeSpot) {
  if (GAMEBEDS* beds = GetBedLook(look)) {
    for (u32 i = 0; i < kBedStageCount; ++i) {
      if (beds->grounds[i]) continue;
      beds->grounds[i] = FindMapSpriteIn(kMapSpriteSet, beds->groundNames[i].text);
      if (beds->grounds[i]) beds->grounds[i]->Init();
    }
  }
  if (treeSpot && !treeSpot->IsLoaded()) treeSpot->Init();
}

void PlantTable::Clear() {
  plants_.clear();
  beds_.clear();
}

PLANT MakePlant(const wchar* name, u32 kind) {
  PLANT p = ZeroedKindRecord<PLANT>(name);
  p.kind = kind;
  return p;
}

std::vector<u8> PlantSection(const BEDSTAGE (&stages)[kBedStageCount], const u32 (&timing)[kPlantTimingWords],
                             const std::vector<GAMEBEDS>& beds, const std::vector<PLANT>& plants) {
  std::vector<u8> out;
  for (const BEDSTAGE& s : stages) {
    u8 raw[kBedStageSize];
    WriteRecord(kStageLayout, &s, raw);
    AppendBytes(out, raw, kBedStageSize);
  }
  for (u32 t : timing) AppendU32(out, t);
  AppendU32(out, static_cast<u32>(beds.size()));
  for (const GAMEBEDS& b : beds) {
    u8 raw[kBedLookSize];
    WriteRecord(kBedLookLayout, &b, raw);
    AppendBytes(out, raw, kBedLookSize);
  }
  AppendU32(out, static_cast<u32>(plants.size()));
  for (const PLANT& p : plants) {
    u8 raw[kPlantRecordSize];
    WriteRecord(kPlantLayout, &p, raw);
    WriteRecordFields(p.kind == kPlantTree ? kTreeLayout : kCropLayout, &p, raw);
    AppendBytes(out, raw, kPlantRecordSize);
  }
  return out;
}

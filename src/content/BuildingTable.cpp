#include "content/BuildingTable.h"

#include <cmath>
#include <cstring>

#include "base/Identifier.h"
#include "base/RecordFields.h"
#include "base/Strings.h"
#include "content/ContentSections.h"
#include "content/GameCharacter.h"
#include "content/KindSections.h"
#include "content/ProductList.h"
#include "resources/MapSprite.h"
#include "resources/SoundSettings.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"

namespace {

// --- The layouts: each table is walked by the reader and by the writer -----------------

constexpr RecordField kEmitterFields[] = {TM_FIELD(BUILDINGEMITTER, systemId, 0, kU32, 1),
                                          TM_FIELD(BUILDINGEMITTER, x, 4, kU32, 1),
                                          TM_FIELD(BUILDINGEMITTER, y, 8, kU32, 1)};
constexpr RecordLayout kEmitterLayout = MakeLayout(12, kEmitterFields);

constexpr RecordField kAnimationFields[] = {
    TM_FIELD(FACTORYANIM, imageName, 0, kText, kKindNameSize), TM_FIELD(FACTORYANIM, x, 64, kU32, 1),
    TM_FIELD(FACTORYANIM, y, 68, kU32, 1),          TM_FIELD(FACTORYANIM, frameTime, 72, kU32, 1),
    TM_FIELD(FACTORYANIM, frameCount, 76, kU32, 1), TM_FIELD(FACTORYANIM, sequence, 80, kU32, kMaxFactoryFrames)};
constexpr RecordLayout kAnimationLayout = MakeLayout(208, kAnimationFields);

// The kinds' parts, from the start of their part.
constexpr RecordField kFactoryPartFields[] = {
    TM_FIELD(FACTORYPART, productCount, 0, kU32, 1), TM_FIELD(FACTORYPART, products, 4, kU32, kMaxFactoryProducts),
    TM_FIELD(FACTORYPART, buttonOrigin, 24, kU32, 2), TM_FIELD(FACTORYPART, slotOrigin, 32, kU32, 2),
    TM_FIELD(FACTORYPART, soundName, 40, kText, kKindNameSize)};
constexpr RecordLayout kFactoryPartLayout = MakeLayout(kBuildingPartSize, kFactoryPartFields);

constexpr RecordField kHousePartFields[] = {
    TM_FIELD(HOUSEPART, characterId, 0, kU32, 1),
    TM_FIELD(HOUSEPART, feedIconName, 4, kText, kKindNameSize),
    TM_FIELD(HOUSEPART, feedJobIconName, 68, kText, kKindNameSize),
    TM_FIELD(HOUSEPART, feedAnimation, 132, kText, kKindNameSize),
    TM_FIELD(HOUSEPART, feedTime, 196, kU32, 1),
    TM_FIELD(HOUSEPART, markWorking, 200, kU32, 1),
    TM_FIELD(HOUSEPART, houseBytes, 204, kBytes, 32),
    TM_FIELD(HOUSEPART, feedProduct, 236, kU32, 1),
    TM_FIELD(HOUSEPART, producedProduct, 240, kU32, 1),
    TM_FIELD(HOUSEPART, timings, 244, kU32, 4),
    TM_FIELD(HOUSEPART, progressAnchor, 260, kU32, 2),
    TM_FIELD(HOUSEPART, soundName, 268, kText, kKindNameSize)};
constexpr RecordLayout kHousePartLayout = MakeLayout(kBuildingPartSize, kHousePartFields);

constexpr RecordField kPlainLevelFields[] = {TM_FIELD(BUILDINGLEVEL, capacity, 0, kU32, 1)};
constexpr RecordLayout kPlainLevelLayout = MakeLayout(kBuildingLevelPartSize, kPlainLevelFields);

constexpr RecordField kFactoryLevelFields[] = {
    TM_FIELD(FACTORYLEVEL, animationCount, 0, kU32, 1),
    TM_RECORDS(FACTORYLEVEL, animations, 4, kAnimationLayout, kMaxFactoryAnimations)};
constexpr RecordLayout kFactoryLevelLayout = MakeLayout(kBuildingLevelPartSize, kFactoryLevelFields);

constexpr RecordField kHouseLevelFields[] = {
    TM_FIELD(HOUSELEVEL, feedAmount, 4, kU32, 1),       TM_FIELD(HOUSELEVEL, troughName, 8, kText, kKindNameSize),
    TM_FIELD(HOUSELEVEL, troughOffset, 72, kU32, 2),    TM_FIELD(HOUSELEVEL, feedSpot, 80, kU32, 2),
    TM_FIELD(HOUSELEVEL, facing, 88, kU32, 1),          TM_FIELD(HOUSELEVEL, facingMirrored, 92, kU32, 1),
    TM_FIELD(HOUSELEVEL, eatingFacings, 96, kU32, 8),   TM_FIELD(HOUSELEVEL, spots, 128, kU32, 8)};
constexpr RecordLayout kHouseLevelLayout = MakeLayout(kBuildingLevelPartSize, kHouseLevelFields);

constexpr RecordField kLevelFields[] = {
    TM_FIELD(BUILDINGLEVEL, mapSpriteName, 0, kText, kKindNameSize),
    TM_FIELD(BUILDINGLEVEL, iconName, 64, kText, kKindNameSize),
    TM_FIELD(BUILDINGLEVEL, buildIconName, 128, kText, kKindNameSize),
    TM_FIELD(BUILDINGLEVEL, buildTime, 192, kU32, 1),
    TM_FIELD(BUILDINGLEVEL, price, 196, kU32, 1),
    TM_FIELD(BUILDINGLEVEL, extraCount, 208, kU32, 1),
    TM_RECORDS(BUILDINGLEVEL, extras, 212, kKindNameLayout, kMaxBuildingExtras),
    TM_FIELD(BUILDINGLEVEL, emitterCount, 1176, kU32, 1),
    TM_RECORDS(BUILDINGLEVEL, emitters, 1180, kEmitterLayout, kMaxBuildingEmitters)};
constexpr RecordLayout kLevelLayout = MakeLayout(kBuildingLevelSize, kLevelFields);

constexpr RecordField kHeaderFields[] = {
    TM_FIELD(BUILDING, name, 0, kText, kKindNameSize),
    TM_FIELD(BUILDING, kind, 64, kU32, 1),
    TM_FIELD(BUILDING, id, 68, kU32, 1),
    TM_FIELD(BUILDING, siteName, 72, kText, kKindNameSize),
    TM_FIELD(BUILDING, objectOffset, 136, kU32, 2),
    TM_FIELD(BUILDING, workSpot, 144, kU32, 2),
    TM_FIELD(BUILDING, starsOffset, 152, kU32, 2),
    TM_FIELD(BUILDING, scale, 160, kF32, 1),
    TM_FIELD(BUILDING, mirrorRule, 164, kBytes, 2),
    TM_FIELD(BUILDING, levelCount, 168, kU32, 1)};
constexpr RecordLayout kHeaderLayout = MakeLayout(kBuildingHeaderSize, kHeaderFields);

static_assert(LayoutFits(kHeaderLayout) && LayoutFits(kLevelLayout) && LayoutFits(kFactoryPartLayout) &&
              LayoutFits(kHousePartLayout) && LayoutFits(kFactoryLevelLayout) && LayoutFits(kHouseLevelLayout) &&
              LayoutFits(kPlainLevelLayout));

MapSprite* MapSpriteNamed(const wchar* name) { return FindMapSpriteIn(kMapSpriteSet, name); }
Sprite* IconNamed(const wchar* name) { return FindSpriteIn(kIconSpriteSet, name); }
PRODUCT* ProductOf(u32 id) {
  const ProductList* products = GetProductList();
  return products ? products->FindById(id) : nullptr;
}

// The kind's level part from the level record's bytes; false on a count
// above its bound.
bool ReadLevel(const BUILDING& b, const u8* raw, BUILDINGLEVEL* level) {
  ReadRecord(kLevelLayout, raw, level);
  const u8* part = raw + kBuildingLevelPartOffset;
  if (b.kind == kBuildingFactory) {
    ReadRecord(kFactoryLevelLayout, part, &level->factory);
    if (level->factory.animationCount > kMaxFactoryAnimations) return false;
    for (u32 i = 0; i < level->factory.animationCount; ++i)
      if (level->factory.animations[i].frameCount > static_cast<i32>(kMaxFactoryFrames)) return false;
  } else if (b.kind == kBuildingAnimalHouse) {
    ReadRecord(kHouseLevelLayout, part, &level->house);
  } else {
    ReadRecord(kPlainLevelLayout, part, level);
  }
  if (level->extraCount > kMaxBuildingExtras || level->emitterCount > kMaxBuildingEmitters) return false;
  level->mapSprite = MapSpriteNamed(level->mapSpriteName);
  for (u32 i = 0; i < level->extraCount; ++i) level->extraSprites[i] = MapSpriteNamed(level->extras[i].text);
  level->icon = IconNamed(level->iconName);
  level->buildIcon = IconNamed(level->buildIconName);
  if (b.kind == kBuildingFactory) {
    for (u32 i = 0; i < level->factory.animationCount; ++i)
      level->animationImages[i] = MapSpriteNamed(level->factory.animations[i].imageName);
  } else {
    level->trough = MapSpriteNamed(level->house.troughName);
  }
  return true;
}

// One record after the count; null on a short read or a count above its
// bound (nothing of it stays).
std::unique_ptr<BUILDING> ReadBuilding(kis::BaseDataFileReader* reader) {
  u8 raw[kBuildingLevelSize];
  if (!ReadDataSection(reader, raw, kBuildingHeaderSize)) return nullptr;
  auto b = std::make_unique<BUILDING>();
  ReadRecord(kHeaderLayout, raw, b.get());
  if (b->kind == kBuildingFactory) ReadRecord(kFactoryPartLayout, raw + kBuildingPartOffset, &b->factory);
  if (b->kind == kBuildingAnimalHouse) ReadRecord(kHousePartLayout, raw + kBuildingPartOffset, &b->house);
  if (b->levelCount < 0 || b->levelCount > static_cast<i32>(kMaxBuildingLevels) ||
      b->factory.productCount > kMaxFactoryProducts || !std::isfinite(b->scale))
    return nullptr;
  b->site = MapSpriteNamed(b->siteName);
  if (b->kind == kBuildingAnimalHouse) {
    b->character = FindCharInfo(GetCharacters(), b->house.characterId);
    b->feedIcon = IconNamed(b->house.feedIconName);
    b->feedJobIcon = IconNamed(b->house.feedJobIconName);
    b->feedProduct = ProductOf(b->house.feedProduct);
    b->producedProduct = ProductOf(b->house.producedProduct);
  }
  if (b->id == kis::NameId(u"henhouse")) b->nest = MapSpriteNamed(u"henhouse_nest");
  for (i32 i = 0; i < b->levelCount; ++i) {
    if (!ReadDataSection(reader, raw, kBuildingLevelSize) || !ReadLevel(*b, raw, &b->levels[i])) return nullptr;
  }
  return b;
}

void InitSprite(Sprite* s) {
  if (s) s->Init();
}
void InitMapSprite(MapSprite* s) {
  if (s) s->Init();
}

}  // namespace

void BUILDING::LoadResources() {
  InitMapSprite(site);
  InitMapSprite(nest);
  if (kind == kBuildingAnimalHouse) {
    InitSprite(feedIcon);
    InitSprite(feedJobIcon);
    if (character) character->Init();
    if (ProductList* products = GetProductList()) products->LoadProduct(producedProduct);
    sound = GetSoundSettings().LoadSound(house.soundName, false);
  } else if (kind == kBuildingFactory) {
    sound = GetSoundSettings().LoadSound(factory.soundName, false);
  }
  for (i32 i = 0; i < levelCount && i < static_cast<i32>(kMaxBuildingLevels); ++i) {
    BUILDINGLEVEL& l = levels[i];
    InitMapSprite(l.mapSprite);
    for (MapSprite* extra : l.extraSprites) InitMapSprite(extra);
    InitSprite(l.icon);
    InitSprite(l.buildIcon);
    InitMapSprite(l.trough);
    if (kind != kBuildingFactory) continue;
    for (u32 a = 0; a < l.factory.animationCount && a < kMaxFactoryAnimations; ++a) {
      MapSprite* image = l.animationImages[a];
      InitMapSprite(image);
      FACTORYANIM& anim = l.factory.animations[a];
      if (anim.frameCount < 0) {
        const i32 own = image && image->GetSprite() ? image->GetSprite()->GetFrameCount() : 0;
        anim.frameCount = own < static_cast<i32>(kMaxFactoryFrames) ? own : static_cast<i32>(kMaxFactoryFrames);
      }
    }
  }
}

void BUILDING::EnableForLevel(i32 limit) {
  levelLimit = limit;
  if (enabled) return;
  enabled = true;
  if (useCount == 0) LoadResources();
  ++useCount;
  ProductList* products = GetProductList();
  if (!products) return;
  if (kind == kBuildingAnimalHouse) products->UseProduct(producedProduct);
  if (kind == kBuildingFactory)
    for (u32 i = 0; i < factory.productCount && i < kMaxFactoryProducts; ++i)
      products->UseProductById(factory.products[i]);
}

bool BUILDING::IsAvailable() {
  if (!enabled) return false;
  if (kind != kBuildingFactory) return true;
  const ProductList* products = GetProductList();
  for (u32 i = 0; products && i < factory.productCount && i < kMaxFactoryProducts; ++i)
    if (products->IsAvailableById(factory.products[i])) return true;
  enabled = false;
  return false;
}

// The storage level is clamped to 1..4 whatever the kind's level count: the
// record holds all four level entries.
i32 BUILDING::GetCapacity(i32 level) const {
  const i32 last = static_cast<i32>(kMaxBuildingLevels);
  const i32 index = level < 1 ? 0 : level > last ? last - 1 : level - 1;
  return static_cast<i32>(levels[index].capacity);
}

i32 BuildingTable::ReadSection(kis::BaseDataFileReader* reader, SectionCursor* cursor) {
  if (!cursor) return 1;
  if (!BeginCountedSection(reader, cursor, kBuildingSectionId, kBuildingSectionSubId)) return 1;
  if (!RecordsFitSection(reader, cursor->total - cursor->done, kBuildingHeaderSize))
    return EndDataSection(reader, cursor, true);
  return ReadKindRecords(reader, cursor, buildings_, [reader] { return ReadBuilding(reader); });
}

BUILDING* BuildingTable::FindBuilding(u32 id) const { return FindFirstById(buildings_, id); }

BUILDING* BuildingTable::FindBuildingByName(const wchar* name) const {
  return FindFirstByName(buildings_, name);
}

void BuildingTable::ClearUsedFlags() {
  for (auto& b : buildings_) b->enabled = false;
}

BUILDING MakeBuilding(const wchar* name, u32 kind) {
  BUILDING b = ZeroedKindRecord<BUILDING>(name);
  b.kind = kind;
  b.scale = 1.0f;
  return b;
}

std::vector<u8> BuildingSection(const std::vector<BUILDING>& buildings) {
  std::vector<u8> out;
  AppendU32(out, static_cast<u32>(buildings.size()));
  for (const BUILDING& b : buildings) {
    u8 raw[kBuildingLevelSize];
    WriteRecord(kHeaderLayout, &b, raw);
    if (b.kind == kBuildingFactory) WriteRecordFields(kFactoryPartLayout, &b.factory, raw + kBuildingPartOffset);
    if (b.kind == kBuildingAnimalHouse) WriteRecordFields(kHousePartLayout, &b.house, raw + kBuildingPartOffset);
    AppendBytes(out, raw, kBuildingHeaderSize);
    const i32 n = b.levelCount < 0 ? 0 : b.levelCount > 4 ? 4 : b.levelCount;
    for (i32 i = 0; i < n; ++i) {
      const BUILDINGLEVEL& l = b.levels[i];
      WriteRecord(kLevelLayout, &l, raw);
      u8* part = raw + kBuildingLevelPartOffset;
      if (b.kind == kBuildingFactory)
        WriteRecordFields(kFactoryLevelLayout, &l.factory, part);
      else if (b.kind == kBuildingAnimalHouse)
        WriteRecordFields(kHouseLevelLayout, &l.house, part);
      else
        WriteRecordFields(kPlainLevelLayout, &l, part);
      AppendBytes(out, raw, kBuildingLevelSize);
    }
  }
  return out;
}

// BuildingTable - the building kinds of the "BLDN" section (the warehouse,
// the factories, the animal houses), read once at start-up, found by name
// id, and readied per level: the level loader clears every kind's enabled
// mark (ClearUsedFlags), then enables each kind the level allows with its
// level limit (BUILDING::EnableForLevel), which acquires the kind's
// pictures, character and sounds on their first use and marks its products
// used on the level.
//
// Layout: u32 count, then per building a 504-byte header followed by as
// many 1372-byte level records as the header's level count says. Record i
// describes the building at level i + 1 and the step that reaches it. The
// header's bytes 172..503 and a level record's bytes 340..1175 belong to the
// building's kind: a factory's products and animations, an animal house's
// animal, feed and trough, the warehouse's capacity (a u32 at 340: every
// product's warehouse capacity at storage level i + 1).
//
// Counts stored in a record are bounds: one above its limit is a data error
// (the record is freed, those before it stay). Names resolve in the sprite
// sets once, when the record is read; an empty or absent name gives none.
#pragma once

#include <memory>
#include <vector>

#include "base/Types.h"
#include "content/ContentArchive.h"
#include "content/ContentServices.h"
#include "content/GameTable.h"
#include "resources/ResourceServices.h"

class GameCharacter;
class MapSprite;
class Sprite;
struct PRODUCT;

namespace kis {
class BaseDataFileReader;
}

constexpr u32 kBuildingSectionId = SectionTag('B', 'L', 'D', 'N');
constexpr u32 kBuildingSectionSubId = 1;
constexpr u32 kBuildingHeaderSize = 504;
constexpr u32 kBuildingLevelSize = 1372;
constexpr u32 kBuildingPartOffset = 172;       // the kind's part of the header
constexpr u32 kBuildingLevelPartOffset = 340;  // the kind's part of a level record
constexpr u32 kBuildingPartSize = kBuildingHeaderSize - kBuildingPartOffset;
constexpr u32 kBuildingLevelPartSize = 1176 - kBuildingLevelPartOffset;
constexpr u32 kMaxBuildingLevels = 4;
constexpr u32 kMaxFactoryProducts = 5;
constexpr u32 kMaxBuildingExtras = 2;
constexpr u32 kMaxFactoryAnimations = 4;
constexpr u32 kMaxFactoryFrames = 32;
constexpr u32 kMaxBuildingEmitters = 16;
constexpr u32 kKindNameSize = 32;  // UTF-16 units of a name field (64 bytes)

// Building kinds (BUILDING::kind); any other value is a plain building.
constexpr u32 kBuildingAnimalHouse = 1;
constexpr u32 kBuildingFactory = 2;

struct KINDNAME {
  wchar text[kKindNameSize];
};

struct BUILDINGEMITTER {
  u32 systemId;  // particle system
  i32 x, y;      // times the building's scale, rounded
};

// A factory's production animation (208 bytes).
struct FACTORYANIM {
  wchar imageName[kKindNameSize];  // map-sprite set
  i32 x, y;
  i32 frameTime;   // ms per frame
  i32 frameCount;  // negative: the image's own count (at most 32)
  u32 sequence[kMaxFactoryFrames];
};

// The factory's part of the header.
struct FACTORYPART {
  u32 productCount;
  u32 products[kMaxFactoryProducts];  // product ids
  i32 buttonOrigin[2];
  i32 slotOrigin[2];
  wchar soundName[kKindNameSize];  // while it runs
};

// An animal house's part of the header.
struct HOUSEPART {
  u32 characterId;  // the animal's character description
  wchar feedIconName[kKindNameSize];
  wchar feedJobIconName[kKindNameSize];
  wchar feedAnimation[kKindNameSize];  // the player's
  u32 feedTime;                        // ms
  u32 markWorking;
  u8 houseBytes[32];  // the house's own (the chicken house's door spots)
  u32 feedProduct;
  u32 producedProduct;
  u32 timings[4];  // the house's own
  i32 progressAnchor[2];
  wchar soundName[kKindNameSize];
};

// A factory's part of a level record.
struct FACTORYLEVEL {
  u32 animationCount;
  FACTORYANIM animations[kMaxFactoryAnimations];
};

// An animal house's part of a level record.
struct HOUSELEVEL {
  u32 feedAmount;
  wchar troughName[kKindNameSize];  // map-sprite set
  i32 troughOffset[2];
  i32 feedSpot[2];
  u32 facing;
  u32 facingMirrored;
  u32 eatingFacings[8];
  i32 spots[8];
};

struct BUILDINGLEVEL {
  // --- Stored ------------------------------------------------------------------
  wchar mapSpriteName[kKindNameSize];
  wchar iconName[kKindNameSize];       // the level block's
  wchar buildIconName[kKindNameSize];  // record 0's: the construction job's
  u32 buildTime;  // ms of the step that reaches the level
  i32 price;      // of that step
  u32 extraCount;
  KINDNAME extras[kMaxBuildingExtras];  // map sprites drawn with the building
  u32 capacity;                         // plain buildings: the warehouse's capacity
  FACTORYLEVEL factory;                 // by the building's kind
  HOUSELEVEL house;
  u32 emitterCount;
  BUILDINGEMITTER emitters[kMaxBuildingEmitters];

  // --- In memory -----------------------------------------------------------------
  MapSprite* mapSprite;
  MapSprite* extraSprites[kMaxBuildingExtras];
  Sprite* icon;
  Sprite* buildIcon;
  MapSprite* trough;                                 // animal houses
  MapSprite* animationImages[kMaxFactoryAnimations];  // factories
};

struct BUILDING {
  // --- Stored ------------------------------------------------------------------
  wchar name[kKindNameSize];  // key of its texts in the language's "buildings"
  u32 kind;                   // kBuildingAnimalHouse, kBuildingFactory or plain
  u32 id;                     // name id of the name
  wchar siteName[kKindNameSize];  // map sprite of the construction site
  i32 objectOffset[2];
  i32 workSpot[2];
  i32 starsOffset[2];
  float scale;
  u8 mirrorRule[2];
  i32 levelCount;  // 0 .. 4
  FACTORYPART factory;  // by kind
  HOUSEPART house;
  BUILDINGLEVEL levels[kMaxBuildingLevels];

  // --- In memory -----------------------------------------------------------------
  MapSprite* site;
  GameCharacter* character;  // animal houses
  Sprite* feedIcon;
  Sprite* feedJobIcon;
  PRODUCT* feedProduct;
  PRODUCT* producedProduct;
  MapSprite* nest;  // "henhouse" only: "henhouse_nest"
  u32 sound;        // loaded with the resources (animal houses: the feed's, factories: the running)
  i32 useCount;     // resources acquired when it was 0
  bool enabled;     // on the current level
  i32 levelLimit;   // the highest level allowed on the current level

  // Stores the level limit; the first call of a level enables the kind,
  // acquires its resources once (LoadResources) and marks its products used.
  void EnableForLevel(i32 limit);
  void LoadResources();
  // Enabled on the level, and for a factory while one of its products can
  // be made (else the factory is disabled for the level).
  bool IsAvailable();
  // The warehouse capacity at a storage level clamped to 1..4: the capacity
  // of level entry level - 1.
  i32 GetCapacity(i32 level) const;
};

class BuildingTable : public GameTable {
 public:
  BuildingTable() = default;
  ~BuildingTable() = default;

  // The resumable reader of "BLDN": 1 when finished (the error flag tells
  // a failure), 0 to be called again (after each record, when the progress
  // hook asks for the frame).
  i32 ReadSection(kis::BaseDataFileReader* reader, SectionCursor* cursor);

  BUILDING* FindBuilding(u32 id) const;  // the first of that id; null for 0 or when absent
  BUILDING* FindBuildingByName(const wchar* name) const;
  void ClearUsedFlags();  // every kind's enabled mark

  u32 GetCount() const { return static_cast<u32>(buildings_.size()); }
  BUILDING* Get(u32 i) const { return i < buildings_.size() ? buildings_[i].get() : nullptr; }
  void Clear() { buildings_.clear(); }

 private:
  std::vector<std::unique_ptr<BUILDING>> buildings_;
};

// The section's body for the records given (counts as stored in them).
std::vector<u8> BuildingSection(const std::vector<BUILDING>& buildings);
// A zeroed record (scale 1) of the name and kind, its id the name's.
BUILDING MakeBuilding(const wchar* name, u32 kind);

// The game's table (installed in the content services), or null.
inline BuildingTable* GetBuildingTable() { return GetContentServices().buildings; }
inline BUILDING* FindBuilding(u32 id) {
  const BuildingTable* t = GetBuildingTable();
  return t ? t->FindBuilding(id) : nullptr;
}
inline BUILDING* FindBuildingByName(const wchar* name) {
  const BuildingTable* t = GetBuildingTable();
  return t ? t->FindBuildingByName(name) : nullptr;
}

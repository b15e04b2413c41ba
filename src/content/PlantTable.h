// PlantTable - the plant kinds of the "PLNT" section (bed crops and trees)
// with the beds' stage table, the timing block and the beds' looks, read
// once at start-up, found by name id, and readied per level: the level
// loader clears every kind's enabled mark (ResetUse), then uses each kind
// the level allows with its level limit (UsePlant), which acquires the
// kind's pictures and product on their first use and marks the product
// used on the level.
//
// Layout, in order: four 68-byte BEDSTAGE records (bed levels 1 to 4), the
// timing block (six u32), a u32 count of 260-byte GAMEBEDS records and
// those, a u32 count of 856-byte PLANT records and those. Counts stored in a
// record are bounds: one above its limit is a data error (the record is
// freed, those before it stay).
#pragma once

#include <memory>
#include <vector>

#include "base/Types.h"
#include "content/BuildingTable.h"
#include "content/ContentArchive.h"
#include "content/ContentServices.h"
#include "content/GameTable.h"
#include "resources/ResourceServices.h"

class MapSprite;
class Sprite;
struct PRODUCT;

namespace kis {
class BaseDataFileReader;
}

constexpr u32 kPlantSectionId = SectionTag('P', 'L', 'N', 'T');
constexpr u32 kPlantSectionSubId = 1;
constexpr u32 kBedStageSize = 68;
constexpr u32 kBedStageCount = 4;
constexpr u32 kPlantTimingWords = 6;
constexpr u32 kBedLookSize = 260;
constexpr u32 kPlantRecordSize = 856;
constexpr u32 kMaxBedCrops = 4;
constexpr u32 kMaxTreeFruits = 24;
constexpr u32 kPlantTree = 2;  // PLANT::kind of a tree

// The timing block's words read (by index).
constexpr u32 kTimingBedWater = 1;
constexpr u32 kTimingTreeWater = 3;
constexpr u32 kTimingHarvest = 4;
constexpr u32 kTimingPulldown = 5;  // ms of the player's animation when a plant point is pulled down

// A bed of level k + 1: where its crops stand and its anchors, from the point.
struct BEDSTAGE {
  u32 cropCount;  // 0 .. 4
  i32 crops[kMaxBedCrops][2];
  i32 buttonAnchor[2];
  i32 workSpot[2];
  i32 progressAnchor[2];
  i32 starsAnchor[2];
};

// A look of the beds: the ground's map sprite per bed level.
struct GAMEBEDS {
  KINDNAME groundNames[kBedStageCount];
  MapSprite* grounds[kBedStageCount];  // resolved and acquired by LoadBedSprites
};

struct TREEFRUIT {
  i32 x, y;
  u32 colour;  // ARGB
};

struct PLANT {
  // --- Stored ------------------------------------------------------------------
  wchar name[kKindNameSize];         // key of its texts in the language's "plants"
  wchar pictureName[kKindNameSize];  // icon set: the panel's picture
  wchar iconName[kKindNameSize];     // icon set: the first planting job's icon
  wchar cropName[kKindNameSize];     // map-sprite set: one crop plant (trees: the crown)
  u32 kind;                          // kPlantTree, else a bed crop
  u32 id;                            // name id of the name
  i32 prices[4];                     // raising a bed from level k to k + 1
  u32 digTimes[4];                   // ms, by the bed's current level
  u32 productId;
  u32 growthTime;  // ms from 0 to 100 percent
  u32 waterMin;    // harvests one watering lasts
  u32 waterMax;
  wchar harvestAnimation[kKindNameSize];
  u8 cropEffect;                      // bed crops: 1 scale, 2 fade, other none
  wchar treeName[kKindNameSize];      // trees: map-sprite set (stored where the crop effect is)
  i32 treeButtonAnchor[2];
  wchar fruitName[kKindNameSize];     // trees: map-sprite set
  u32 fruitCounts[4];                 // trees: by level (the fourth: the positions used)
  TREEFRUIT fruits[kMaxTreeFruits];
  float fruitScale[2];
  float fruitRotation[2];
  i32 treeWorkSpot[2];
  i32 treeProgressAnchor[2];
  i32 treeStarsAnchor[2];

  // --- In memory -----------------------------------------------------------------
  i32 useCount;    // resources acquired when it was 0
  bool enabled;    // on the current level
  i32 levelLimit;  // the highest bed level on the current level
  Sprite* picture;
  Sprite* icon;
  PRODUCT* product;
  MapSprite* crop;
  MapSprite* tree;   // trees
  MapSprite* fruit;  // trees
};

class PlantTable : public GameTable {
 public:
  PlantTable() = default;
  ~PlantTable() = default;

  // The resumable reader of "PLNT": 1 when finished (the error flag tells
  // a failure), 0 to be called again (after each plant record, when the
  // progress hook asks for the frame).
  i32 ReadSection(kis::BaseDataFileReader* reader, SectionCursor* cursor);

  PLANT* FindPlant(u32 id) const;  // the first of that id; null for 0 or when absent
  PLANT* FindPlantByName(const wchar* name) const;
  void ResetUse();  // every kind's enabled mark
  // Stores the level limit; the first call of a level enables the kind,
  // acquires its resources once and marks its product used.
  void UsePlant(PLANT* plant, i32 limit);
  // Every kind the current level does not use gives back the pictures it
  // holds (its product stays loaded); its next use acquires them again.
  void ReleaseUnused();
  // The ground sprites of bed look `look` (none beyond the list), resolved
  // and acquired once, and the level's planting spot of trees.
  void LoadBedSprites(u32 look, MapSprite* treeSpot);

  const BEDSTAGE& GetStage(u32 i) const { return stages_[i < kBedStageCount ? i : kBedStageCount - 1]; }
  u32 GetTiming(u32 word) const { return word < kPlantTimingWords ? timing_[word] : 0; }
  u32 GetCount() const { return static_cast<u32>(plants_.size()); }
  PLANT* Get(u32 i) const { return i < plants_.size() ? plants_[i].get() : nullptr; }
  u32 GetBedLookCount() const { return static_cast<u32>(beds_.size()); }
  GAMEBEDS* GetBedLook(u32 i) const { return i < beds_.size() ? beds_[i].get() : nullptr; }
  void Clear();

 private:
  BEDSTAGE stages_[kBedStageCount] = {};
  u32 timing_[kPlantTimingWords] = {};
  std::vector<std::unique_ptr<GAMEBEDS>> beds_;
  std::vector<std::unique_ptr<PLANT>> plants_;
};

// The section's body: the stages, the timing block, the looks and the plants.
std::vector<u8> PlantSection(const BEDSTAGE (&stages)[kBedStageCount], const u32 (&timing)[kPlantTimingWords],
                             const std::vector<GAMEBEDS>& beds, const std::vector<PLANT>& plants);
// A zeroed record of the name and kind, its id the name's.
PLANT MakePlant(const wchar* name, u32 kind);

// The game's table (installed in the content services), or null.
inline PlantTable* GetPlantTable() { return GetContentServices().plants; }
inline PLANT* FindPlant(u32 id) {
  const PlantTable* t = GetPlantTable();
  return t ? t->FindPlant(id) : nullptr;
}
inline PLANT* FindPlantByName(const wchar* name) {
  const PlantTable* t = GetPlantTable();
  return t ? t->FindPlantByName(name) : nullptr;
}

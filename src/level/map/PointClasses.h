// PointClasses - the point classes of the level objects (buildings, plant
// beds and trees) that the level-point maker makes from the plant and
// building kinds of the game's tables (PlantTable.h, BuildingTable.h); and
// what the maker and the build panels read of a kind (PointKindFacts). The
// level objects library will implement the classes; they are optional:
// without them only empty places are made.
#pragma once

#include "base/Types.h"

class LevelMap;
class LevelPoint;
class MapPlayer;
class Sprite;
struct BUILDING;
struct PLANT;

// The point classes the maker makes.
enum PointClass : u32 {
  kPointWarehouse,
  kPointPlantBed,
  kPointTree,
  kPointFactory,
  kPointHenhouse,
  kPointSheepRack,
  kPointCowshed,
};

// What the maker and the build panels read of a plant or building kind.
struct PointKindFacts {
  u32 id = 0;  // the kind's name id
  i32 price = 0;  // of the first step (a bed's planting, a building's construction)
  i32 maxLevel = 0;  // the level limit the level loading stored
  bool available = false;  // enabled on the level (a factory: one of its products can be made)
  u32 category = 0;        // buildings: kBuildingAnimalHouse or kBuildingFactory
  bool tree = false;       // plants: the kind is a tree
  Sprite* picture = nullptr;   // a plant's picture, a building's first level's icon
  const wchar* name = nullptr;  // the kind's name (its texts' key)
};

// Facts of null are all zero.
PointKindFacts DescribePlant(const PLANT* plant);
PointKindFacts DescribeBuilding(BUILDING* building);  // may disable a factory (BUILDING::IsAvailable)

class PointClasses {
 public:
  virtual ~PointClasses() = default;
  // A new point of the class on the map (record null for the warehouse),
  // not yet set up; null when it cannot be made.
  virtual LevelPoint* CreatePoint(LevelMap& map, PointClass pointClass, void* record) = 0;
  // The player's job of the given id (2 to 9) restored from its saved record; false when refused.
  virtual bool LoadPlayerJob(u32 /*id*/, MapPlayer& /*player*/, const u8* /*record*/, u32 /*size*/) { return false; }
};

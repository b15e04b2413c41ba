// PointClasses - what the level-point maker needs of the level objects
// (buildings, plant beds and trees): their plant table and building list,
// what the maker reads of a record, and the point classes it makes from
// them. The level objects library will implement it; it is optional:
// without one only empty places are made.
#pragma once

#include "base/Types.h"

class LevelMap;
class LevelPoint;
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

// Building categories.
constexpr u32 kBuildingAnimalHouse = 1;
constexpr u32 kBuildingFactory = 2;

// What the maker reads of a plant or building record.
struct PointKindFacts {
  u32 id = 0;         // the record's name id
  i32 price = 0;
  i32 maxLevel = 0;
  bool available = false;  // a plant marked available; a building whose new mark holds
  u32 category = 0;        // buildings: kBuildingAnimalHouse or kBuildingFactory
  bool tree = false;       // plants: the record's type is 2
};

class PointClasses {
 public:
  virtual ~PointClasses() = default;
  virtual u32 GetPlantCount() const = 0;
  virtual PLANT* GetPlant(u32 index) const = 0;
  virtual PLANT* FindPlant(u32 id) const = 0;  // null for 0 or when absent
  virtual PointKindFacts DescribePlant(const PLANT* plant) const = 0;
  virtual u32 GetBuildingCount() const = 0;
  virtual BUILDING* GetBuilding(u32 index) const = 0;
  virtual BUILDING* FindBuilding(u32 id) const = 0;
  virtual PointKindFacts DescribeBuilding(const BUILDING* building) const = 0;
  // A new point of the class on the map (record null for the warehouse),
  // not yet set up; null when it cannot be made.
  virtual LevelPoint* CreatePoint(LevelMap& map, PointClass pointClass, void* record) = 0;
  // The pull-down time of the plant table's header, ms (0 without one).
  virtual u32 GetPulldownTime() const { return 0; }
};

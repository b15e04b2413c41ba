// LevelObjectTables - what the content tables need of the level objects'
// own tables: the plant table and the building list (built with the level
// objects library), looked up by name id, and the storage capacity that
// a building kind gives at a building level (the "warehouse" kind's gives
// every product's warehouse capacity).
//
// The level objects library will implement it and install its tables as a
// field of the game services (GameServices::objectTables) at set-up.
// Without tables every look-up finds nothing and every capacity is 0.
#pragma once

#include "base/Types.h"
#include "resources/GameServices.h"

struct BUILDING;  // a building kind of the building list
struct PLANT;     // a plant kind of the plant table

class LevelObjectTables {
 public:
  virtual ~LevelObjectTables() = default;
  virtual PLANT* FindPlant(u32 id) const = 0;        // null for 0 or when absent
  virtual BUILDING* FindBuilding(u32 id) const = 0;  // the first of that id; null for 0 or when absent
  // The capacity value of a building kind at building level 1 to 4.
  virtual i32 GetStorageCapacity(const BUILDING* building, i32 level) const = 0;
};

// The installed tables, or null.
inline LevelObjectTables* GetLevelObjectTables() { return GetGameServices().objectTables; }

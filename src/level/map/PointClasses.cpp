#include "level/map/PointClasses.h"

#include "content/BuildingTable.h"
#include "content/PlantTable.h"

PointKindFacts DescribePlant(const PLANT* plant) {
  PointKindFacts f;
  if (!plant) return f;
  f.id = plant->id;
  f.price = plant->prices[0];
  f.maxLevel = plant->levelLimit;
  f.available = plant->enabled;
  f.tree = plant->kind == kPlantTree;
  f.picture = plant->picture;
  f.name = plant->name;
  return f;
}

// The "new" mark of a building kind is its availability; the price and the
// picture are level record 0's (the construction's).
PointKindFacts DescribeBuilding(BUILDING* building) {
  PointKindFacts f;
  if (!building) return f;
  f.id = building->id;
  f.maxLevel = building->levelLimit;
  f.available = building->IsAvailable();
  f.category = building->kind;
  f.name = building->name;
  if (building->levelCount > 0) {
    f.price = building->levels[0].price;
    f.picture = building->levels[0].icon;
  }
  return f;
}

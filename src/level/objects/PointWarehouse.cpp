#include "level/objects/PointWarehouse.h"

#include "content/BuildingTable.h"
#include "level/map/LevelMap.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelWindows.h"
#include "level/rules/WarehouseStock.h"

PointWarehouse* PointWarehouse::Create(LevelMap& map) {
  BUILDING* building = FindBuildingByName(kWarehouseName);
  return building ? new PointWarehouse(map, building) : nullptr;
}

PointWarehouse::PointWarehouse(LevelMap& map, BUILDING* building) : PointBuilding(map, building) {
  kind_ = kPointKindWarehouse;
}

PointWarehouse::~PointWarehouse() { Shutdown(false, true, 0); }

void PointWarehouse::Select(MapObject*) {
  LevelRules* rules = GetMap().GetRules();
  if (rules && rules->Hooks().windows) rules->Hooks().windows->OpenWarehouseWindow(nullptr);
}

u32 PointWarehouse::ShowBuilding(bool fade, u32 delay) {
  LevelRules* rules = GetMap().GetRules();
  if (rules && rules->Stock()) rules->Stock()->SetLevel(level_);
  return PointBuilding::ShowBuilding(fade, delay);
}

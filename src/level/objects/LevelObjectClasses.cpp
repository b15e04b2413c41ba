#include "level/objects/LevelObjectClasses.h"

#include "level/objects/Job_Build.h"
#include "level/objects/PlantJobs.h"
#include "level/objects/PointBuilding.h"
#include "level/objects/PointCowshed.h"
#include "level/objects/PointFactory.h"
#include "level/objects/PointHenhouse.h"
#include "level/objects/PointPetshouse.h"
#include "level/objects/PointPlant.h"
#include "level/objects/PointSheepRack.h"
#include "level/objects/PointTree.h"
#include "level/objects/PointWarehouse.h"

LevelPoint* LevelObjectClasses::CreatePoint(LevelMap& map, PointClass pointClass, void* record) {
  BUILDING* building = static_cast<BUILDING*>(record);
  switch (pointClass) {
    case kPointWarehouse:
      return PointWarehouse::Create(map);
    case kPointFactory:
      return building ? new PointFactory(map, building) : nullptr;
    case kPointHenhouse:
      return building ? new PointHenhouse(map, building) : nullptr;
    case kPointCowshed:
      return building ? new PointCowshed(map, building) : nullptr;
    case kPointSheepRack:
      return building ? new PointSheepRack(map, building) : nullptr;
    case kPointPlantBed:
      return record ? new PointPlant(map, static_cast<PLANT*>(record)) : nullptr;
    case kPointTree:
      return record ? new PointTree(map, static_cast<PLANT*>(record)) : nullptr;
  }
  return nullptr;
}

bool LevelObjectClasses::LoadPlayerJob(u32 id, MapPlayer& player, const u8* record, u32 size) {
  switch (id) {
    case kJobPlant:
    case kJobWater:
    case kJobHarvest:
      return LoadPlantJob(id, player, record, size);
    case kJobBuild:
      return Job_Build::Load(&player, record, size);
    case kJobFeed:
      return LoadFeedJob(player, record, size);
    case kJobTakeEggs:
      return LoadTakeEggsJob(player, record, size);
    case kJobMilkCows:
      return LoadMilkJob(player, record, size);
    case kJobCutSheeps:
      return LoadCutSheepsJob(player, record, size);
    default:
      return false;
  }
}

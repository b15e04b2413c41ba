// LevelObjectClasses - the game's point classes: the level objects that
// stand on the level's points (the warehouse, buildings, plant beds and
// trees), and the loaders of the player's jobs at them. The game world
// installs one for every level it opens.
#pragma once

#include "level/map/PointClasses.h"

class LevelObjectClasses : public PointClasses {
 public:
  // Null for a class with no level object yet: the maker leaves the point out.
  LevelPoint* CreatePoint(LevelMap& map, PointClass pointClass, void* record) override;
  // The player's jobs at the level objects' points (plant, water, harvest, build ...).
  bool LoadPlayerJob(u32 id, MapPlayer& player, const u8* record, u32 size) override;
};

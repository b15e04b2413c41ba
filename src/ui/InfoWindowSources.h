// What the level information window asks of the layers above the toolkit,
// a field of the ui services (UiServices::levelPanel), null while there
// is none: LevelPanelArea, the level panel of the game windows (LevelPanel):
// whether a screen point lies over it. Without it no point is over the
// panel. (The plant and building kinds its item rows show are the content
// tables' own, PlantTable.h and BuildingTable.h.)
#pragma once

#include "base/Types.h"

class LevelPanelArea {
 public:
  virtual ~LevelPanelArea() = default;
  virtual bool IsPointOver(i32 x, i32 y) const = 0;  // game coordinates
};

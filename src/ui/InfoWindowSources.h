// What the level information window asks of the layers above the toolkit,
// each a field of the game services (GameServices::levelObjectItems and
// ::levelPanel), null while there is none:
//   LevelObjectItems - the plant table and building list of the level
//     objects (the level objects library will implement it): a kind's level
//     word and icon by its name;
//   LevelPanelArea - the level panel of the game windows (LevelPanel):
//     whether a screen point lies over it.
// Without them no plant or building is found and no point is over the panel.
#pragma once

#include "base/Types.h"

class Sprite;

// A plant or building kind as an item row shows it.
struct InfoItemKind {
  i32 level;     // a row is shown only from level 1 on
  Sprite* icon;  // may be null
};

class LevelObjectItems {
 public:
  virtual ~LevelObjectItems() = default;
  // False when there is no kind of that name.
  virtual bool FindPlantByName(const wchar* name, InfoItemKind* out) const = 0;
  virtual bool FindBuildingByName(const wchar* name, InfoItemKind* out) const = 0;
};

class LevelPanelArea {
 public:
  virtual ~LevelPanelArea() = default;
  virtual bool IsPointOver(i32 x, i32 y) const = 0;  // game coordinates
};

// StandInScreens - a plain screen in place of the level map while that is
// still to come: a map of one button (the first level). Drawn in game
// coordinates from a flat colour and game font 2 (the level's name).
#pragma once

#include "base/Types.h"
#include "engine/DXLRect.h"

class StandInScreens {
 public:
  // The map's button (game coordinates).
  static DXLRECT MapButton();
  bool MapHit(i32 x, i32 y) const;

  void DrawMap();
};

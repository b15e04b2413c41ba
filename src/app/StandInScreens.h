// StandInScreens - plain screens in place of the main screen and the level
// map while those are still to come: a title with two buttons (the first
// level, quit) and a map of one button (the first level). Drawn in game coordinates from flat colours and
// game font 2 (the level's name and the menu's "quit" of the language).
#pragma once

#include "base/Types.h"
#include "engine/DXLRect.h"

class StandInScreens {
 public:
  enum Button : i32 { kNone = 0, kPlay = 1, kQuit = 2 };

  // The title's buttons and the map's one (game coordinates).
  static DXLRECT TitleButton(Button which);
  static DXLRECT MapButton();
  Button TitleHit(i32 x, i32 y) const;  // what the point falls on
  bool MapHit(i32 x, i32 y) const;

  void DrawTitle(const wchar* title);
  void DrawMap();
};

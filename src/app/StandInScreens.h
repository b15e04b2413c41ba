// StandInScreens - plain screens in place of the main screen, the level map
// and the loading panel while those are still to come: a title with two
// buttons (the first level, quit), a map of one button (the first level)
// and a plain progress bar. Drawn in game coordinates from flat colours and
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
  void DrawLoading() const;  // the bar at the fraction
  void SetLoading(float fraction) { fraction_ = fraction < 0 ? 0 : fraction > 1 ? 1 : fraction; }
  float Loading() const { return fraction_; }

 private:
  float fraction_ = 0.0f;
};

// LevelView - how the level's 1280 x 720 playfield with the 100-pixel panel
// below it fits the game screen: one scale and a scroll, and the
// conversions between level and screen coordinates.
//
// Screens smaller than 800 x 600 are fitted as 800 x 600, so the scale is
// always above 0. Rounding is half up.
#pragma once

#include "base/Types.h"

constexpr i32 kLevelViewWidth = 1280;
constexpr i32 kLevelViewHeight = 720;
constexpr i32 kLevelPanelHeight = 100;
constexpr i32 kMinScreenWidth = 800;
constexpr i32 kMinScreenHeight = 600;

struct LEVELVIEW {
  i32 scrollX = 0;
  i32 scrollY = 0;
  float scale = 1.0f;
  bool scaling = false;  // the scale differs from 1
};

struct LEVELVIEWSIZE {
  i32 width;
  i32 height;
};

// The scale and scroll for a screen of width x height; the size of the
// drawn area (at most the screen). Also used by the screen settings.
LEVELVIEWSIZE FitLevelView(LEVELVIEW* view, i32 width, i32 height);

class LevelView {
 public:
  // The view fitted to the screen, the level translated by minus the scroll.
  void Recompute(i32 screenWidth, i32 screenHeight);
  // After a change of screen size: the view size (the screen less the
  // panel's 80 pixels), then Recompute.
  void UpdateViewport(i32 screenWidth, i32 screenHeight);

  // Level to screen: scaled and rounded when scaling, then less the scroll.
  void MapToScreen(i32* x, i32* y) const;
  // Screen to level: plus the scroll, then divided by the scale and rounded.
  void ScreenToMap(i32* x, i32* y) const;

  const LEVELVIEW& Get() const { return view_; }
  i32 GetViewWidth() const { return viewWidth_; }
  i32 GetViewHeight() const { return viewHeight_; }
  float GetTranslateX() const { return translateX_; }
  float GetTranslateY() const { return translateY_; }

 private:
  LEVELVIEW view_;
  i32 viewWidth_ = 0;
  i32 viewHeight_ = 0;
  float translateX_ = 0.0f;
  float translateY_ = 0.0f;
};

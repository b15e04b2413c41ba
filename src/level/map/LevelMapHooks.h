// LevelMapHooks - what the level's map and its points call out to: the
// point classes of the level objects, the level's head-up display (the
// screen-sprite list its points' sprites join), the empty places' panels,
// and the damage and point jobs. Each is optional: null, and what would
// have gone there does not happen (no point classes: only empty places; no
// head-up display: the points show no sprites).
#pragma once

class PointCare;
class PointClasses;
class LevelInterface;
class ScreenSpriteList;

struct LevelMapHooks {
  PointClasses* classes = nullptr;
  ScreenSpriteList* hud = nullptr;
  LevelInterface* panels = nullptr;
  PointCare* care = nullptr;
};

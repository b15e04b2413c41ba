// LevelMapHooks - what the level's map and its points call out to, each
// standing for a part built elsewhere: the point classes of the level
// objects, the head-up display's sprites, the empty place's panels, and the
// damage and point jobs. Each may be null, and then what would have gone
// there does not happen.
#pragma once

class PointCare;
class PointClasses;
class PointPanels;
class PointSprites;

struct LevelMapHooks {
  PointClasses* classes = nullptr;
  PointSprites* sprites = nullptr;
  PointPanels* panels = nullptr;
  PointCare* care = nullptr;
};

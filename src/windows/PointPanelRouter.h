// PointPanelRouter - answers the level's calls for the built points' panels
// (LevelInterface::ShowPointPanel, RefreshPointPanel) on the level panel:
// the page of the kind (a factory's, an animal house's, a plant bed's) is
// made once per level panel, bound to the point and shown; a refresh, or
// the hiding when the point is deselected, reaches the shown page only
// when it shows that point.
#pragma once

#include "base/Types.h"

class ChildLevelPanel;
class LevelPanel;
class LevelPoint;

class PointPanelRouter {
 public:
  // The shown page; null for no point. An unknown kind, or a point of
  // another class than the kind's, breaks the router's invariant (RequireThat).
  static ChildLevelPanel* Show(LevelPanel& panel, u32 kind, LevelPoint* point);
  static void Refresh(LevelPanel& panel, LevelPoint* point);
  static void Hide(LevelPanel& panel, LevelPoint* point);
};

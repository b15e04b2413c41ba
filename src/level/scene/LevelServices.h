// LevelServices - the level core's game-wide values: the developer's keys
// and overlay (DeveloperOverlay.h) and the warehouse's no-limits switch it
// turns. The game's overlay is made by InitDebugOverlay and owned here
// until ReleaseDebugOverlay or the reset; a test installs its own as the
// overlay in use, not owned. ResetLevelServices returns every field to its
// start, the game's overlay freed: its fonts sit on the game viewer, so the
// reset comes before the viewer goes (the world's viewer stage releases the
// overlay first, ReleaseDebugOverlay).
#pragma once

#include <memory>

class DeveloperOverlay;

struct LevelServices {
  // The developer's keys and overlay ("Cheats" of "config.ini"); null before
  // InitDebugOverlay and after ReleaseDebugOverlay.
  DeveloperOverlay* developer = nullptr;
  std::unique_ptr<DeveloperOverlay> gameDeveloper;  // the one InitDebugOverlay made
  bool warehouseNoLimits = false;  // the warehouse takes any amount (a developer's switch)
};

LevelServices& GetLevelServices();
void ResetLevelServices();

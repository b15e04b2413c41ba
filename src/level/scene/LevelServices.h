// LevelServices - the level core's game-wide values: the developer's keys
// and overlay (DeveloperOverlay.h), the warehouse's no-limits switch it
// turns, and the game's pointer that the level's hover reads each frame.
// The game's overlay is made by InitDebugOverlay and owned here until
// ReleaseDebugOverlay or the reset; a test installs its own as the
// overlay in use, not owned. ResetLevelServices returns every field to its
// start, the game's overlay freed: its fonts sit on the game viewer, so the
// reset comes before the viewer goes (the world's viewer stage releases the
// overlay first, ReleaseDebugOverlay).
#pragma once

#include <memory>

#include "engine/DXLMouse.h"

class DeveloperOverlay;

struct LevelServices {
  // The developer's keys and overlay ("Cheats" of "config.ini"); null before
  // InitDebugOverlay and after ReleaseDebugOverlay.
  DeveloperOverlay* developer = nullptr;
  std::unique_ptr<DeveloperOverlay> gameDeveloper;  // the one InitDebugOverlay made
  bool warehouseNoLimits = false;  // the warehouse takes any amount (a developer's switch)
  // Where the game's mouse is now, in game-screen pixels (the game's
  // GetGameMousePos, installed by the world's services stage from
  // WorldSetup::pointer). Null where nothing but the level's own events
  // move the pointer (the tools and test harnesses that hand it events):
  // the level then keeps the last position its events gave.
  DXLPOINT (*pointer)() = nullptr;
};

LevelServices& GetLevelServices();
void ResetLevelServices();

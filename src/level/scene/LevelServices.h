// LevelServices - the level core's game-wide values: the developer's keys
// and overlay (DeveloperOverlay.h) and the warehouse's no-limits switch it
// turns. The overlay is not owned: InitDebugOverlay installs the game's
// (tests their own), ReleaseDebugOverlay takes it out again.
// ResetLevelServices returns every field to its start and frees nothing.
#pragma once

class DeveloperOverlay;

struct LevelServices {
  // The developer's keys and overlay ("Cheats" of "config.ini"); null before
  // InitDebugOverlay and after ReleaseDebugOverlay.
  DeveloperOverlay* developer = nullptr;
  bool warehouseNoLimits = false;  // the warehouse takes any amount (a developer's switch)
};

LevelServices& GetLevelServices();
void ResetLevelServices();

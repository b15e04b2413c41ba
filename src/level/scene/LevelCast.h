// LevelCast - the level's characters as the scene drives them: the
// player made at the level's start position, every character's tick, the
// path requests, the player's walk to a clicked point and the cancelling of
// a queued job by a right click, and the rates the bonuses set. PlayerCast
// implements it over the level's characters (LevelCharacters), their jobs
// and the walking job; the scene makes its own unless given another.
#pragma once

#include "base/Types.h"

class DynObject;

class LevelCast {
 public:
  virtual ~LevelCast() = default;
  // One step of loading the descriptions of the player (1) and the
  // villains (6): one animation a call. True once both are loaded.
  virtual bool LoadDescriptions() = 0;
  // The player at (x, y), attached to the level; its map object.
  virtual DynObject* CreatePlayer(i32 x, i32 y) = 0;
  virtual DynObject* GetPlayer() const = 0;
  virtual void DeleteAll() = 0;  // the player and every character
  // One tick: the queued path requests, then every character.
  virtual void UpdatePaths() = 0;
  virtual void UpdateCharacters(u32 ms) = 0;
  // A walk of the player to (x, y) queued; false when none could be.
  virtual bool WalkPlayerTo(i32 x, i32 y) = 0;
  // The right click at (x, y) cancels one queued job of the player (the
  // one whose icon is nearest); false when none was.
  virtual bool CancelJobNear(i32 x, i32 y) = 0;
  virtual void NotifyLevelEnd() = 0;
  virtual void SetPlayerWalkModifier(u32 id, float value) = 0;
  virtual void SetPlayerSpeedModifier(u32 id, float value) = 0;
  virtual void SetPlayerRunning(bool running) = 0;
};

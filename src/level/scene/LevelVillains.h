// LevelVillains - the villains and their shots as the scene drives them:
// a villain brought into a slot by the waves, each slot's occupant, the
// bees driving them off, their tick and their drawing above the screen
// sprites. The level objects library (its villains) will implement it; it
// is optional: without one no villain comes.
#pragma once

#include "base/Types.h"

class MapObject;
struct VILLAINSLOT;

class LevelVillains {
 public:
  virtual ~LevelVillains() = default;
  // A new villain of the kind (character description 6) for the slot,
  // started; false when none could be made.
  virtual bool SpawnVillain(u32 slot, const VILLAINSLOT& where, u32 villainKind) = 0;
  virtual bool IsSlotTaken(u32 slot) const = 0;
  virtual void DriveOffAll() = 0;
  // The newest live shot within 40 pixels of (x, y) that the tutorial lets
  // the player touch; null when none.
  virtual MapObject* FindShotAt(i32 x, i32 y) const = 0;  // every villain still arriving or at work
  virtual void UpdateShots(u32 ms) = 0;
  virtual void DrawShots() = 0;
  virtual void DeleteAll() = 0;
};

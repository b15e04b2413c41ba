// VillainWaves - the schedule of the level's villains: the level record's
// wave table, each wave coming a delay after the one before (the first
// after the start of play) and naming a villain slot or any free one. A
// repeating part (from the first repeating wave, of the repeating length)
// plays again without end; without it the waves end after the last entry.
// A repeating part that does not start inside the table counts as none.
//
// At most 16 villains come in one run, so a repeating part of waves with no
// delay cannot hold the game; the waves stand still while the bees bonus is
// active. Where the villains live is the scene's (VillainSlots).
#pragma once

#include "base/Types.h"

struct LEVELINFO;

// The level's villain slots as the schedule sees them.
class VillainSlots {
 public:
  virtual ~VillainSlots() = default;
  virtual u32 GetSlotCount() const = 0;
  virtual bool IsSlotTaken(u32 slot) const = 0;
  // Makes a villain of the kind for the empty slot, marks it new and starts it.
  virtual void SpawnVillain(u32 slot, u32 villainKind) = 0;
};

class VillainWaves {
 public:
  static constexpr u32 kMaxSpawnsPerRun = 16;

  // The level's waves from the start: enabled when there are any, the time
  // to the first one its delay. Null: no waves.
  void Start(const LEVELINFO* level);
  // Advances the schedule by t ms and brings in every wave that is due
  // (nothing while disabled, held or while the bees are active).
  void Run(u32 t, bool beesActive, VillainSlots& slots);
  // The schedule of a saved level, after Start with the same level: false
  // (nothing changed) for a count that is neither the table's nor that of
  // wrapped waves, or a wave index outside the table while enabled.
  bool Restore(bool enabled, bool held, u32 index, u32 count, u32 timeToNext);
  // A free slot picked at random (the game's generator); -1 when all are taken.
  static i32 PickSlot(VillainSlots& slots);

  bool IsEnabled() const { return enabled_; }
  bool IsHeld() const { return held_; }
  void SetHeld(bool held) { held_ = held; }
  // Switched off by the developer's keys: no wave comes until switched on again.
  bool IsSwitchedOff() const { return switchedOff_; }
  void SetSwitchedOff(bool off) { switchedOff_ = off; }
  u32 GetIndex() const { return index_; }
  // The wave count the level keeps: the table's, or first repeating wave +
  // repeating length once the waves have wrapped.
  u32 GetCount() const { return count_; }
  u32 GetTimeToNext() const { return timeToNext_; }
  void SetTimeToNext(u32 ms) { timeToNext_ = ms; }  // the next wave sooner (a tutorial's)
  u32 GetSpawned() const { return spawned_; }  // villains brought in so far

 private:
  void Advance();

  const LEVELINFO* level_ = nullptr;
  bool enabled_ = false;
  bool held_ = false;
  bool switchedOff_ = false;
  u32 index_ = 0;
  u32 count_ = 0;
  u32 timeToNext_ = 0;
  u32 spawned_ = 0;
};

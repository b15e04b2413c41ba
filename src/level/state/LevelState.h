// LevelState - a level left unfinished, kept in the profile's saved-state
// buffer of its regime and level index, and brought back the next time the
// level is entered.
//
// The stream has no tags: it relies on its order, on position marks (a
// word holding its own write position) and on counts checked against the
// level's definition. In order: best building level; task count and
// counters; money (with what the queued jobs hold reserved); the player's
// record and jobs; the points (count; per point a mark, its 24-byte
// parameters, its state and damage); the stock; each point's extras; the
// villain waves (20, then 5 words); the shots; the villain slots; the six
// bonus slots (240, then 10 words each); the definition's check word; the
// award object's presence; then (after a mark) the tutorial. The buffer's
// header holds the regime, level index, level clock and chosen bonuses.
//
// Any mismatch fails the whole restore. A failed restore drops the saved
// level and clears what it built, so the level starts new with no trace of
// it. Accepted on reading: a stock product that is unknown is refused by
// the stock and skipped; waves that have wrapped; money and reservations
// above 99,999 together (the excess comes back once the jobs have taken
// their reservations again).
#pragma once

#include "base/Types.h"

namespace kis {
class DataCursor;
class SavedStateStore;
}  // namespace kis

class LevelCharacters;
class LevelMap;
class LevelRules;

constexpr u32 kWaveBlockTag = 20;
constexpr u32 kBonusBlockTag = 240;
constexpr u32 kPointHeaderSize = 24;
constexpr u32 kMaxSavedStock = 256;  // stock entries a saved level may hold

// What the villains keep in the saved level: their flying shots and the
// villain of each slot. The level objects library (the villains) will
// implement it; without one no shot and no villain is kept.
class LevelStateVillains {
 public:
  virtual ~LevelStateVillains() = default;
  // The shot count, then each shot's record; and reading them back.
  virtual bool SaveShots(kis::DataCursor* writer) = 0;
  virtual bool LoadShots(kis::DataCursor* reader) = 0;
  // Per villain slot: the villain kind id (0: none), then its record.
  virtual bool SaveVillain(u32 slot, kis::DataCursor* writer) = 0;
  // A villain of the kind (not 0) for the slot, reading its record.
  virtual bool LoadVillain(u32 slot, u32 kind, kis::DataCursor* reader) = 0;
};

// The scene's parts the saved level reads and writes; the villains are
// optional (see above). The tutorial kept is the running one
// (ResourceServices::tutorial, TutorialHooks.h): a running one that answers
// IsSaved is written; on reading, a level saved with one loads it into the
// one the build made, a level saved without one discards the build's, and
// after a good restore it starts its first step again.
struct LevelStateParts {
  LevelRules* rules = nullptr;
  LevelMap* map = nullptr;
  LevelCharacters* characters = nullptr;  // with the player
  LevelStateVillains* villains = nullptr;
};

// What the scene does around a restore: build the level anew (without its
// points, the player at her start) and clear it after a failure; the
// profile's store of saved levels and its saving.
class LevelStateHost {
 public:
  virtual ~LevelStateHost() = default;
  virtual LevelStateParts GetParts() = 0;
  virtual void RebuildLevel() = 0;
  virtual void ClearLevel() = 0;
  virtual kis::SavedStateStore* GetStore() = 0;
  virtual void SaveProfile() = 0;
};

// The stream's items up to the award object, and reading them back into a
// level just built (no points yet). False on the first failure.
bool WriteLevelState(const LevelStateParts& parts, kis::DataCursor* writer);
bool ReadLevelState(const LevelStateParts& parts, kis::DataCursor* reader);

// The level saved into the store (and the profile saved); false when it
// could not be written (the store keeps what it had).
bool SaveLevelState(LevelStateHost& host);
// The level brought back from the store; false when none is stored or it
// fails, the saved level then dropped and the level cleared.
bool LoadLevelState(LevelStateHost& host);

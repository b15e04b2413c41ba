// LevelProfile - what the running level needs of the current player's
// profile and the game's records: the award counters, the tutorials switch,
// the one-time message flags, the villains-in-a-row count, telling the game
// log a level was entered, and recording a won level (in the profile, then
// in the game log). The application's player profile (Profile) implements
// it; it is optional: without one nothing is counted or recorded.
#pragma once

#include "base/Types.h"

struct AWARDCOUNTERS;

// Profile flags of messages shown once.
constexpr u32 kProfileFlagWarehouseFull = 1;

// What a won level leaves behind, made by the profile and read by the
// result window and the game log (eleven 32-bit words).
struct LEVELRESULT {
  i32 level = -1;
  u32 flags = 0;  // 1 personal best, 2 best of all profiles, 4 an award, 8 the eighth level first, 16 a bonus unlocked, 32 every award
  i32 regime = 0;
  i32 limits[3] = {};  // bronze, silver, gold (ms)
  i32 previousState = 0;
  i32 grade = 0;
  u32 previousBest = 0;  // ms
  u32 time = 0;          // this run, ms
  i32 bonusId = 0;
};

class LevelProfile {
 public:
  virtual ~LevelProfile() = default;
  virtual AWARDCOUNTERS* GetAwardCounters() = 0;  // null: awards are not counted
  virtual bool AreTutorialsOn() const = 0;
  virtual bool HasFlags(u32 mask) const = 0;
  virtual void MarkShown(u32 flag) = 0;  // sets the flag and saves the profile
  virtual i32 GetVillainsInRow() const = 0;
  virtual void SetVillainsInRow(i32 n) = 0;
  // Records the level as won after `time` ms (grade, best time, unlocks),
  // filling the record.
  virtual void RecordLevelResult(i32 level, u32 time, LEVELRESULT* out) = 0;
  // Hands the record to the game log.
  virtual void LogLevelResult(const LEVELRESULT& record) = 0;
  // Marks the level's easter egg found; how many of the profile's eggs are.
  virtual i32 SetEasterEggFound(i32 level) = 0;
  // The level was entered (the game log then records its next result).
  virtual void BeginLevel(i32 /*level*/) {}
};

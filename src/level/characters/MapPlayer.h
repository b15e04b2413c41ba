// MapPlayer - the player character (the description named "girl"): the
// counters that feed her awards (pieces of work in a row, distance walked in
// units of 40) and the step aside after work, so she does not stand in
// front of what she made. A job that is not a walk runs only when the
// running tutorial allows it.
#pragma once

#include "level/characters/MapCharacter.h"

constexpr wchar kPlayerCharacterName[] = u"girl";
constexpr float kWalkUnit = 40.0f;   // map units of one walked unit
constexpr i32 kStepAside = 64;       // sideways after work, one row down
constexpr float kStepAsideLimit = 128.0f;

class MapPlayer : public MapCharacter {
 public:
  // Skin 0's idle animation in the last direction, at (x, y), standing on
  // the level; the level's base walk rate as her walk modifier (id 1); the
  // level's player unless it has one.
  MapPlayer(LevelCharacters& cast, float x, float y);
  ~MapPlayer() override = default;

  void OnIdle() override;         // the step aside after work
  void RunCurrentJob() override;  // the tutorial's leave first
  // Her counters after the common record; restored before her animation.
  void SaveState(u8* record) const override;
  void RestoreState() override;
  // Her jobs by id (1 to 12); a loader that refuses leaves its message in
  // the level's load-error text. An id outside that range is refused; the
  // level objects' jobs (2 to 9) are asked of the level's point classes.
  bool LoadJob(const u8* record, u32 size) override;

  void MarkWorking() { worked_ = 1; }
  // A rise is passed to the level as award record 4 (reported when asked).
  // The streak stops at the largest count rather than wrapping.
  void SetWorkStreak(i32 n, bool report);
  void AddWorkDone() { SetWorkStreak(streak_ < INT32_MAX ? streak_ + 1 : streak_, true); }
  // Only a rise is taken; its whole part beyond the profile's record is
  // passed to the level as award record 5.
  void SetWalked(float value, bool report);
  void AddWalked(float distance) { SetWalked(walked_ + distance / kWalkUnit, true); }

  i32 GetWorkStreak() const { return streak_; }
  float GetWalked() const { return walked_; }
  bool HasWorked() const { return worked_ != 0; }

 private:
  i32 streak_ = 0;
  float walked_ = 0.0f;
  u32 worked_ = 0;
};

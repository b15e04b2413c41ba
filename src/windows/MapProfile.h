// MapProfile - what the map's windows (the level window, the medals panel)
// read and change of the current player's profile: the mode, each level's
// state and best time, the bonuses owned and the ones chosen for the next
// level, the marker of a bonus newly unlocked, saved levels, the one-time
// flags and the tutorials switch; for the item descriptions, the player's
// name and award counters. The application's player profile
// (Profile) implements it and the profile store installs the current one
// (SetMapProfile, WindowServices::mapProfile); tests install a fake. Null:
// no profile is current.
#pragma once

#include "base/Types.h"
#include "content/ProfileProgress.h"

struct AWARDCOUNTERS;

// One-time flag: the bonus-choice tutorial has been offered.
constexpr u32 kProfileFlagBonusChoice = 4;

class MapProfile {
 public:
  virtual ~MapProfile() = default;
  virtual u32 GetRegime() const = 0;
  virtual u32 GetLevelState(u32 regime, u32 level) const = 0;
  // The current regime's level; nothing outside the table.
  virtual void SetLevelState(u32 level, u32 state) = 0;
  virtual u32 GetBestTime(u32 regime, u32 level) const = 0;
  virtual const BONUSSELECTION& GetBonusSelection(u32 regime) const = 0;
  virtual void SetBonusSelection(u32 regime, const BONUSSELECTION& selection) = 0;
  // How many bonuses the current regime owns, their indices into `out`.
  virtual u32 ListBonuses(i32* out) const = 0;
  virtual u32 CountMedals(u32 regime, u32* counts) const = 0;
  virtual bool HasSavedLevel(i32 level) const = 0;
  // The bonus last unlocked and not yet presented (-1: none), cleared.
  virtual i32 TakeNewBonusMarker() = 0;
  virtual bool AreTutorialsOn() const = 0;
  virtual void SetTutorials(bool on) = 0;  // not saved
  virtual bool HasFlags(u32 mask) const = 0;
  virtual void MarkShown(u32 mask) = 0;  // saved when a flag was not set yet
  virtual void SaveProfile() = 0;
  virtual const wchar* GetName() const { return u""; }
  virtual AWARDCOUNTERS* GetAwardCounters() { return nullptr; }  // null: none kept
  // The map's interface: the regime switched (0 or 1, saved when it changes),
  // how often the profile has been made current, and whether the Hard regime
  // is open (the eighth level finished once).
  virtual void SetRegime(u32 /*regime*/) {}
  virtual u32 GetOpenCount() const { return 0; }
  virtual bool IsHardUnlocked() const { return false; }
};

MapProfile* GetMapProfile();
void SetMapProfile(MapProfile* profile);

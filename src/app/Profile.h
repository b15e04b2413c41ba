// Profile - one player: name, key and use (the header), progress through
// the 41 levels of both regimes with bonuses, awards, message flags, easter
// eggs and play time (PROFILEPROGRESS), and the saved state of each level
// left unfinished. It is what the running level sees of the player
// (LevelProfile), the store of its saved levels (kis::SavedStateStore) and
// the saver of them (ProfileSaver); the game installs the current profile
// in the level's hooks.
//
// Every profile lives in a ProfileStore, which reads, writes, selects and
// deletes it. The saved levels are read when the profile becomes current
// and dropped when another does. A profile is saved after every recorded
// result, regime change and newly shown message, and when it is closed as
// the current one (its destructor, at the latest when the store goes).
#pragma once

#include <string>
#include <string_view>

#include "app/ProfileFiles.h"
#include "base/SavedStateStore.h"
#include "level/rules/LevelProfile.h"
#include "level/state/GameLevelSaves.h"
#include "windows/AwardsWindow.h"
#include "windows/MapProfile.h"

class ProfileStore;

class Profile final : public LevelProfile,
                      public MapProfile,
                      public AwardsProfile,
                      public kis::SavedStateStore,
                      public ProfileSaver {
 public:
  explicit Profile(ProfileStore* store);
  ~Profile() override;  // closes: the current profile writes its summary and is saved
  Profile(const Profile&) = delete;
  Profile& operator=(const Profile&) = delete;

  // --- Identity ---------------------------------------------------------------------
  const wchar* GetName() const override { return header_.name; }
  void SetName(std::u16string_view name);  // the first 16 characters
  const u8* GetKey() const { return header_.key; }
  i32 GetNumber() const { return number_; }                // -1 until it has a file
  const std::u16string& GetPath() const { return path_; }  // empty until it has a file
  const PROFILEHEADER& GetHeader() const { return header_; }
  std::u16string GetFolder() const;  // the store's profiles folder
  // Last used now; the store sorts it among the others.
  void Touch();

  // --- Progress -------------------------------------------------------------------
  const PROFILEPROGRESS& GetProgress() const { return progress_; }
  // The store's defaults; every saved level dropped.
  void ResetProgress();
  u32 GetRegime() const override { return progress_.regime; }
  void SetRegime(u32 regime) override;             // 0 or 1; saved when it changes
  u32 GetOpenCount() const override { return header_.openCount; }
  bool IsHardUnlocked() const override { return progress_.eighthLevel != 0; }
  u32 GetLevelState(u32 regime, u32 level) const override;  // 0 outside the table
  void SetLevelState(u32 level, u32 state) override;
  u32 GetBestTime(u32 regime, u32 level) const override;
  // The bonuses chosen for the regime's next level; stored sanitized.
  const BONUSSELECTION& GetBonusSelection(u32 regime) const override { return progress_.selection[regime & 1]; }
  void SetBonusSelection(u32 regime, const BONUSSELECTION& selection) override;
  void AddPlayTime(u32 ms);  // saturates
  bool IsEasterEggFound(i32 level) const;

  // Bonuses of the current regime: owned (false outside 0..5), how many are
  // owned (their indices into `out` when given), and a new one: false
  // outside 0..5 or when owned; else owned, appended to the new bonuses (a
  // fourth replaces the third) and to the regime's bonus selection while it
  // has a free slot.
  bool HasBonus(i32 bonus) const;
  u32 ListBonuses(i32* out) const override;
  // The marker of the bonus last unlocked (its index + 1 in the top byte of
  // the regime block's first word), read and cleared.
  i32 TakeNewBonusMarker() override;
  bool UnlockBonus(i32 bonus);

  // Medals (state 4 and up) of a regime, with bronze, silver and gold
  // counts when asked; finished levels (state 3 and up); gold over both.
  u32 CountMedals(u32 regime, u32* counts = nullptr) const override;
  u32 CountFinished(u32 regime) const;
  u32 CountGold() const;

  // Saved levels of the current regime.
  kis::DataBuffer* GetSavedLevel(i32 level) const;
  bool HasSavedLevel(i32 level) const override { return GetSavedLevel(level) != nullptr; }
  void DropSavedLevel(i32 level);

  // A result without a played level (the grade bronze, no time): every
  // step of a recorded result but the time's.
  void RecordUnplayedResult(i32 level, LEVELRESULT* out);

  // --- LevelProfile ---------------------------------------------------------------
  AWARDCOUNTERS* GetAwardCounters() override { return &progress_.awards; }
  // The award values the awards window showed last, kept in the profile's
  // file: what was won since the window last opened animates there, also
  // after the game has been restarted.
  AWARDCOUNTERS* GetShownAwards() override { return &shownAwards_; }
  bool AreTutorialsOn() const override { return progress_.tutorialsOn != 0; }
  void SetTutorials(bool on) override { progress_.tutorialsOn = on ? 1 : 0; }
  bool HasFlags(u32 mask) const override { return (progress_.shownFlags & mask) == mask; }
  void MarkShown(u32 mask) override;  // saved when a flag was not set yet
  i32 GetVillainsInRow() const override { return progress_.villainsInRow; }
  void SetVillainsInRow(i32 n) override { progress_.villainsInRow = n; }
  // The level won after `time` ms (0 counts as 1): in order, the map told
  // of the level, the next level opened (and the next group shown when it
  // was hidden), the grade and best times (the profile's, all profiles'),
  // the level's bonus, the gold-medal award, the eighth-level flag, the map
  // given the record; the level's saved state dropped, the profile saved.
  void RecordLevelResult(i32 level, u32 time, LEVELRESULT* out) override;
  void LogLevelResult(const LEVELRESULT& record) override;  // the records files
  i32 SetEasterEggFound(i32 level) override;
  void BeginLevel(i32 level) override;

  // --- Saved levels (SavedStateStore, ProfileSaver) -----------------------------------------
  kis::DataBuffer** Slot(u32 regime, u32 level) override;
  void SaveProfile() override;

 private:
  friend class ProfileStore;

  void Record(i32 level, const u32* time, LEVELRESULT* out);
  REGIMEPROGRESS& Current() { return progress_.regimes[progress_.regime & 1]; }
  const REGIMEPROGRESS& Current() const { return progress_.regimes[progress_.regime & 1]; }

  ProfileStore* store_;
  PROFILEHEADER header_;
  PROFILEPROGRESS progress_;
  AWARDCOUNTERS shownAwards_{};
  i32 number_ = -1;
  std::u16string path_;
  SavedLevels saved_ = {};
  bool levelsRead_ = false;  // the saved levels were read from the file (or it has none yet)
};

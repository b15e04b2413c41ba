// The map windows' profile as the tests set it up: the mode, each level's
// state and best time, the bonuses owned (the first `owned`) and chosen,
// the medal counts, a saved game, the new-bonus marker, the one-time flags
// and the tutorials switch, the name and award counters; saving is counted.
#pragma once

#include <utility>

#include <string>

#include "content/AwardTable.h"
#include "windows/MapProfile.h"

namespace windowstest {

class FakeMapProfile : public MapProfile {
 public:
  FakeMapProfile() {
    for (auto& r : levels)
      for (LEVELPROGRESS& l : r) l = {0, 0};
    selection[0] = selection[1] = BONUSSELECTION{0, {-1, -1, -1}};
  }
  u32 GetRegime() const override { return regime; }
  u32 GetLevelState(u32 r, u32 level) const override { return levels[r & 1][level % kLevelCount].state; }
  void SetLevelState(u32 level, u32 state) override { levels[regime][level % kLevelCount].state = state; }
  u32 GetBestTime(u32 r, u32 level) const override { return levels[r & 1][level % kLevelCount].bestTime; }
  const BONUSSELECTION& GetBonusSelection(u32 r) const override { return selection[r & 1]; }
  void SetBonusSelection(u32 r, const BONUSSELECTION& s) override { selection[r & 1] = s; }
  u32 ListBonuses(i32* out) const override {
    for (u32 i = 0; i < owned; ++i) out[i] = static_cast<i32>(i);
    return owned;
  }
  u32 CountMedals(u32, u32* counts) const override {
    for (u32 i = 0; i < 3; ++i) counts[i] = medals[i];
    return medals[0] + medals[1] + medals[2];
  }
  bool HasSavedLevel(i32) const override { return saved; }
  i32 TakeNewBonusMarker() override { return std::exchange(marker, -1); }
  bool AreTutorialsOn() const override { return tutorials; }
  void SetTutorials(bool on) override { tutorials = on; }
  bool HasFlags(u32 mask) const override { return (flags & mask) == mask; }
  void MarkShown(u32 mask) override { flags |= mask; }
  void SaveProfile() override { ++saves; }
  const wchar* GetName() const override { return name.c_str(); }
  AWARDCOUNTERS* GetAwardCounters() override { return &awards; }

  u32 regime = 0;
  LEVELPROGRESS levels[2][kLevelCount];
  BONUSSELECTION selection[2];
  u32 owned = 0;
  u32 medals[3] = {};
  bool saved = false;
  i32 marker = -1;
  bool tutorials = true;
  u32 flags = 0;
  i32 saves = 0;
  std::u16string name = u"Mira";
  AWARDCOUNTERS awards;
};

}  // namespace windowstest

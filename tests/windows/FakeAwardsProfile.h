// The awards window's profile as the tests set it up: the current and the
// shown award sets; saving is counted.
#pragma once

#include "content/AwardTable.h"
#include "windows/AwardsWindow.h"

namespace windowstest {

class FakeAwardsProfile : public AwardsProfile {
 public:
  AWARDCOUNTERS* GetAwardCounters() override { return &current; }
  AWARDCOUNTERS* GetShownAwards() override { return &shown; }
  void SaveProfile() override { ++saves; }
  AWARDCOUNTERS current, shown;
  i32 saves = 0;
};

}  // namespace windowstest

// A won level recorded in the profile, step by step: the next level and the
// next group, the grade and best times, the bonus, the gold award, the
// eighth level, the map told before and after, the saved state dropped and
// the profile saved.
#include <gtest/gtest.h>

#include "ProfileRig.h"
#include "testsupport/ByteBuilder.h"

namespace profiletest {
namespace {

struct Results : ::testing::Test {
  Results() : s(dir), awards(dir) {
    ann = s.Create(u"Ann");
    s.store.SelectProfile(ann);
  }
  LEVELRESULT Record(i32 level, u32 time) {
    LEVELRESULT r;
    ann->RecordLevelResult(level, time, &r);
    return r;
  }
  u32 State(u32 level) const { return ann->GetLevelState(ann->GetRegime(), level); }
  TempFolder dir;
  Store s;
  Awards awards;
  GameLevels levels;
  Profile* ann = nullptr;
};

// Level 5 is hidden until level 4 (group 1) is finished: its group (2) is
// shown then. Level 4 itself opens whenever it is below 2.
TEST_F(Results, TheNextLevelOpensAndItsGroupIsShownOnlyWhenItWasHidden) {
  Record(0, 30000);
  EXPECT_EQ(State(0), 5u);  // silver: above gold, not above silver
  EXPECT_EQ(State(1), kLevelOpen);
  EXPECT_EQ(State(4), kLevelShown);  // group 1 shown, since level 1 was hidden
  EXPECT_EQ(State(7), kLevelShown);
  EXPECT_EQ(State(8), kLevelHidden);
  EXPECT_EQ(State(3), kLevelHidden);  // group 0 is level 0's own

  // Level 3's successor (4) was shown, not hidden: it opens, group 2 stays.
  Record(3, 30000);
  EXPECT_EQ(State(4), kLevelOpen);
  EXPECT_EQ(State(8), kLevelHidden);
  // A finished successor stays as it is.
  Record(2, 30000);
  EXPECT_EQ(State(3), 5u);

  // Index 39 opens index 40; index 40 opens nothing.
  Record(39, 30000);
  EXPECT_EQ(State(40), kLevelOpen);
  const LEVELRESULT last = Record(40, 30000);
  EXPECT_EQ(last.level, 40);
  EXPECT_EQ(State(40), 5u);
  EXPECT_EQ(ann->GetLevelState(1, 1), kLevelHidden);  // the other regime untouched
}

TEST_F(Results, GradesAndBestTimes) {
  LEVELRESULT r = Record(1, 0);  // 0 ms counts as 1
  EXPECT_EQ(r.time, 1u);
  EXPECT_EQ(r.grade, kGradeGold);
  EXPECT_EQ(r.flags & 3, 3u);  // personal and all-profile best
  EXPECT_EQ(ann->GetBestTime(0, 1), 1u);
  EXPECT_EQ(r.limits[0], 60000);
  EXPECT_EQ(r.limits[2], 20000);

  // Easy: never below bronze. A slower run keeps the best time and flag
  // bit 0 clear, but raises the state.
  EXPECT_EQ(Record(2, 70000).grade, kGradeBronze);
  EXPECT_EQ(Record(2, 50000).flags & 1, 1u);
  r = Record(2, 20000);  // exactly the gold limit
  EXPECT_EQ(r.previousState, kGradeBronze);
  EXPECT_EQ(State(2), static_cast<u32>(kGradeGold));
  EXPECT_EQ(Record(2, 20000).flags & 1, 0u);  // equal to the best is no new best
  r = Record(2, 55000);
  EXPECT_EQ(r.flags & 3, 0u);
  EXPECT_EQ(r.previousBest, 20000u);
  EXPECT_EQ(State(2), static_cast<u32>(kGradeGold));
  EXPECT_EQ(ann->GetBestTime(0, 2), 20000u);
  ann->SetRegime(1);
  EXPECT_EQ(Record(2, 55000).flags & 3, 1u);  // slower than the easy record: the profile's only
  EXPECT_EQ(State(2), static_cast<u32>(kGradeBronze));
  r = Record(2, 30000);
  EXPECT_EQ(r.flags & 1, 1u);
  EXPECT_EQ(State(2), 5u);

  // Hard: above the bronze limit only finished.
  r = Record(1, 60001);
  EXPECT_EQ(r.regime, 1);
  EXPECT_EQ(r.grade, kGradeFinished);
  EXPECT_EQ(ann->GetLevelState(1, 1), static_cast<u32>(kGradeFinished));
  EXPECT_EQ(r.flags & 2, 0u);  // the easy 1 ms is everyone's best

  // Without a played level: bronze, no time, nothing for the best times.
  ann->RecordUnplayedResult(5, &r);
  EXPECT_EQ(r.grade, kGradeBronze);
  EXPECT_EQ(r.time, 0u);
  EXPECT_EQ(ann->GetBestTime(1, 5), 0u);
  EXPECT_EQ(s.store.GetBestTime(5).time, 0u);

  // A level outside the table records nothing.
  ann->RecordLevelResult(41, 100, &r);
  EXPECT_EQ(r.level, -1);
  EXPECT_EQ(s.listener.remembered.size(), 10u);

  // Another profile's equal time leaves the record with Ann, "profiles.dat" unwritten.
  s.store.SelectProfile(s.Create(u"Ben"));
  const std::string index = dir.Read("profiles/profiles.dat");
  s.store.GetCurrent()->RecordLevelResult(1, 1, &r);
  EXPECT_EQ(r.flags & 3, 1u);
  EXPECT_TRUE(dir.Read("profiles/profiles.dat") == index) << "profiles.dat written again";
}

TEST_F(Results, BonusesAwardsAndTheEighthLevel) {
  // Bonus ids -1 (level 9) and 6 (level 16) unlock nothing; 11 gives bonus 1.
  LEVELRESULT r = Record(9, 30000);
  EXPECT_EQ(r.bonusId, -1);
  EXPECT_EQ(r.flags & 16, 0u);
  r = Record(16, 30000);
  EXPECT_EQ(r.bonusId, 6);
  EXPECT_EQ(r.flags & 16, 0u);
  EXPECT_EQ(ann->ListBonuses(nullptr), 0u);
  r = Record(11, 30000);
  EXPECT_EQ(r.flags & 16, 16u);
  EXPECT_TRUE(ann->HasBonus(1));
  EXPECT_FALSE(ann->HasBonus(-1));
  EXPECT_EQ(ann->GetProgress().regimes[0].marker >> 24, 2u);
  EXPECT_EQ(Record(11, 30000).flags & 16, 0u);              // owned already
  for (i32 level : {14, 12, 10, 15}) Record(level, 30000);  // bonuses 4, 2, 0, 5
  i32 owned[6];
  EXPECT_EQ(ann->ListBonuses(owned), 5u);
  EXPECT_EQ(owned[4], 5);
  const REGIMEPROGRESS& easy = ann->GetProgress().regimes[0];
  EXPECT_EQ(easy.newCount, 3u);
  EXPECT_EQ(easy.newBonuses[2], 5);  // a fourth new one replaces the third
  EXPECT_EQ(easy.marker >> 24, 6u);
  // New bonuses fill the regime's free slots in their order; a full
  // selection stays as it was. A hole left by a removed bonus is filled.
  const BONUSSELECTION& chosen = ann->GetBonusSelection(0);
  EXPECT_EQ(chosen.count, 3u);
  EXPECT_EQ(chosen.slots[0], 1);
  EXPECT_EQ(chosen.slots[1], 4);
  EXPECT_EQ(chosen.slots[2], 2);
  EXPECT_EQ(ann->GetBonusSelection(1).count, 0u);
  ann->SetBonusSelection(0, BONUSSELECTION{2, {-1, 4, -1}});
  ann->SetRegime(1);
  Record(11, 30000);
  EXPECT_EQ(ann->GetBonusSelection(1).count, 1u);  // the hard regime's own
  EXPECT_EQ(ann->GetBonusSelection(0).slots[0], -1);
  ann->SetRegime(0);
  Record(13, 30000);  // bonus 3
  EXPECT_EQ(ann->GetBonusSelection(0).count, 2u);
  EXPECT_EQ(ann->GetBonusSelection(0).slots[0], 3);

  // The gold medals' award at 2 golds: once; the final award is not complete.
  EXPECT_EQ(Record(20, 19000).flags & 4, 0u);
  EXPECT_EQ(Record(21, 19000).flags & 4, 4u);
  EXPECT_EQ(Record(22, 19000).flags & 4, 0u);
  EXPECT_EQ(ann->GetProgress().awards.records[1], 3);
  EXPECT_EQ(ann->CountGold(), 3u);

  // The eighth level's flag: once, in either regime.
  EXPECT_EQ(Record(7, 30000).flags & 8, 8u);
  EXPECT_EQ(Record(7, 30000).flags & 8, 0u);
  ann->SetRegime(1);
  EXPECT_EQ(Record(7, 30000).flags & 8, 0u);
  EXPECT_EQ(ann->GetProgress().eighthLevel, 1u);
  u32 medals[3];
  EXPECT_EQ(ann->CountMedals(0, medals), 12u);  // with level 13's of the selection's check
  EXPECT_EQ(medals[2], 3u);
  EXPECT_EQ(ann->CountFinished(1), 2u);  // with level 11's
}

// The map hears of the level before the profile changes and gets the record
// after; the level's saved state is dropped and the profile saved.
TEST_F(Results, TheMapIsToldBeforeAndAfterAndTheSavedStateGoes) {
  *ann->Slot(0, 0) = SavedState(0, 0, 1);
  *ann->Slot(1, 0) = SavedState(1, 0, 2);
  const std::vector<u8> before = testsupport::ReadFileBytes(plat::Utf16ToUtf8(ann->GetPath()));
  const LEVELRESULT r = Record(0, 30000);
  ASSERT_EQ(s.listener.remembered, std::vector<i32>{0});
  EXPECT_EQ(s.listener.statesBefore[0], kLevelHidden);
  EXPECT_EQ(s.listener.statesAfter[0], kLevelOpen);
  ASSERT_EQ(s.listener.results.size(), 1u);
  EXPECT_EQ(s.listener.results[0].grade, r.grade);
  EXPECT_EQ(s.listener.results[0].time, 30000u);
  EXPECT_FALSE(ann->HasSavedLevel(0));
  EXPECT_NE(*ann->Slot(1, 0), nullptr);  // the other regime's stays
  EXPECT_NE(testsupport::ReadFileBytes(plat::Utf16ToUtf8(ann->GetPath())), before);
  PROFILEHEADER header;
  PROFILEPROGRESS saved;
  ASSERT_TRUE(ReadProfileFile(ann->GetPath(), &header, &saved));
  EXPECT_EQ(saved.regimes[0].levels[0].bestTime, 30000u);
}

}  // namespace
}  // namespace profiletest

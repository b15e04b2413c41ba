#include <gtest/gtest.h>

#include <climits>
#include <tuple>
#include <vector>

#include "ContentSamples.h"
#include "content/ContentServices.h"
#include "resources/Sprite.h"

using namespace contenttest;

namespace {

// Tiered award 0 "wheat": tiers 10, 50, 100; award i's tier 3 is 100 + i.
// Record award i: threshold 50 + i.
struct Awards {
  ContentRig rig;
  AwardTable table;
  Awards() {
    TIEREDAWARD tiered[kTieredAwardCount];
    RECORDAWARD records[kRecordAwardCount];
    SampleAwards(tiered, records);
    EXPECT_TRUE(rig.WriteData({{kAwardSectionId, kAwardSectionSubId, AwardSection(tiered, records)}}));
    EXPECT_EQ(rig.Read([&](auto* r, SectionCursor* c) { return table.ReadSection(r, c); }).error, 0u);
  }
};

struct RecordedNotices : AwardNotices {
  void ShowAward(i32 kind, u32 index, i32 tier) override { shown.emplace_back(kind, index, tier); }
  std::vector<std::tuple<i32, u32, i32>> shown;
};

}  // namespace

TEST(AwardTable, TiersAndRecordsReportACrossingOnceAndNeverOverflow) {
  Awards a;
  const AwardTable& t = a.table;
  EXPECT_EQ(t.GetTier(0, 9), 0);
  EXPECT_EQ(t.GetTier(0, 10), 1);
  EXPECT_EQ(t.GetTier(0, 49), 1);
  EXPECT_EQ(t.GetTier(0, 50), 2);
  EXPECT_EQ(t.GetTier(0, 100), 3);
  EXPECT_EQ(t.GetTier(3, 102), 2);
  EXPECT_EQ(t.GetTier(9, 1000), 0);

  AWARDCOUNTERS c;
  // From below tier 1 straight past tier 2: tier 2 once, no tier 1.
  EXPECT_EQ(t.AddProgress(c, 0, 5), 0);
  EXPECT_EQ(t.AddProgress(c, 0, 50), 2);
  EXPECT_EQ(t.AddProgress(c, 0, 1), 0);
  EXPECT_EQ(t.AddProgress(c, 0, INT_MAX), 3);
  EXPECT_EQ(c.tiered[0], INT_MAX);
  EXPECT_EQ(t.AddProgress(c, 0, 1), 0);
  EXPECT_EQ(c.tiered[0], INT_MAX);

  // Record 0 (threshold 50) set: 40, then 60 crosses, 70 does not, 30 changes nothing.
  EXPECT_FALSE(t.RaiseRecord(c, 0, 40, false));
  EXPECT_TRUE(t.RaiseRecord(c, 0, 60, false));
  EXPECT_FALSE(t.RaiseRecord(c, 0, 70, false));
  EXPECT_FALSE(t.RaiseRecord(c, 0, 30, false));
  EXPECT_EQ(c.records[0], 70);
  // Record 7 (money, threshold 57) added up; adding saturates.
  EXPECT_FALSE(t.RaiseRecord(c, kAwardRecordMoney, 30, true));
  EXPECT_TRUE(t.RaiseRecord(c, kAwardRecordMoney, 30, true));
  EXPECT_FALSE(t.RaiseRecord(c, kAwardRecordMoney, INT_MAX, true));
  EXPECT_EQ(c.records[kAwardRecordMoney], INT_MAX);
  EXPECT_FALSE(t.RaiseRecord(c, kAwardRecordMoney, 1, true));
  EXPECT_FALSE(t.RaiseRecord(c, kRecordAwardCount, 100, false));
}

TEST(AwardTable, TheFinalAwardIsGivenOnceWithItsNoticeAndEveryCrossingShowsOne) {
  Awards a;
  AWARDCOUNTERS c;
  RecordedNotices notices;
  AwardProgress progress(&a.table, &c, &notices);
  progress.RaiseRecord(1, 60, false, false);  // crossed, but no notice asked
  progress.RaiseRecord(2, 60, false, true);
  progress.AddProgress(4, 12);
  progress.AddProgress(4, 1);
  EXPECT_EQ(notices.shown, (std::vector<std::tuple<i32, u32, i32>>{{1, 2, 1}, {0, 4, 1}}));
  for (u32 i = 0; i < kTieredAwardCount; ++i) c.tiered[i] = 100 + static_cast<i32>(i) - (i == 8);
  for (u32 i = 0; i < kRecordAwardCount; ++i) c.records[i] = 50 + static_cast<i32>(i);
  EXPECT_FALSE(a.table.CheckFinal(c));  // award 8 is one short of tier 3
  notices.shown.clear();
  progress.AddProgress(8, 1);
  progress.CheckFinal(true);
  progress.RaiseRecord(3, 1000, false, true);
  EXPECT_EQ(notices.shown, (std::vector<std::tuple<i32, u32, i32>>{{0, 8, 3}, {2, 0, 0}}));
  EXPECT_EQ(c.finalGiven, 1);
  EXPECT_FALSE(a.table.CheckFinal(c));
}

TEST(AwardTable, IconsAreFoundByNameInTheAwardSet) {
  Awards a;
  EXPECT_EQ(a.table.GetTiered(0).icon, nullptr);
  a.table.LoadIcons();
  const Sprite* icon = a.table.GetTiered(0).icon;
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(std::u16string(icon->GetName()), u"aw_wheat");
  EXPECT_EQ(a.table.GetRecord(0).icon, icon);
  EXPECT_EQ(a.table.GetRecord(7).icon, nullptr);  // "nobody"
  ASSERT_NE(a.table.GetTotalPicture(), nullptr);
  EXPECT_EQ(std::u16string(a.table.GetTotalIcon()->GetName()), u"ico_total");
  EXPECT_EQ(a.table.FindTieredByName(u"WHEAT"), 0);
  EXPECT_EQ(a.table.FindTieredByName(u""), -1);
  // A table is the game's only once installed in the services.
  EXPECT_EQ(GetAwardTable(), nullptr);
  GetContentServices().awards = &a.table;
  EXPECT_EQ(GetAwardTable(), &a.table);
  GetContentServices().awards = nullptr;
}

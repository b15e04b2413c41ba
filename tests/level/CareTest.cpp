// Toxic damage and the player's point jobs: garbage cleared through the
// clearing jobs to the won level, damage with its puffs and line, the
// repair's extra countdown, a pull-down, and the repair arrow.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "level/characters/Job_Pulldown.h"
#include "level/rules/LevelTasks.h"
#include "CareRig.h"

namespace leveltest {
namespace {

std::vector<POINTDEF> TwoHeaps() { return {MapRig::Garbage(kJunk, 100, 300, 300), MapRig::Garbage(kJunk, 100, 900, 300)}; }
POINTDEF Warehouse(i32 x, i32 y) { return POINTDEF{1, 1, 0, 0, {0, 0}, x, y, 0}; }

Job* JobOf(PointJob* job) { return dynamic_cast<Job*>(job); }

TEST(Care, GarbageClearedThroughClearJobsWinsWithTheClocksMedal) {
  CareRig rig;
  rig.level.SetTasks(0, {{kTaskCleanPlaces, 0, 0, 2}});
  rig.Build(TwoHeaps());
  LevelRules& rules = *rig.level.rules;
  rules.StartPlay();
  ASSERT_EQ(rules.Money().Get(), 300);
  EXPECT_EQ(rules.Tasks().GetProgress(0), 0);

  // Both clear buttons clicked: the prices are reserved, the buttons go.
  rig.Click(rig.Place(0)->GetClearButton());
  rig.Click(rig.Place(1)->GetClearButton());
  EXPECT_EQ(rules.Money().Get(), 100);
  EXPECT_EQ(rig.characters->Paths().GetReserved(), 200);
  Job* first = JobOf(rig.Place(0)->GetClearJob());
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->GetJobId(), kJobClear);
  EXPECT_EQ(first->GetCost(), 100);
  EXPECT_EQ(rig.player->GetJobs().GetCount(), 2);
  EXPECT_EQ(rig.Place(0)->GetClearButton(), nullptr);
  EXPECT_EQ(std::count(rig.level.log.begin(), rig.level.log.end(), "tutorial 80000004 10"), 2)
      << "the tutorial hears of each clearing job";

  // She walks to 65 below the place, then works "girl_build" for the heap's 3,000 ms.
  i32 working = 0;
  const i32 ticks = rig.TickUntil([&] {
    if (rig.player->GetCurrentJob() == first && first->GetState() == kJobAnimating &&
        Narrow(rig.player->GetAnimationName()) == "girl_build")
      ++working;
    return rig.Place(0)->GetGarbage() == nullptr;
  });
  ASSERT_GT(ticks, 0);
  EXPECT_NEAR(rig.player->GetX(), 300.0f, 2.0f);
  EXPECT_NEAR(rig.player->GetY(), 365.0f, 2.0f);
  EXPECT_NEAR(working, 300, 1);
  EXPECT_EQ(rig.level.profile.counters.tiered[kAwardGarbageCleared], 1);
  EXPECT_EQ(rules.Tasks().GetProgress(0), 1);
  EXPECT_EQ(rules.Money().Get(), 100);  // the money stays spent
  EXPECT_EQ(rig.characters->Paths().GetReserved(), 100);
  EXPECT_EQ(rig.Place(0)->GetClearJob(), nullptr);
  EXPECT_EQ(rig.Place(0)->GetClearButton(), nullptr);  // a clean place offers no clearing
  // The job ended in its own update and left with it: her queue and the
  // place's job list let it go in that same tick.
  EXPECT_EQ(rig.player->GetJobs().GetCount(), 1);
  EXPECT_EQ(rig.Place(0)->GetJobs().GetCount(), 0);

  // The second heap: the task is met and the level won 1,000 ms later.
  ASSERT_GT(rig.TickUntil([&] { return rig.Place(1)->GetGarbage() == nullptr; }), 0);
  EXPECT_EQ(rig.level.profile.counters.tiered[kAwardGarbageCleared], 2);
  EXPECT_EQ(rules.Tasks().GetResult(), kResultWon);
  EXPECT_EQ(rules.Tasks().GetResultShown(), kResultNone);
  const u32 metAt = rules.Clock().GetTime();
  rig.Tick(99);
  EXPECT_EQ(rules.Tasks().GetResultShown(), kResultNone);
  rig.Tick(1);
  EXPECT_EQ(rules.Tasks().GetResultShown(), kResultWon);
  EXPECT_EQ(rules.Clock().GetTime(), metAt);  // the clock stood during the delay
  char record[40];
  std::snprintf(record, sizeof record, "record 0 at %u", metAt);
  EXPECT_NE(std::find(rig.level.log.begin(), rig.level.log.end(), record), rig.level.log.end());
  EXPECT_EQ(rules.Clock().GetMedal(), metAt <= 60000 ? kGradeGold : kGradeSilver);
  EXPECT_EQ(rules.Tasks().GetResultRecord().time, metAt);
}

TEST(Care, ClearingCancelledGivesTheMoneyBackAndTheButton) {
  CareRig rig;
  rig.Build(TwoHeaps());
  rig.level.rules->Money().Set(150);
  rig.Click(rig.Place(0)->GetClearButton());
  rig.Click(rig.Place(1)->GetClearButton());  // money short of the price: nothing starts
  EXPECT_EQ(rig.level.rules->Money().Get(), 50);
  EXPECT_EQ(rig.Place(1)->GetClearJob(), nullptr);
  rig.Tick(5);
  ASSERT_TRUE(JobOf(rig.Place(0)->GetClearJob())->Finish());
  EXPECT_EQ(rig.level.rules->Money().Get(), 150);
  EXPECT_EQ(rig.characters->Paths().GetReserved(), 0);
  EXPECT_EQ(rig.Place(0)->GetClearJob(), nullptr);
  EXPECT_NE(rig.Place(0)->GetClearButton(), nullptr);
  rig.Tick(2);
  EXPECT_EQ(rig.player->GetJobs().GetCount(), 0);
  EXPECT_NE(rig.Place(0)->GetGarbage(), nullptr);
}

TEST(Care, DamagePuffsLineAndTheRepairsExtraCountdown) {
  CareRig rig;
  rig.Build({Warehouse(640, 300)});
  BaseLevelPoint* point = rig.map->GetPoint(0);
  const DAMAGESOURCE shortHit{kVillain, 100};
  const size_t from = rig.Mark();
  AddDamage(*rig.map, 0, &shortHit, false);
  PointDamage* damage = GetPointDamage(point);
  ASSERT_NE(damage, nullptr);
  EXPECT_EQ(damage->GetPuffLifetime(), 400u);
  EXPECT_EQ(damage->GetTotal(), 400u);  // raised to one run of the gas
  EXPECT_EQ(damage->GetRemaining(), 400u);
  EXPECT_EQ(damage->GetPuffCount(), 1u);
  EXPECT_NE(damage->GetPuddle(), nullptr);
  EXPECT_EQ(rig.Since(from), Log{});
  EXPECT_EQ(Describe(damage->GetLine()), "line at 640,300 width 64 mode 0");
  EXPECT_EQ(Showing(damage->GetLine()), "show line at once");
  EXPECT_TRUE(damage->GetLine()->GetKeepSize()) << "its pixel size while the view is zoomed out";
  EXPECT_EQ(Describe(point->GetRepairArrow()),
            "arrow button 52657061 icon_btn_toxic toxic_arrow particle 3.5 ffff0000 at 640,300");
  EXPECT_EQ(Showing(point->GetRepairArrow()), "show arrow at once");
  EXPECT_EQ(rig.level.hudList.Sprites().GetCount(), 2);

  // A longer second hit raises the total: the line starts again from 100 %.
  rig.villains.source.damageTime = 20000;
  AddDamage(*rig.map, 0, &rig.villains.source, true);
  EXPECT_EQ(damage->GetTotal(), 20000u);
  EXPECT_EQ(damage->GetPuffCount(), 2u);
  EXPECT_FLOAT_EQ(damage->GetLine()->GetProgress(), 100.0f);
  // Puffs come every 40 ms and live 400 ms: never more than ten.
  u32 most = 0;
  for (i32 i = 0; i < 60; ++i) {
    rig.Tick();
    most = std::max(most, damage->GetPuffCount());
    ASSERT_LE(damage->GetPuffCount(), kMaxPuffs);
  }
  EXPECT_EQ(most, kMaxPuffs);
  EXPECT_EQ(damage->GetRemaining(), 19400u);  // 600 ms of wearing off
  EXPECT_FLOAT_EQ(damage->GetLine()->GetProgress(), 97.0f);
  EXPECT_EQ(point->Update(30), 0u);  // the damage takes the point's time

  // The repair: the arrow goes, she walks there and works; each tick of
  // work takes 40 ms more off the damage than the 10 ms it wears off.
  ASSERT_NE(point->GetRepairArrow(), nullptr);
  ASSERT_EQ(rig.Click(point->GetRepairArrow()), kScreenClickSound);
  EXPECT_EQ(point->GetRepairArrow(), nullptr);
  auto* repair = dynamic_cast<Job_Repair*>(point->GetRepairJob());
  ASSERT_NE(repair, nullptr);
  ASSERT_GT(rig.TickUntil([&] { return repair->GetState() == kJobAnimating &&
                                        Narrow(rig.player->GetAnimationName()) == "girl_repair"; }),
            0);
  rig.Tick();
  const u32 before = damage->GetRemaining();
  rig.Tick();
  EXPECT_EQ(before - damage->GetRemaining(), 50u);
  // At 0 the damage clears: the repair ends, she has worked, the puddle and
  // line go; the damage leaves once its puffs have died.
  ASSERT_GT(rig.TickUntil([&] { return damage->IsCleared(); }), 0);
  EXPECT_EQ(point->GetRepairJob(), nullptr);
  EXPECT_EQ(point->GetRepairArrow(), nullptr);
  EXPECT_EQ(damage->GetPuddle(), nullptr);
  EXPECT_EQ(damage->GetLine(), nullptr);
  ASSERT_GT(rig.TickUntil([&] { return !point->HasDamage(); }, 100), 0);
  EXPECT_EQ(point->Update(30), 30u);
}

TEST(Care, RepairCancelledOffersTheArrowAgainAndVillainsPickDamageablePoints) {
  CareRig rig;
  rig.Build({Warehouse(640, 300), MapRig::Garbage(kStones, 0, 300, 300)});
  AddDamage(*rig.map, 0, &rig.villains.source, true);
  BaseLevelPoint* point = rig.map->GetPoint(0);
  // Faded in, the line grows; set without fade (as a restore does) it stands at once.
  PointDamage* damage = GetPointDamage(point);
  ASSERT_NE(damage, nullptr);
  EXPECT_EQ(Showing(damage->GetLine()).rfind("show line after", 0), 0u) << Showing(damage->GetLine());
  damage->SetRemaining(1000, false);
  EXPECT_EQ(Showing(damage->GetLine()), "show line at once");
  EXPECT_FLOAT_EQ(damage->GetLine()->GetProgress(), 50.0f);
  StartRepair(point);
  Job* repair = JobOf(point->GetRepairJob());
  ASSERT_NE(repair, nullptr);
  StartRepair(point);  // one repair at a time
  EXPECT_EQ(JobOf(point->GetRepairJob()), repair);
  repair->Finish();
  EXPECT_EQ(point->GetRepairJob(), nullptr);
  EXPECT_NE(point->GetRepairArrow(), nullptr);
  EXPECT_EQ(PickVillainTarget(*rig.map, 640, 300), 0);  // the warehouse is the only target, near or far
  EXPECT_EQ(PickVillainTarget(*rig.map, 0, 0), 0);

  // A point that cannot be damaged is no target.
  static_cast<LevelPoint*>(point)->SetLevel(0, false, 0);
  EXPECT_EQ(PickVillainTarget(*rig.map, 0, 0), -1);
}

TEST(Care, PullDownFellsTreesDigsBedsAndTakesDownBuildings) {
  CareRig rig;
  rig.level.pulldownTime = 600;  // the plant table's timing word
  rig.level.LoadKinds({{u"wheat", 3, true}, {u"apple", 3, true, 0, true}}, {});
  rig.Build({POINTDEF{2, 1, kis::NameId(u"wheat"), 0, {0, 0}, 300, 300, 0},
             POINTDEF{2, 1, kis::NameId(u"apple"), 0, {0, 0}, 640, 300, 0}, Warehouse(900, 300)});
  const char* expected[] = {"girl_dig", "girl_rubit", "girl_build"};
  for (i32 i = 0; i < 3; ++i) {
    auto* point = dynamic_cast<LevelPoint*>(rig.map->GetPoint(i));
    ASSERT_NE(point, nullptr) << i;
    Job* job = JobOf(point->CreatePulldownJob());
    ASSERT_NE(job, nullptr);
    ASSERT_GT(rig.TickUntil([&] { return job->GetStep() == 3 && job->GetState() == kJobAnimating &&
                                         std::string(Narrow(rig.player->GetAnimationName())) == expected[i]; }),
              0)
        << expected[i];
    EXPECT_TRUE(point->IsSuspended());
    ASSERT_GT(rig.TickUntil([&] { return rig.map->GetPoint(i)->GetKind() == kPointKindEmpty; }, 200), 0);
    EXPECT_TRUE(rig.player->HasWorked() || rig.player->GetJobs().GetCount() > 0);  // she steps aside
  }
}

}  // namespace
}  // namespace leveltest

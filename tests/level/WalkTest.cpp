// Walking: arrival in the ticks the speed predicts, a path planned again
// round a wall put up on the way, an ended walk kept within its leg,
// turning the short way a step per 16 ms, the search slices per update,
// failed searches, the footing check, the long-walk bonus and the distance
// limit.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "platform/os/Clock.h"
#include "platform/os/PlatformServices.h"
#include "CharacterRig.h"

namespace leveltest {
namespace {

TEST(Walk, ArrivesInTheTicksItsSpeedPredictsAndGoesRoundObstacles) {
  CharacterRig rig;
  MapCharacter* c = rig.Make(200, 300, kRight);
  rig.Tick();  // the first footing check
  auto* job = new Job_GoTo(c, 300, 300, 0, false);
  rig.Tick(49);
  EXPECT_EQ(c->GetX(), 298.0f) << "2 units a tick, from the very first update";
  EXPECT_EQ(job->GetState(), kJobWalking);
  EXPECT_EQ(std::u16string(c->GetAnimationName()), u"girl_walk");
  EXPECT_EQ(c->GetActivity(), kActivityWalk);
  rig.Tick();
  EXPECT_EQ(c->GetX(), 300.0f);
  EXPECT_EQ(c->GetJobs().GetCount(), 0) << "done, and deleted by the queue";
  rig.Tick();
  EXPECT_EQ(std::u16string(c->GetAnimationName()), u"girl_idle") << "idle again once the queue is empty";

  // Round a wall put up while she walks: the walk plans its path again and
  // never goes inside the wall (as the grid sees the footprint), and there.
  new Job_GoTo(c, 600, 300, 0, false);
  rig.Tick(10);
  ASSERT_LT(c->GetX(), 340.0f);
  rig.Block(400, 200, 440, 400);
  shpf::_SHAPEGRID* grid = c->GetGrid();
  for (i32 n = 0; n < 1000 && c->GetJobs().GetCount() > 0; ++n) {
    ASSERT_EQ(rig.Finder()->GridShapeAt(grid, static_cast<i32>(c->GetX()), static_cast<i32>(c->GetY())), nullptr)
        << c->GetX() << "," << c->GetY();
    rig.Tick();
  }
  EXPECT_EQ(c->GetX(), 600.0f);
  EXPECT_EQ(c->GetY(), 300.0f);
}

// A walk ended on the way leaves her where she stands along her leg, on
// its line and never past its end.
TEST(Walk, AnEndedWalkKeepsHerWithinHerLeg) {
  CharacterRig rig;
  MapCharacter* c = rig.Make(200, 300, kRight);
  rig.Tick();
  auto* job = new Job_GoTo(c, 300, 300, 0, false);
  rig.Tick(10);
  ASSERT_EQ(job->GetState(), kJobWalking);
  const float x = c->GetX();
  ASSERT_GT(x, 200.0f);
  c->MoveTo(x, 290.0f);  // pushed off her line on the way
  job->Finish();
  EXPECT_EQ(c->GetX(), x) << "where she stands along the leg";
  EXPECT_EQ(c->GetY(), 300.0f) << "back on the leg's line";
  rig.Tick();
  // Carried past the leg's end while walking: the end holds her.
  auto* back = new Job_GoTo(c, 100, 300, 0, false);
  rig.Tick(5);
  ASSERT_EQ(back->GetState(), kJobWalking);
  c->MoveTo(60.5f, 280.5f);
  back->Finish();
  EXPECT_EQ(c->GetX(), 100.0f);
  EXPECT_EQ(c->GetY(), 300.0f);
}

TEST(Walk, TurnsTheShortWayOneStepPer16Milliseconds) {
  CharacterRig rig;
  MapCharacter* c = rig.Make(400, 300, 1);
  rig.Tick();
  new Job_GoTo(c, 300, 200, 0, false);  // up and left: direction 7
  rig.Tick();
  EXPECT_EQ(c->GetDirection(), 0) << "1 to 0 at once; the next step 16 ms later";
  EXPECT_EQ(c->GetX(), 400.0f);
  rig.Tick();
  EXPECT_EQ(c->GetDirection(), 7);
  // The 4 ms left of the tick already walk: 0.4 x 2 units up the diagonal,
  // rounded to the nearest whole unit.
  EXPECT_EQ(c->GetX(), 399.0f);
  EXPECT_EQ(c->GetY(), 299.0f);
  // Two directions or fewer jump; the same direction is reached at once.
  EXPECT_TRUE(c->TurnStep(7));
  EXPECT_FALSE(c->TurnStep(3));
  EXPECT_EQ(c->GetDirection(), 6) << "7 to 3: four steps either way, the shorter sign first";
}

TEST(Walk, AtMostThreeSearchesAnUpdateAndTheFourthWaits) {
  CharacterRig rig;
  MapCharacter* c[4];
  for (i32 i = 0; i < 4; ++i) c[i] = rig.Make(200, 100.0f + 100.0f * static_cast<float>(i), kRight);
  rig.Tick();
  Job* jobs[4];
  for (i32 i = 0; i < 4; ++i) jobs[i] = new Job_GoTo(c[i], 500, 100 + 100 * i, 0, false);
  rig.Tick();
  for (i32 i = 0; i < 3; ++i) {
    EXPECT_EQ(jobs[i]->GetSearchState(), shpf::PFS_FOUND) << i;
    EXPECT_EQ(c[i]->GetX(), 202.0f) << i;
  }
  EXPECT_EQ(jobs[3]->GetState(), kJobWalking);
  EXPECT_EQ(jobs[3]->GetSearchState(), shpf::PFS_NEW);
  EXPECT_TRUE(rig.characters->Paths().IsQueued(jobs[3]));
  EXPECT_EQ(c[3]->GetX(), 200.0f);
  rig.Tick();
  EXPECT_EQ(jobs[3]->GetSearchState(), shpf::PFS_FOUND) << "served first in the next update";
  EXPECT_FALSE(rig.characters->Paths().IsQueued(jobs[3]));
  EXPECT_EQ(c[3]->GetX(), 202.0f);
  EXPECT_EQ(rig.characters->Paths().GetSearchesThisUpdate(), 1);
  // A queued walk that is cancelled leaves the queue and is never served.
  for (i32 i = 0; i < 3; ++i) new Job_GoTo(c[i], 250, 100 + 100 * i, 0, false);
  Job* late = new Job_GoTo(c[3], 250, 400, 0, false);
  rig.Tick();
  ASSERT_TRUE(rig.characters->Paths().IsQueued(late));
  EXPECT_TRUE(late->Finish());
  EXPECT_FALSE(rig.characters->Paths().IsQueued(late));
  rig.Tick();
  EXPECT_EQ(c[3]->GetJobs().GetCount(), 0);
}

// A clock that moves 5 ms at every reading: a search runs out of its 10-ms
// slice after a segment or two.
struct TickingClock : plat::Clock {
  uint32_t NowMs() override { return now += 5; }
  void SleepMs(uint32_t ms) override { now += ms; }
  uint32_t now = 1000;
};

TEST(Walk, ASearchStillRunningAfterItsSliceKeepsItsPlaceUntilItEnds) {
  CharacterRig rig;
  for (i32 i = 0; i < 10; ++i) {  // a serpentine of walls
    const i32 x = 150 + 100 * i;
    if (i % 2 == 0)
      rig.Block(x, -10, x + 20, 560);
    else
      rig.Block(x, 128, x + 20, 700);
  }
  MapCharacter* c = rig.Make(60, 300, kRight);
  MapCharacter* other = rig.Make(60, 650, kRight);
  rig.Tick();
  TickingClock ticking;
  std::optional<plat::PlatformServicesScope> ticks;
  ticks.emplace(plat::PlatformServices{.clock = &ticking});
  auto* job = new Job_GoTo(c, 1220, 300, 0, false);
  i32 searching = 0;
  for (i32 n = 0; n < 200 && job->GetSearchState() != shpf::PFS_FOUND; ++n) {
    rig.Tick();
    EXPECT_LE(rig.characters->Paths().GetSearchesThisUpdate(), LevelPathFinder::kSearchesPerUpdate);
    if (job->GetSearchState() == shpf::PFS_SEARCHING) {
      ++searching;
      EXPECT_TRUE(rig.characters->Paths().IsQueued(job)) << "kept in the queue while its search runs";
      EXPECT_EQ(c->GetX(), 60.0f);
    }
    if (n == 1) new Job_GoTo(other, 300, 650, 0, false);  // waits its turn behind the long search
  }
  ticks.reset();  // the rig's clock again
  EXPECT_GT(searching, 1) << "the search took several updates";
  ASSERT_EQ(job->GetSearchState(), shpf::PFS_FOUND);
  EXPECT_FALSE(rig.characters->Paths().IsQueued(job));
  EXPECT_GT(job->GetLegCount(), 4);
  EXPECT_GT(rig.TicksUntilIdle(c, 5000), 0);
  EXPECT_EQ(c->GetX(), 1220.0f);
  EXPECT_EQ(other->GetJobs().GetCount(), 0);
  EXPECT_EQ(other->GetX(), 300.0f);
}

TEST(Walk, ANewOrderReplacesATrailingWalkButNotOtherJobs) {
  CharacterRig rig;
  MapCharacter* c = rig.Make(200, 300, kRight);
  auto* work = new Job_Animation(c, 50, u"girl_build", -1, 1000);
  auto* walk = new Job_GoTo(c, 600, 300, 0, false);
  auto* other = new Job_GoTo(c, 200, 500, 0, false);
  ASSERT_EQ(c->GetJobs().GetCount(), 2);
  EXPECT_EQ(c->GetJobs()[0], work);
  EXPECT_EQ(c->GetJobs()[1], other) << "the walk queued before it is gone";
  (void)walk;
  auto* after = new Job_Animation(c, 51, u"girl_build", -1, 100);
  EXPECT_EQ(c->GetJobs().GetCount(), 2);
  EXPECT_EQ(c->GetJobs()[1], after);
  // A walk under way is the last job too: a new order takes its place at
  // once and the character goes from where it stands.
  work->Finish();
  after->Finish();
  rig.Tick();
  auto* going = new Job_GoTo(c, 600, 300, 0, false);
  rig.Tick(10);
  ASSERT_EQ(going->GetState(), kJobWalking);
  const float x = c->GetX();
  auto* back = new Job_GoTo(c, 100, 300, 0, false);
  ASSERT_EQ(c->GetJobs().GetCount(), 1);
  EXPECT_EQ(c->GetJobs()[0], back);
  rig.Tick();
  EXPECT_LE(c->GetX(), x);
  EXPECT_EQ(rig.TicksUntilIdle(c) > 0, true);
  EXPECT_EQ(c->GetX(), 100.0f);
}

TEST(Walk, AFailedSearchFinishesTheJobAndTheGameGoesOn) {
  CharacterRig rig;
  rig.Block(-50, 0, 30, 688);  // the whole left edge, as the girl's grid sees it
  MapCharacter* c = rig.Make(20, 150, kLeft);
  c->SetSkipFootingCheck(true);
  rig.Tick();
  auto* job = new Job_GoTo(c, -100, 150, 0, false);
  rig.Tick();
  EXPECT_EQ(job->GetState(), kJobFinished) << "finished, not ended the program";
  EXPECT_EQ(c->GetX(), 20.0f);
  rig.Tick();
  EXPECT_EQ(c->GetJobs().GetCount(), 0);
  const std::string log = rig.EngineLog();
  EXPECT_NE(log.find("Walk failed"), std::string::npos) << log;
  EXPECT_NE(log.find("no way found: from 20, 150 to -100, 150"), std::string::npos) << log;
  // The character still takes orders.
  c->SetSkipFootingCheck(false);
  new Job_GoTo(c, 200, 150, 0, false);
  EXPECT_GT(rig.TicksUntilIdle(c), 0);
  EXPECT_EQ(c->GetX(), 200.0f);
}

TEST(Walk, FootingCheckWalksOffANewlyBlockedCellAndEndsWork) {
  CharacterRig rig;
  MapCharacter* c = rig.Make(400, 300, kDown);
  rig.Tick(2);
  EXPECT_EQ(c->GetJobs().GetCount(), 0) << "free ground: nothing to do";
  rig.Block(380, 290, 420, 330);
  rig.Tick();
  ASSERT_EQ(c->GetJobs().GetCount(), 1);
  auto* off = static_cast<Job_GoTo*>(c->GetJobs()[0]);
  EXPECT_TRUE(off->IsStay());
  EXPECT_GT(rig.TicksUntilIdle(c), 0);
  EXPECT_EQ(rig.Finder()->GridShapeAt(c->GetGrid(), static_cast<i32>(c->GetX()), static_cast<i32>(c->GetY())), nullptr);
  EXPECT_LT(std::fabs(c->GetY() - 300.0f) + std::fabs(c->GetX() - 400.0f), 80.0f) << "the nearest free point";

  // Blocked while working: the work is finished and the walk queued.
  c->MoveTo(600, 300);
  rig.Tick();
  auto* work = new Job_Animation(c, 50, u"girl_build", -1, 1000);
  rig.Tick(2);
  ASSERT_EQ(work->GetState(), kJobAnimating);
  rig.Block(580, 280, 620, 320);
  EXPECT_FALSE(c->CheckFooting());
  EXPECT_EQ(work->GetState(), kJobFinished);
  ASSERT_EQ(c->GetJobs().GetCount(), 2);
  EXPECT_EQ(c->GetJobs()[1]->GetJobId(), kJobGoTo);
}

TEST(Walk, NoFreeGroundNearMeansTheWalkOffFailsOnceAndTheCharacterStays) {
  CharacterRig rig;
  MapCharacter* c = rig.Make(400, 300, kDown);
  rig.Tick();
  rig.Block(-100, -100, 1400, 800);
  rig.Tick(20);
  EXPECT_EQ(c->GetJobs().GetCount(), 0);
  EXPECT_EQ(c->GetX(), 400.0f);
  const std::string log = rig.EngineLog();
  const size_t first = log.find("Walk failed");
  ASSERT_NE(first, std::string::npos) << log;
  EXPECT_EQ(log.find("Walk failed", first + 1), std::string::npos) << "not tried again until the grid changes";
  EXPECT_EQ(c->GetSeenVersion(), c->GetGrid()->version);
}

TEST(Walk, LongWalksSpeedThePlayerUpFrom200ToTheMostAt1000) {
  struct Case {
    i32 length;
    float factor;
  };
  for (const Case& k : {Case{199, 1.0f}, Case{200, 1.0f}, Case{600, 1.25f}, Case{1000, 1.5f}, Case{1100, 1.5f}}) {
    SCOPED_TRACE(k.length);
    CharacterRig rig;
    MapPlayer* p = rig.MakePlayer(100, 300, kRight);
    rig.Tick();
    auto* job = new Job_GoTo(p, 100 + k.length, 300, 0, false);
    rig.Tick();
    EXPECT_FLOAT_EQ(job->GetPathLength(), static_cast<float>(k.length));
    EXPECT_FLOAT_EQ(job->GetSpeedFactor(), k.factor);
    const i32 ticks = 1 + rig.TicksUntilIdle(p);  // the queue drops the job in the tick it arrives
    EXPECT_EQ(ticks, static_cast<i32>(std::ceil(static_cast<float>(k.length) / (2.0f * k.factor) - 1e-4f)));
    EXPECT_NEAR(p->GetWalked(), static_cast<float>(k.length) / kWalkUnit, 1e-3f);
  }
  CharacterRig rig;
  MapCharacter* other = rig.Make(100, 300, kRight);
  auto* job = new Job_GoTo(other, 1100, 300, 0, false);
  rig.Tick();
  EXPECT_FLOAT_EQ(job->GetSpeedFactor(), 1.0f) << "only the player";
}

TEST(Walk, ALimitRefusesALongerPathAndThePlayerStepsAsideAfterWork) {
  CharacterRig rig;
  MapPlayer* p = rig.MakePlayer(300, 300, kRight);
  rig.Tick();
  auto* job = new Job_GoTo(p, 429, 300, 128, false);
  rig.Tick();
  EXPECT_EQ(job->GetState(), kJobFinished);
  EXPECT_EQ(p->GetX(), 300.0f);
  job = new Job_GoTo(p, 428, 300, 128, false);
  EXPECT_GT(rig.TicksUntilIdle(p), 0);
  EXPECT_EQ(p->GetX(), 428.0f);

  for (float x : {300.0f, 900.0f}) {
    p->MoveTo(x, 300);
    p->MarkWorking();
    rig.Tick();
    ASSERT_EQ(p->GetJobs().GetCount(), 1);
    auto* aside = static_cast<Job_GoTo*>(p->GetJobs()[0]);
    EXPECT_EQ(aside->GetTargetX(), x < 640 ? x + 64 : x - 64);
    EXPECT_EQ(aside->GetTargetY(), 316);
    EXPECT_EQ(aside->GetLimit(), 128.0f);
    EXPECT_GT(rig.TicksUntilIdle(p), 0);
    EXPECT_FALSE(p->HasWorked());
  }
}

}  // namespace
}  // namespace leveltest

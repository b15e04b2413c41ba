// Jobs: steps, the animation step (turning before work, duration or one run,
// the progress line), money reserved and given back, icons, and how the
// speed bonus reaches the player's work.
#include <gtest/gtest.h>

#include "content/LevelRates.h"
#include "level/rules/LevelMoney.h"
#include "CharacterRig.h"

namespace leveltest {
namespace {

// A work step of the given activity: the animation, then done.
struct WorkJob : Job {
  WorkJob(MapCharacter* owner, u32 duration, i32 activity) : Job(owner, 60), duration_(duration), activity_(activity) {}
  void Update() override {
    if (step_ == 0) {
      NextStep(1);
      PlayAnimation(duration_, u"girl_build", -1, activity_);
    }
    if (step_ == 1 && UpdateAnimation()) {
      NextStep(2);
      state_ = kJobDone;
    }
  }
  u32 duration_;
  i32 activity_;
};

TEST(Job, StepsOnlyGoForwardAndEndedJobsRefuse) {
  CharacterRig rig;
  MapCharacter* c = rig.Make(300, 300, kDown);
  auto* job = new WorkJob(c, 100, -1);
  EXPECT_FALSE(job->HasEnded());
  EXPECT_TRUE(job->NextStep(-1));
  EXPECT_TRUE(job->NextStep(5));
  EXPECT_EQ(job->GetStep(), 5);
  EXPECT_FALSE(job->NextStep(5)) << "a step that is not ahead ends the job";
  EXPECT_EQ(job->GetState(), kJobFinished);
  EXPECT_TRUE(job->HasEnded());
  EXPECT_FALSE(job->NextStep(9));
  EXPECT_FALSE(job->Finish());
  EXPECT_FALSE(job->Stop());
  rig.Tick();
  EXPECT_EQ(c->GetJobs().GetCount(), 0);
}

TEST(Job, AnimationStepTurnsFortyMillisecondsAStepThenRunsItsDurationOrOneRun) {
  CharacterRig rig;
  MapPlayer* p = rig.MakePlayer(300, 300, kRight);
  rig.Tick();
  auto* job = new Job_Animation(p, 50, u"girl_build", kLeft, 300);
  rig.Tick();  // step 2 starts: the idle animation to turn in
  EXPECT_EQ(job->GetState(), kJobAnimating);
  // Her progress line, made with the step, shows once she has turned.
  SSProgressLine* line = job->GetProgressLine();
  EXPECT_EQ(Describe(line), "line at 300,316 width 48 mode 1");
  EXPECT_EQ(Showing(line), "not shown");
  EXPECT_EQ(std::u16string(p->GetAnimationName()), u"girl_idle");
  EXPECT_EQ(p->GetDirection(), kRight);
  rig.Tick();
  EXPECT_EQ(p->GetDirection(), 3) << "the short way round, the first step at once";
  i32 ticks = 2;
  while (p->GetDirection() != kLeft) {
    rig.Tick();
    ++ticks;
  }
  EXPECT_EQ(ticks, 13) << "three more steps, 40 ms of turn time each (the first counted from its own tick)";
  EXPECT_EQ(std::u16string(p->GetAnimationName()), u"girl_build");
  EXPECT_EQ(Showing(line), "show line after 0 style 1 for 200");
  EXPECT_EQ(p->GetActivity(), kActivityWork);
  EXPECT_EQ(rig.TicksUntilIdle(p), 30) << "300 ms of work after the turn";
  EXPECT_EQ(p->GetWorkStreak(), 0) << "the streak counted, then ended with the queue";
  EXPECT_EQ(rig.level.profile.counters.records[kAwardRecordWorkStreak], 1);
  // The line hid for good with the job's end: it is the list's to delete.
  ASSERT_EQ(rig.level.hudList.Sprites().GetCount(), 1);
  EXPECT_EQ(rig.level.hudList.Sprites()[0], line);
  EXPECT_EQ(Showing(line), "hide line for good after 0 style 5 for 400");

  // One run lasts the animation's time; a duration of 0 plays nothing.
  auto* once = new Job_Animation(p, 50, u"girl_build", -1, kJobOneRun);
  EXPECT_EQ(rig.TicksUntilIdle(p), 61) << "the step, then 600 ms";
  (void)once;
  auto* none = new WorkJob(p, 0, -1);
  none->NextStep(1);
  EXPECT_TRUE(none->PlayAnimation(0, u"girl_build", -1, -1));
  EXPECT_EQ(none->GetState(), kJobIdle);
}

// A direction step under way when the facing is reached from outside (her
// animation turned her between two ticks) still takes its 40 ms before the
// work starts.
TEST(Job, AStepUnderWayTakesItsTimeThoughTheFacingIsReached) {
  CharacterRig rig;
  MapPlayer* p = rig.MakePlayer(300, 300, kRight);
  rig.Tick();
  new Job_Animation(p, 50, u"girl_build", kLeft, 300);
  rig.Tick(2);  // the step starts; the first direction step at once, 30 ms of it left
  ASSERT_EQ(p->GetDirection(), 3);
  p->PlayAnimation(0, u"girl_idle", kLeft, true, kActivityIdle);
  rig.Tick(2);
  EXPECT_EQ(std::u16string(p->GetAnimationName()), u"girl_idle") << "20 of the step's 30 ms";
  rig.Tick();
  EXPECT_EQ(std::u16string(p->GetAnimationName()), u"girl_build");
  EXPECT_EQ(p->GetDirection(), kLeft);
}

TEST(Job, CancelGivesTheReservedMoneyBackAndCompletionKeepsItSpent) {
  CharacterRig rig;
  LevelMoney& money = rig.level.rules->Money();
  LevelPathFinder& paths = rig.characters->Paths();
  MapCharacter* c = rig.Make(300, 300, kDown);
  ASSERT_EQ(money.Get(), 300);
  auto* cancelled = new WorkJob(c, 100, -1);
  cancelled->SetCost(100);
  EXPECT_EQ(money.Get(), 200);
  EXPECT_EQ(paths.GetReserved(), 100);
  cancelled->SetCost(-5);  // a new cost replaces the old without giving it back
  EXPECT_EQ(money.Get(), 200);
  EXPECT_EQ(paths.GetReserved(), 0);
  cancelled->SetCost(100);
  EXPECT_TRUE(cancelled->Finish());
  EXPECT_EQ(money.Get(), 200);
  EXPECT_EQ(paths.GetReserved(), 0);
  rig.Tick();

  auto* done = new WorkJob(c, 100, -1);
  done->SetCost(150);
  EXPECT_EQ(money.Get(), 50);
  EXPECT_GT(rig.TicksUntilIdle(c), 0);
  EXPECT_EQ(money.Get(), 50) << "done: the money stays spent";
  EXPECT_EQ(paths.GetReserved(), 0);

  // Only what there was is taken, and only that comes back.
  auto* clamped = new WorkJob(c, 100, -1);
  clamped->SetCost(80);
  EXPECT_EQ(money.Get(), 0);
  EXPECT_EQ(clamped->GetCost(), 50);
  clamped->Finish();
  EXPECT_EQ(money.Get(), 50);
}

// The speed bonus raises the level's rates 0, 4 and 5 and, through the
// scene, the player's own walk and animation-speed records. A work step's
// activity factor is the level's base rate only, so the bonus counts once.
TEST(Job, TheSpeedBonusCountsOnceInThePlayersWork) {
  CharacterRig rig;
  rig.level.Info().baseRates[kRateAnimation] = 1.5f;
  MapPlayer* p = rig.MakePlayer(300, 300, kDown);
  rig.Tick();
  new WorkJob(p, 900, kRateAnimation);
  EXPECT_EQ(rig.TicksUntilIdle(p), 60) << "900 ms at the level's own 1.5";
  float values[kLevelRateCount];
  GetBonusRateValues(kBonusSpeed, 2.0f, values);
  rig.level.rules->Bonuses().SetRateModifiers(values, true, BonusModifierId(kBonusSpeed));
  p->SetSpeedModifier(BonusModifierId(kBonusSpeed), false, 2.0f, 2.0f);  // as the scene passes it on
  ASSERT_FLOAT_EQ(rig.level.rules->GetRate(kRateAnimation), 3.0f);
  new WorkJob(p, 900, kRateAnimation);
  EXPECT_EQ(rig.TicksUntilIdle(p), 30) << "twice as fast, not four times";
  new WorkJob(p, 900, -1);
  EXPECT_EQ(rig.TicksUntilIdle(p), 45) << "no activity: the player's own rate alone";
}

// Icons show at once; while the level is entered a new one is built up
// over 200 ms, unless it is the character's only job and stands within 64
// of her. The icon's point is its anchor moved by its offset.
TEST(Job, IconsBuildOnlyOnceTheLevelIsEnteredAndNotBesideALoneJob) {
  CharacterRig rig;
  MapCharacter* c = rig.Make(300, 300, kDown);
  Sprite* picture = rig.level.Product(u"wheat")->icon;
  const kis::list<ScreenSprite*>& hud = rig.level.hudList.Sprites();
  auto* a = new WorkJob(c, 100, -1);
  a->ShowIcon(600, 300, picture, nullptr, kJobIconColor);
  EXPECT_EQ(Showing(a->GetIcon()), "show icon at once");
  a->ShowIcon(600, 300, nullptr, nullptr, kJobIconColor);  // no sprite: the icon stays
  ASSERT_NE(a->GetIcon(), nullptr);
  i32 x = 0, y = 0;
  EXPECT_TRUE(a->GetIconPoint(&x, &y));
  EXPECT_EQ(x, 600);
  a->SetIconOffset(18, -5);
  EXPECT_TRUE(a->GetIconPoint(&x, &y));
  EXPECT_EQ(x, 618);
  EXPECT_EQ(y, 295);
  EXPECT_TRUE(a->GetIconAnchor(&x, &y));
  EXPECT_EQ(x, 600);
  a->HideIcon();
  EXPECT_EQ(a->GetIcon(), nullptr);
  EXPECT_EQ(hud.GetCount(), 0) << "deleted at once before the level is entered";
  EXPECT_FALSE(a->GetIconPoint(&x, &y));

  rig.level.rules->SetEntered(true);
  a->ShowIcon(320, 310, picture, nullptr, kJobIconColor);  // its only job, within 64
  EXPECT_EQ(Describe(a->GetIcon()), "icon at 320,310 ff001751");
  EXPECT_EQ(Showing(a->GetIcon()), "show icon at once");
  a->ShowIcon(600, 300, picture, nullptr, kJobIconColor);
  EXPECT_EQ(Describe(a->GetIcon()), "icon at 600,300 ff001751");
  EXPECT_EQ(Showing(a->GetIcon()), "show icon at once building for 200");
  EXPECT_EQ(hud.GetCount(), 1) << "the new icon replaces the old";
  auto* b = new WorkJob(c, 100, -1);
  b->ShowIcon(320, 310, picture, nullptr, kJobIconColor);
  EXPECT_EQ(Describe(b->GetIcon()), "icon at 320,310 ff001751");
  EXPECT_EQ(Showing(b->GetIcon()), "show icon at once building for 200") << "not her only job";
  ScreenSprite* hidden = a->GetIcon();
  a->HideIcon();
  EXPECT_EQ(Showing(hidden), "hide icon for good after 0 style 5 for 300");
  EXPECT_EQ(hud.GetCount(), 2);
  // Cancelling hides the icon too; the boots mark a walk's target.
  b->Finish();
  EXPECT_EQ(b->GetIcon(), nullptr);
}

}  // namespace
}  // namespace leveltest

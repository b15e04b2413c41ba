// Tasks, the result and its latching, the medal stage on the level clock,
// and the frame's ticks.
#include "LevelRig.h"

using namespace leveltest;

TEST(LevelTasks, EachKindCountsItsWayAndOnlyTheFirstMatchingTaskMoves) {
  LevelRig rig;
  PRODUCT* wheat = rig.Product(u"wheat");
  const u32 corn = 4242, mill = 77;
  rig.SetTasks(0, {{kTaskProducts, wheat->id, 0, 20}, {kTaskProducts, wheat->id, 0, 5}, {kTaskPlantBeds, corn, 2, 3}});
  LevelRules& level = rig.Make();
  LevelTasks& tasks = level.Tasks();
  ASSERT_EQ(tasks.GetTaskCount(), 3u);
  EXPECT_EQ(tasks.GetTask(3), nullptr);

  // Products count the units asked for; stock given without notice does not count.
  level.Stock()->Add(wheat, 4, false);
  level.Stock()->Add(wheat, 8, true);
  tasks.UpdateTask(kTaskProducts, 999, 50, false);  // another product
  EXPECT_EQ(tasks.GetProgress(0), 8);
  EXPECT_EQ(tasks.GetProgress(1), 0);  // the second task of the same item never moves
  // Plant beds are counted over the points at the task's level; removing one lowers it.
  rig.scene.plantBeds = 3;
  tasks.UpdateTask(kTaskPlantBeds, corn, 0, true);
  EXPECT_EQ(tasks.GetProgress(2), 2);
  rig.scene.plantBeds = 1;
  tasks.UpdateTask(kTaskPlantBeds, corn, 0, true);
  EXPECT_EQ(tasks.GetProgress(2), 0);
  tasks.UpdateTask(kTaskBuildings, mill, 1, false);  // no such task
  EXPECT_EQ(rig.log, (Log{"task 0 8", "task 2 2", "task 2 -2"}));

  // Buildings, clean places, money and a kind of no count (the amount), in the hard regime.
  LevelRig hard;
  hard.SetTasks(1, {{kTaskBuildings, mill, 2, 2}, {kTaskCleanPlaces, 0, 0, 3}, {7, 0, 0, 10}});
  LevelRules& other = hard.Make(1);
  hard.scene.buildings = 1;
  hard.scene.cleanPlaces = 2;
  other.Tasks().UpdateTask(kTaskBuildings, mill, 99, false);
  other.Tasks().UpdateTask(kTaskCleanPlaces, 0, 99, false);
  other.Tasks().UpdateTask(7, 0, 9, false);
  EXPECT_EQ(other.Tasks().GetProgress(0), 1);
  EXPECT_EQ(other.Tasks().GetProgress(1), 2);
  EXPECT_EQ(other.Tasks().GetProgress(2), 9);
  EXPECT_EQ(other.Tasks().GetResult(), kResultNone);
  // Meeting two of three does not end the level; the last one does, 1,000 ms later.
  hard.scene.buildings = 2;
  other.Tasks().UpdateTask(kTaskBuildings, mill, 0, false);
  other.Tasks().UpdateTask(7, 0, 10, false);
  EXPECT_EQ(other.Tasks().GetResult(), kResultNone);
  hard.scene.cleanPlaces = 3;
  other.Tasks().UpdateTask(kTaskCleanPlaces, 0, 0, false);
  EXPECT_EQ(other.Tasks().GetResult(), kResultWon);
  EXPECT_EQ(other.Tasks().GetResultDelay(), 1000u);
  other.Tasks().UpdateTask(7, 0, 3, false);  // nothing moves once there is a result
  EXPECT_EQ(other.Tasks().GetProgress(2), 10);

  // A record of more than three tasks counts three.
  LevelRig many;
  many.Info().regimes[0].taskCount = 9;
  EXPECT_EQ(many.Make().Tasks().GetTaskCount(), 3u);
}

// The money task is met by the starting money: the level is won as it is
// built, shown 1,000 ms of play after the start.
TEST(LevelResult, AMoneyTaskMetWhenTheLevelIsBuiltWinsOnceItHasPlayedASecond) {
  LevelRig rig;
  rig.SetTasks(0, {{kTaskMoney, 0, 0, 250}});
  LevelRules& level = rig.Make();
  EXPECT_EQ(level.Tasks().GetProgress(0), 300);
  EXPECT_EQ(level.Tasks().GetResult(), kResultWon);
  rig.Run(3000);  // the start lock holds the ticks
  EXPECT_EQ(level.Tasks().GetResultShown(), kResultNone);
  EXPECT_TRUE(level.StartPlay());
  EXPECT_FALSE(level.StartPlay());
  rig.Run(950);
  EXPECT_EQ(level.Tasks().GetResultShown(), kResultNone);
  rig.Run(50);
  EXPECT_EQ(level.Tasks().GetResultShown(), kResultWon);
  EXPECT_EQ(level.Clock().GetTime(), 0u);  // the result stopped the clock from the first

  // A restart with the money where it was counts the task all the same.
  level.Clear();
  level.Build({});
  EXPECT_EQ(level.Tasks().GetProgress(0), 300);
}

TEST(LevelResult, AWinLatchesOneSecondAfterTheLastTaskAndIsFinal) {
  LevelRig rig;
  PRODUCT* egg = rig.Product(u"egg");
  rig.SetTasks(0, {{kTaskProducts, egg->id, 0, 3}});
  LevelRules& level = rig.Make();
  level.StartPlay();
  level.SetEntered(true);
  rig.Run(2000);
  EXPECT_EQ(level.Clock().GetTime(), 2000u);
  const size_t from = rig.log.size(), labels = rig.LabelMark();
  EXPECT_EQ(level.StoreProduct(egg, 3, -1, 0, 0, 0, nullptr), 3);
  EXPECT_EQ(level.Tasks().GetResultFlags(), kResultFlagWon);
  level.Tasks().Lose(0);  // a pending win cannot become a loss
  EXPECT_EQ(level.Tasks().GetResult(), kResultWon);
  rig.Run(950);
  EXPECT_EQ(level.Clock().GetTime(), 2000u);  // the clock stands, the ticks run
  EXPECT_EQ(level.Tasks().GetResultDelay(), 50u);
  rig.Run(50);
  EXPECT_EQ(level.Tasks().GetResultShown(), kResultWon);
  // The stock's worth (3 eggs at 5) counts as money earned.
  EXPECT_EQ(rig.profile.counters.records[kAwardRecordMoney], 15);
  EXPECT_EQ(rig.Since(from), (Log{"stop tutorial", "time bar", "task 0 3 animated", "stop tutorial", "time bar",
                                  "record 0 at 2000", "game log 2000", "result window 2000"}));
  EXPECT_EQ(rig.LabelsSince(labels), (Log{"icon egg 3 at 0,0 after 0 to 0"}));
  const size_t shown = rig.log.size();
  level.Tasks().Win(0);
  level.Tasks().Lose(0);
  level.Tasks().CheckMedal(3);
  rig.Run(500);
  EXPECT_EQ(rig.log.size(), shown);
  EXPECT_EQ(level.Tasks().GetResult(), kResultWon);
}

// Hard mode: past the bronze limit (180 s) the level is lost 1,000 ms
// later, and the dialog's answer goes to the scene. The easy regime never
// loses on time.
TEST(LevelResult, TheHardRegimeLosesPastBronzeAndTheMedalFollowsTheClock) {
  LevelRig rig;
  rig.SetTasks(1, {{kTaskCleanPlaces, 0, 0, 3}});
  LevelRules& level = rig.Make(1);
  level.StartPlay();
  EXPECT_EQ(level.Clock().GetMedal(), kGradeGold);
  rig.Run(60000);
  EXPECT_EQ(level.Clock().GetMedal(), kGradeGold);  // a limit met exactly earns its medal
  rig.Run(50);
  EXPECT_EQ(level.Clock().GetMedal(), kGradeSilver);
  rig.Run(120000 - 60050);
  EXPECT_EQ(level.Clock().GetMedal(), kGradeSilver);
  rig.Run(60000);
  EXPECT_EQ(level.Clock().GetMedal(), kGradeBronze);
  EXPECT_EQ(level.Tasks().GetResult(), kResultNone);
  rig.Run(50);
  EXPECT_EQ(level.Clock().GetMedal(), kGradeFinished);
  EXPECT_EQ(level.Tasks().GetResult(), kResultLost);
  EXPECT_EQ(level.Tasks().GetResultFlags(), kResultFlagLost);
  const u32 stopped = level.Clock().GetTime();
  level.Tasks().Win(0);  // a pending loss cannot become a win
  rig.scene.cleanPlaces = 3;
  level.Tasks().UpdateTask(kTaskCleanPlaces, 0, 0, false);
  EXPECT_EQ(level.Tasks().GetResult(), kResultLost);
  const size_t from = rig.log.size();
  rig.Run(1000);
  EXPECT_EQ(level.Clock().GetTime(), stopped);
  EXPECT_EQ(level.Tasks().GetResultShown(), kResultLost);
  EXPECT_EQ(rig.Since(from), (Log{"stop tutorial", "time bar"}));
  // The lose dialog: the language's "game_over" texts, yes or no.
  BaseDialogWindow* dialog = rig.Dialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog, level.Tasks().GetLoseDialog());
  EXPECT_TRUE(dialog->GetCaptionKey() == u"game_over");
  EXPECT_TRUE(dialog->GetMessageKey() == u"game_over_c");
  ASSERT_EQ(dialog->GetDesc().count, 2u);
  EXPECT_EQ(dialog->GetDesc().buttonIds[0], kAnswerYes);
  EXPECT_EQ(dialog->GetDesc().buttonIds[1], kAnswerNo);
  EXPECT_TRUE(dialog->Answer(kAnswerYes));
  EXPECT_EQ(rig.log.back(), "lose answer 40000003");

  LevelRig easy;
  LevelRules& relaxed = easy.Make(0);
  relaxed.StartPlay();
  easy.Run(300000);
  EXPECT_EQ(relaxed.Clock().GetMedal(), kGradeBronze);
  EXPECT_EQ(relaxed.Tasks().GetResult(), kResultNone);
}

TEST(LevelClock, AFrameBecomesWholeTicksWithTheRestCarriedAndAtMostTwentyOfThem) {
  LevelClock clock;
  EXPECT_EQ(clock.TakeTicks(205), 20u);
  EXPECT_EQ(clock.GetCarry(), 0u);
  EXPECT_EQ(clock.GetTickClock(), 200u);
  EXPECT_EQ(clock.TakeTicks(7), 0u);
  EXPECT_EQ(clock.GetCarry(), 7u);
  EXPECT_EQ(clock.TakeTicks(3), 1u);
  EXPECT_EQ(clock.GetCarry(), 0u);
  EXPECT_EQ(clock.TakeTicks(199), 19u);
  EXPECT_EQ(clock.TakeTicks(1), 1u);  // 9 carried + 1
  clock.TakeTicks(5);
  EXPECT_EQ(clock.TakeTicks(0xFFFFFFF0u), 20u);  // no overflow with a carry
  EXPECT_EQ(clock.GetCarry(), 0u);
  clock.SetSpeed(9);
  EXPECT_EQ(clock.GetSpeed(), 4);
  EXPECT_EQ(clock.TakeTicks(clock.Scale(60)), 20u);
  clock.SetSpeed(0);
  EXPECT_EQ(clock.GetSpeed(), 1);
  clock.ResetTicks();
  EXPECT_EQ(clock.GetTickClock(), 0u);
  // The level's time stops at its largest rather than starting again at 0
  // (a restored time near it would otherwise read as a fresh gold medal).
  clock.SetTime(0xFFFFFFF0u);
  clock.Advance(100);
  EXPECT_EQ(clock.GetTime(), 0xFFFFFFFFu);
}

// Any lock, a result or a screen effect stops the level clock; only a lock
// stops the ticks. A slow frame counts whole on the clock while the world
// moves 200 ms.
TEST(LevelClock, StandsForLocksResultsAndEffectsAndTakesASlowFrameWhole) {
  LevelRig rig;
  LevelRules& level = rig.Make();
  EXPECT_EQ(level.Locks().GetMask(), kLockStart);
  EXPECT_EQ(rig.Frame(100), 10u);
  EXPECT_EQ(level.Clock().GetTime(), 0u);
  level.StartPlay();
  EXPECT_EQ(level.Locks().GetMask(), 0u);
  rig.Frame(100);
  EXPECT_EQ(level.Clock().GetTime(), 100u);
  level.Locks().Lock(kLockTutorial);
  rig.Frame(100);
  level.Locks().Unlock(kLockTutorial);
  EXPECT_EQ(level.AdvanceFrame(100, true), 10u);
  EXPECT_EQ(level.Clock().GetTime(), 100u);
  EXPECT_EQ(level.AdvanceFrame(0, false), 0u);
  EXPECT_EQ(level.AdvanceFrame(1000, false), 20u);
  EXPECT_EQ(level.Clock().GetTime(), 1100u);
  level.Clock().SetSpeed(3);
  rig.Frame(50);
  EXPECT_EQ(level.Clock().GetTime(), 1250u);
}

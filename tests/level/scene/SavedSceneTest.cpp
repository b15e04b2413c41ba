// The yard played through the scene with the real point care and
// saved levels: its three heaps cleared by the clearing jobs to the won
// level with the clock's medal, and the level left mid-clearing and
// entered again as it was.
#include <gtest/gtest.h>

#include "base/DataBuffer.h"
#include "base/SavedStateStore.h"
#include "level/map/EmptyLevelPoint.h"
#include "level/scene/GameLevel.h"
#include "level/state/GameLevelSaves.h"
#include "level/characters/Job.h"
#include "level/characters/LevelCharacters.h"
#include "level/map/LevelMap.h"
#include "level/rules/LevelRules.h"
#include "level/state/LevelState.h"
#include "level/rules/LevelTasks.h"
#include "level/characters/MapPlayer.h"
#include "testsupport/LevelHarness.h"
#include "testsupport/SavedLevelStore.h"

namespace leveltest {
namespace {

using Store = testsupport::SavedLevelStore;

EmptyLevelPoint* Place(GameLevel& level, i32 i) { return dynamic_cast<EmptyLevelPoint*>(level.Map().GetPoint(i)); }
MapPlayer* Player(GameLevel& level) {
  const LevelCharacters* characters = level.Map().GetCharacters();
  return characters ? characters->GetPlayer() : nullptr;
}

// The three heaps of the yard cleared through the clearing jobs:
// the money reserved, her walk and "girl_build" for each heap's clearing
// time, the task met and the level won 1,000 ms later at the clock's medal.
TEST(SavedScene, TheYardsHeapsClearedToTheWin) {
  LevelHarness h(ScenarioDataFolder(), 1280, 820);
  ASSERT_TRUE(h.loaded);
  GameLevel& level = h.Play(0);
  LevelRules& rules = level.Rules();
  ASSERT_EQ(rules.Money().Get(), 300);
  for (i32 i = 0; i < 3; ++i) {
    ASSERT_NE(Place(level, i), nullptr);
    ASSERT_NE(Place(level, i)->GetGarbage(), nullptr);
    Place(level, i)->StartClearing();
  }
  EXPECT_EQ(rules.Money().Get(), 0);
  ASSERT_EQ(Player(level)->GetJobs().GetCount(), 3);
  bool built = false;
  for (i32 n = 0; n < 3000 && rules.Tasks().GetResult() == kResultNone; ++n) {
    h.Step(20);
    built = built || std::u16string(Player(level)->GetAnimationName()) == u"girl_build";
  }
  EXPECT_TRUE(built);
  for (i32 i = 0; i < 3; ++i) EXPECT_EQ(Place(level, i)->GetGarbage(), nullptr);
  ASSERT_EQ(rules.Tasks().GetResult(), kResultWon);
  const u32 metAt = rules.Clock().GetTime();
  h.Step(980);
  EXPECT_EQ(rules.Tasks().GetResultShown(), kResultNone);
  h.Step(40);
  EXPECT_EQ(rules.Tasks().GetResultShown(), kResultWon);
  EXPECT_TRUE(h.windows.Saw("recorded 0 at " + std::to_string(metAt)));
  const LEVELREGIME& easy = level.GetInfo()->regimes[0];
  EXPECT_EQ(rules.Clock().GetMedal(), metAt <= static_cast<u32>(easy.gold)     ? kGradeGold
                                      : metAt <= static_cast<u32>(easy.silver) ? kGradeSilver
                                                                                : kGradeBronze);
}

// Left mid-clearing, the level is saved into the profile's store; entered
// again it comes back as it was; a spoilt save starts the level anew.
TEST(SavedScene, LeftMidClearingAndEnteredAgain) {
  LevelHarness h(ScenarioDataFolder(), 1280, 820);
  ASSERT_TRUE(h.loaded);
  Store store;
  GameLevelSaves saves(&store, &store, nullptr);
  h.saves = &saves;
  GameLevel& level = h.Play(0);
  Place(level, 0)->StartClearing();
  for (i32 n = 0; n < 2000 && std::u16string(Player(level)->GetAnimationName()) != u"girl_build"; ++n) h.Step(20);
  h.Step(200);
  const u32 clock = level.Rules().Clock().GetTime();
  const float x = Player(level)->GetX(), y = Player(level)->GetY();
  level.Leave();
  ASSERT_NE(store.slots[0][0], nullptr);
  EXPECT_EQ(store.saves, 1);

  h.Enter();
  EXPECT_EQ(level.Rules().Clock().GetTime(), clock);
  EXPECT_EQ(level.Rules().Money().Get(), 200);
  ASSERT_NE(Player(level), nullptr);
  EXPECT_EQ(Player(level)->GetX(), x);
  EXPECT_EQ(Player(level)->GetY(), y);
  ASSERT_EQ(Player(level)->GetJobs().GetCount(), 1);
  EXPECT_EQ(Player(level)->GetJobs()[0]->GetState(), kJobAnimating);
  EXPECT_EQ(std::u16string(Player(level)->GetAnimationName()), u"girl_build");
  EXPECT_TRUE(h.windows.Saw("bonus buttons"));
  h.Start();
  for (i32 n = 0; n < 2000 && Place(level, 0)->GetGarbage(); ++n) h.Step(20);
  EXPECT_EQ(Place(level, 0)->GetGarbage(), nullptr);
  EXPECT_EQ(level.Rules().Tasks().GetProgress(0), 1);

  // Saved again and spoilt: refused, dropped, and the level starts anew.
  level.Leave();
  ASSERT_NE(store.slots[0][0], nullptr);
  store.slots[0][0]->Data()[0] ^= 1;
  h.Enter();
  EXPECT_EQ(store.slots[0][0], nullptr);
  EXPECT_EQ(level.Rules().Money().Get(), 300);
  EXPECT_EQ(Player(level)->GetJobs().GetCount(), 0);
  EXPECT_NE(Place(level, 0)->GetGarbage(), nullptr);
}

}  // namespace
}  // namespace leveltest

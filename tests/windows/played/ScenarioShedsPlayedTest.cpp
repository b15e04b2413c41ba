// The scenario set's cow shed and sheep pen (level 8) played by clicks
// through the level scene: both fed by their price buttons, milked and
// shorn by their arrows, the stock rising by the house's level each time,
// and the level left and entered again as it was while the milk and the
// wool grow, while both wait, while the player milks and while she shears.
#include <gtest/gtest.h>

#include <vector>

#include "base/DataBuffer.h"
#include "base/SavedStateStore.h"
#include "base/Strings.h"
#include "content/ProductList.h"
#include "level/characters/Job.h"
#include "level/characters/LevelCharacters.h"
#include "level/characters/MapPlayer.h"
#include "level/map/LevelMap.h"
#include "level/objects/PointCowshed.h"
#include "level/objects/PointSheepRack.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelTasks.h"
#include "level/rules/WarehouseStock.h"
#include "level/scene/GameLevel.h"
#include "level/state/GameLevelSaves.h"
#include "testsupport/LevelHarness.h"
#include "testsupport/SavedLevelStore.h"
#include "hud/ASSArrowButton.h"
#include "hud/ASSPriceButton.h"
#include "hud/ActiveScreenSprite.h"
#include "ScenarioPlayed.h"

namespace windowstest {
namespace {

constexpr i32 kShedsLevel = 7;  // the eighth scenario level
constexpr i32 kShed = 1, kPen = 2;

class Sheds : public ::testing::Test {
 protected:
  Sheds() : h(leveltest::ScenarioDataFolder(), 800, 600), saves(&store, &store, nullptr) {}
  GameLevel& Make() {
    GameLevelHooks hooks;
    hooks.rules.profile = &h.profile;
    hooks.villains = &h.villains;
    hooks.saves = &saves;
    GameLevel* level = h.world.OpenLevel(kShedsLevel, LevelSetup{}, hooks);
    h.LoadAll();
    h.Enter();
    return *level;
  }
  void Click(i32 x, i32 y) {
    h.Level()->Input().OnMouseMove(x, y, 0, 0);
    h.Level()->Input().OnMouseDown(x, y, kMouseLeft, 0);
    h.Level()->Input().OnMouseUp(x, y, kMouseLeft, 0);
    h.Step(20);
  }
  // A button over a house, clicked in its middle once it has appeared and
  // the pointer has rested on it.
  void ClickSprite(const ActiveScreenSprite* b) { ClickScreenSprite(h, b); }
  template <class F>
  bool StepUntil(F done, u32 limitMs = 120000) {
    for (u32 t = 0; t < limitMs; t += 20) {
      if (done()) return true;
      h.Step(20);
    }
    return done();
  }
  PointCowshed* Shed() { return dynamic_cast<PointCowshed*>(h.Level()->Map().GetPoint(kShed)); }
  PointSheepRack* Pen() { return dynamic_cast<PointSheepRack*>(h.Level()->Map().GetPoint(kPen)); }
  MapPlayer* Player() { return h.Level()->Map().GetCharacters()->GetPlayer(); }
  i32 Stock(const wchar* name) {
    const PRODUCT* p = GetProductList() ? GetProductList()->FindByName(name) : nullptr;
    return p ? h.Level()->Rules().Stock()->GetCount(p) : -1;
  }
  // The player at work in the job's animation (its turn to the facing over).
  bool Working(u16 jobId, const wchar* animation) {
    const Job* job = Player() ? Player()->GetCurrentJob() : nullptr;
    return job && job->GetJobId() == jobId && job->GetState() == kJobAnimating &&
           kis::StrCompareW(Player()->GetAnimationName(), animation) == 0;
  }
  // Left and entered again: the saved bytes of both leavings are the same.
  void LeaveAndEnterEqual() {
    GameLevel& level = *h.Level();
    level.Leave();
    ASSERT_NE(store.slots[0][kShedsLevel], nullptr);
    const kis::DataBuffer& first = *store.slots[0][kShedsLevel];
    const std::vector<u8> data(first.Data(), first.Data() + first.dataSize);
    const std::vector<u8> records(first.Records(), first.Records() + first.recordSize);
    h.Enter();
    level.Leave();
    const kis::DataBuffer& second = *store.slots[0][kShedsLevel];
    EXPECT_EQ(std::vector<u8>(second.Data(), second.Data() + second.dataSize), data);
    EXPECT_EQ(std::vector<u8>(second.Records(), second.Records() + second.recordSize), records);
    h.Enter();
    h.Start();
  }

  leveltest::LevelHarness h;
  testsupport::SavedLevelStore store;
  GameLevelSaves saves;
};

TEST_F(Sheds, FedMilkedAndShornByClicksAndSavedInEveryPhase) {
  ASSERT_TRUE(h.loaded);
  GameLevel& level = Make();
  Click(400, 300);  // the day starts
  ASSERT_TRUE(level.Rules().IsStarted());
  ASSERT_NE(Shed(), nullptr);
  ASSERT_NE(Pen(), nullptr);
  EXPECT_EQ(Shed()->GetLevel(), 3);
  EXPECT_EQ(Pen()->GetSheepCount(), 3);
  ClickSprite(Shed()->GetFeedButton());
  ClickSprite(Pen()->GetFeedButton());
  ASSERT_TRUE(StepUntil([&] { return Shed()->IsFilling() && Pen()->IsGrowing(); }, 20000));
  EXPECT_EQ(Shed()->GetCowCount(), 3);
  h.Step(2000);
  LeaveAndEnterEqual();  // growing
  EXPECT_TRUE(Shed()->IsFilling());
  EXPECT_TRUE(Pen()->IsGrowing());

  ASSERT_TRUE(StepUntil([&] { return Shed()->GetMilkButton() && Pen()->GetShearButton(); }));
  h.Step(400);
  LeaveAndEnterEqual();  // both waiting
  ASSERT_NE(Shed()->GetMilkButton(), nullptr);
  ASSERT_NE(Pen()->GetShearButton(), nullptr);

  const i32 milk = Stock(u"milk"), wool = Stock(u"wool");
  ClickSprite(Shed()->GetMilkButton());
  ASSERT_TRUE(StepUntil([&] { return Working(kJobMilkCows, kMilkCowsAnimation); }, 20000));
  h.Step(200);
  LeaveAndEnterEqual();  // milking inside the shed
  ASSERT_TRUE(StepUntil([&] { return Stock(u"milk") == milk + 3; }, 20000));
  EXPECT_FALSE(Shed()->IsFedFlag());

  ClickSprite(Pen()->GetShearButton());
  ASSERT_TRUE(StepUntil([&] { return Working(kJobCutSheeps, kCutSheepAnimation); }, 20000));
  h.Step(200);
  LeaveAndEnterEqual();  // shearing
  ASSERT_TRUE(StepUntil([&] { return Stock(u"wool") == wool + 3; }, 20000));
  ASSERT_TRUE(StepUntil([&] { return level.Rules().Tasks().GetResultShown() != kResultNone; }, 20000));
  EXPECT_EQ(level.Rules().Tasks().GetResultShown(), kResultWon);
}

}  // namespace
}  // namespace windowstest

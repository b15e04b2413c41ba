// The scenario raid (the scenario data set's sixth level) played through
// the harness with the world's own villains: the raider comes in, sets up,
// poisons a building, a shot is burst by a click, three clicks send it
// running paid; and a level saved mid-attack comes back with the villain,
// its jobs and a flying shot. One frame with all of them is written to
// villain_scene.png.
#include <gtest/gtest.h>

#include "base/DataBuffer.h"
#include "base/SavedStateStore.h"
#include "level/characters/Job.h"
#include "level/map/LevelMap.h"
#include "level/map/LevelPointCare.h"
#include "level/objects/LevelVillainCast.h"
#include "level/objects/MapVillain.h"
#include "level/objects/SSHealthBar.h"
#include "level/objects/VillainShot.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelTasks.h"
#include "level/scene/GameLevel.h"
#include "level/state/GameLevelSaves.h"
#include "testsupport/LevelHarness.h"

namespace leveltest {
namespace {

constexpr i32 kRaidLevel = 5;  // level_06

std::string ScenarioDataFolder() {
#ifdef TM_SCENARIO_DATA_DIR
  return TM_SCENARIO_DATA_DIR;
#else
  return {};
#endif
}

struct RaidStore : kis::SavedStateStore {
  ~RaidStore() override {
    for (auto& m : slots)
      for (kis::DataBuffer* b : m) delete b;
  }
  kis::DataBuffer** Slot(u32 mode, u32 level) override {
    return kis::IsSavedStateSlot(mode, level) ? &slots[mode][level] : nullptr;
  }
  kis::DataBuffer* slots[kis::kSavedPlayModes][kis::kSavedLevels] = {};
};

LevelVillainCast* Villains(GameLevel& level) { return dynamic_cast<LevelVillainCast*>(level.Hooks().villains); }

// Steps 10 ms at a time until the test holds; false when it never did.
template <class F>
bool StepUntil(LevelHarness& h, F done, i32 limit = 6000) {
  for (i32 i = 0; i < limit; ++i) {
    if (done()) return true;
    h.Step(10, 10);
  }
  return done();
}

// Clicks at the villain's hit ellipse (it faces west: its middle 18 to the left, 30 up).
void ClickVillain(LevelHarness& h, MapVillain* v) {
  h.ClickMap(static_cast<i32>(v->GetX()) - 18, static_cast<i32>(v->GetY()) - 30);
}

TEST(VillainScene, TheRaiderPoisonsABuildingLosesAShotAndIsDrivenOffPaid) {
  LevelHarness h(ScenarioDataFolder(), 800, 600);
  ASSERT_TRUE(h.loaded);
  GameLevel& level = h.Play(kRaidLevel);
  LevelVillainCast* cast = Villains(level);
  ASSERT_NE(cast, nullptr) << "the world made the villains";
  LevelRules& rules = level.Rules();
  const i32 money = rules.Money().Get();

  ASSERT_TRUE(StepUntil(h, [&] { return cast->GetVillain(0) != nullptr; }));
  MapVillain* v = cast->GetVillain(0);
  EXPECT_EQ(rules.Clock().GetTime(), 1500u);
  EXPECT_NE(v->GetArrivalMarker(), nullptr);
  ASSERT_TRUE(StepUntil(h, [&] { return v->GetState() == kVillainAttacking; }));
  EXPECT_EQ(v->GetX(), 980.0f);
  EXPECT_EQ(v->GetArrivalMarker(), nullptr);
  ASSERT_NE(v->GetCatapult(), nullptr);
  EXPECT_EQ(v->GetCatapult()->GetState(), 2);

  // The first shot flies and poisons its building: puffs rise.
  ASSERT_TRUE(StepUntil(h, [&] { return !cast->GetShots().empty(); }));
  const i32 target = cast->GetShots()[0]->GetTarget();
  ASSERT_TRUE(StepUntil(h, [&] { return GetPointDamage(level.Map().GetPoint(target)) != nullptr; }));
  h.Step(500, 10);
  EXPECT_GT(GetPointDamage(level.Map().GetPoint(target))->GetPuffCount(), 1u);

  // The second is burst in flight by a click: 10 coins.
  VillainShot* shot = nullptr;
  ASSERT_TRUE(StepUntil(h, [&] {
    for (VillainShot* s : cast->GetShots())
      if (!s->IsDead() && s->GetTravelled() > 60.0f) shot = s;
    return shot != nullptr;
  }));
  h.ClickMap(static_cast<i32>(shot->GetX()), static_cast<i32>(shot->GetY()));
  EXPECT_TRUE(shot->IsBurst());
  EXPECT_EQ(rules.Money().Get(), money + 10);

  // Three clicks: it runs away with its 40 coins paid, and the task is met.
  ClickVillain(h, v);
  ClickVillain(h, v);
  EXPECT_EQ(v->GetHealth(), 1);
  EXPECT_TRUE(v->GetHealthBar() && v->GetHealthBar()->IsVisible());
  ClickVillain(h, v);
  EXPECT_EQ(v->GetState(), kVillainDrivenOff);
  EXPECT_EQ(rules.Money().Get(), money + 50);
  EXPECT_EQ(rules.Tasks().GetResult(), kResultWon);
  // Once dead and its fade over it is deleted, drawn or not: only asked
  // while it is still among the map's objects.
  const auto gone = [&] {
    const auto& objects = h.Level()->Map().GetObjects();
    for (i32 i = 0; i < objects.GetCount(); ++i)
      if (objects[i] == v) return v->IsDead();
    return true;
  };
  ASSERT_TRUE(StepUntil(h, gone)) << "back at its start, gone";
}

TEST(VillainScene, ALevelSavedMidAttackComesBackWithTheVillainItsJobsAndAFlyingShot) {
  LevelHarness h(ScenarioDataFolder(), 800, 600);
  ASSERT_TRUE(h.loaded);
  GameLevel& level = h.Play(kRaidLevel);
  LevelVillainCast* cast = Villains(level);
  ASSERT_NE(cast, nullptr);
  ASSERT_TRUE(StepUntil(h, [&] {
    const MapVillain* v = cast->GetVillain(0);
    return v && v->GetShotJob() && cast->GetShots().size() == 1 && !cast->GetShots()[0]->IsDead() &&
           cast->GetShots()[0]->GetTravelled() > 40.0f;
  }));
  MapVillain* v = cast->GetVillain(0);
  ClickVillain(h, v);
  h.DrawFrame();
  h.WritePng("villain_scene.png");
  const i32 health = v->GetHealth(), shots = v->GetShotsLeft();
  const i32 step = v->GetShotJob()->GetStep();
  const float travelled = cast->GetShots()[0]->GetTravelled();

  RaidStore store;
  GameLevelSaves saves(&store, nullptr, cast);
  saves.SaveState(level);
  ASSERT_TRUE(saves.LoadSavedState(level));
  level.OnEnter();
  h.Start();
  v = cast->GetVillain(0);
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->GetState(), kVillainAttacking);
  EXPECT_EQ(v->GetHealth(), health);
  EXPECT_EQ(v->GetShotsLeft(), shots);
  ASSERT_NE(v->GetShotJob(), nullptr);
  EXPECT_EQ(v->GetShotJob()->GetStep(), step);
  ASSERT_EQ(cast->GetShots().size(), 1u);
  EXPECT_FLOAT_EQ(cast->GetShots()[0]->GetTravelled(), travelled);
  ASSERT_NE(v->GetCatapult(), nullptr);
  // It goes on: the flying shot lands and the villain can still be driven off.
  const i32 target = cast->GetShots()[0]->GetTarget();
  ASSERT_TRUE(StepUntil(h, [&] { return GetPointDamage(level.Map().GetPoint(target)) != nullptr; }));
  for (i32 i = 0; i < health; ++i) ClickVillain(h, v);
  EXPECT_EQ(v->GetState(), kVillainDrivenOff);
}

}  // namespace
}  // namespace leveltest

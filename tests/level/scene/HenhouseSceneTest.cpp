// The scenario set's chicken house level played through the headless
// harness with the game's own point classes: the feed button greys and
// lights as the wheat leaves and comes back to the warehouse, a click feeds
// the house, the first wandering phase lasts its time to the tick once the chickens
// are out, and the
// eggs of the three chickens are collected into the warehouse. And the
// level left in each phase of the house and entered again as it was.
#include <gtest/gtest.h>

#include <vector>

#include "base/DataBuffer.h"
#include "content/ProductList.h"
#include "level/map/LevelMap.h"
#include "level/objects/MapChicken.h"
#include "level/objects/PointHenhouse.h"
#include "level/rules/LevelRules.h"
#include "level/rules/WarehouseStock.h"
#include "level/scene/GameLevel.h"
#include "level/state/GameLevelSaves.h"
#include "testsupport/LevelHarness.h"
#include "testsupport/SavedLevelStore.h"
#include "hud/ASSArrowButton.h"
#include "hud/ASSPriceButton.h"

namespace {

using leveltest::LevelHarness;

u32 Click(ActiveScreenSprite* button) {
  return button->GetClickHandler()(button, button->GetHandlerOwner(), kMouseLeft);
}

TEST(HenhouseScene, FedByItsButtonItLaysAnEggAChickenAndTheEggsAreStored) {
  LevelHarness h(TM_SCENARIO_DATA_DIR, 800, 600);
  ASSERT_TRUE(h.loaded);
  GameLevel& level = h.Play(4);
  h.Step(200);
  auto* house = dynamic_cast<PointHenhouse*>(level.Map().GetPoint(1));
  ASSERT_NE(house, nullptr);
  ASSERT_EQ(house->GetLevel(), 3);
  WarehouseStock& stock = *level.Rules().Stock();
  const PRODUCT* wheat = house->GetBuilding()->feedProduct;
  const PRODUCT* egg = house->GetBuilding()->producedProduct;
  ASSERT_NE(house->GetFeedButton(), nullptr);
  EXPECT_EQ(house->GetFeedButton()->GetState(), 1u);

  // The stock's listener keeps the button with the wheat.
  const i32 wheatKept = stock.GetCount(wheat);
  stock.Take(wheat, wheatKept);
  EXPECT_EQ(house->GetFeedButton()->GetState(), 0u);
  stock.Add(wheat, wheatKept, false);
  EXPECT_EQ(house->GetFeedButton()->GetState(), 1u);

  Click(house->GetFeedButton());
  EXPECT_EQ(stock.GetCount(wheat), wheatKept - static_cast<i32>(house->FeedAmount()));
  u32 waited = 0;
  while (!house->IsFed() && waited < 20000) {
    h.Step(10, 10);
    waited += 10;
  }
  ASSERT_TRUE(house->IsFed());
  const u32 t0 = static_cast<u32>(house->GetCycle().timers[0]);
  const u32 shown = house->GetPendingDelay();  // the chickens coming out, one after another
  EXPECT_EQ(t0, 19840u);
  u32 phase0 = 0;
  while (house->GetCycle().phase == 0 && phase0 < 30000) {
    h.Step(10, 10);
    phase0 += 10;
  }
  EXPECT_EQ(phase0, shown + t0) << "at rate 1, to the tick, once the chickens are out";
  h.Step(200);
  EXPECT_EQ(house->GetChickenCount(), 3);
  for (i32 i = 0; i < 3; ++i) EXPECT_TRUE(house->GetChicken(i)->IsShown());

  u32 cycle = 0;
  while (house->GetCycle().phase < kPhaseEggs && cycle < 60000) {
    h.Step(20);
    cycle += 20;
  }
  ASSERT_EQ(house->GetCycle().phase, kPhaseEggs);
  EXPECT_EQ(house->GetCycle().eggCount, 3u);
  h.Step(400);
  ASSERT_NE(house->GetTakeEggsButton(), nullptr);
  Click(house->GetTakeEggsButton());
  u32 taking = 0;
  while (house->GetCycle().eggCount > 0 && taking < 20000) {
    h.Step(20);
    taking += 20;
  }
  EXPECT_EQ(stock.GetCount(egg), 3);
  EXPECT_FALSE(house->IsFedFlag());
}

// The saved bytes of a leaving: data, then records.
std::vector<u8> SavedBytes(const testsupport::SavedLevelStore& store, i32 level) {
  const kis::DataBuffer* b = store.slots[0][level];
  if (!b) return {};
  std::vector<u8> v(b->Data(), b->Data() + b->dataSize);
  v.insert(v.end(), b->Records(), b->Records() + b->recordSize);
  return v;
}

TEST(HenhouseScene, LeftInEachPhaseAndEnteredAgainAsItWas) {
  constexpr i32 kHenLevel = 4;
  LevelHarness h(TM_SCENARIO_DATA_DIR, 800, 600);
  ASSERT_TRUE(h.loaded);
  testsupport::SavedLevelStore store;
  GameLevelSaves saves(&store, &store, nullptr);
  h.saves = &saves;
  GameLevel& level = h.Play(kHenLevel);
  h.Step(200);
  auto house = [&] { return dynamic_cast<PointHenhouse*>(level.Map().GetPoint(1)); };
  ASSERT_NE(house(), nullptr);
  ASSERT_NE(house()->GetFeedButton(), nullptr);
  Click(house()->GetFeedButton());
  for (u32 phase = 0; phase <= kPhaseEggs; ++phase) {
    for (u32 t = 0; t < 60000 && !(house()->IsFedFlag() && house()->GetCycle().phase == phase); t += 20) h.Step(20);
    ASSERT_EQ(house()->GetCycle().phase, phase);
    h.Step(phase == 1 || phase == 3 ? 400 : 100);  // the chickens on their way
    const HENCYCLE cycle = house()->GetCycle();
    const i32 chickens = house()->GetChickenCount();
    level.Leave();
    const std::vector<u8> first = SavedBytes(store, kHenLevel);
    ASSERT_FALSE(first.empty()) << phase;
    h.Enter();
    ASSERT_NE(house(), nullptr) << phase;
    EXPECT_EQ(house()->GetCycle().phase, phase);
    EXPECT_EQ(house()->GetCycle().eggCount, cycle.eggCount) << phase;
    for (i32 i = 0; i < 4; ++i) EXPECT_EQ(house()->GetCycle().timers[i], cycle.timers[i]) << phase << " " << i;
    EXPECT_EQ(house()->GetChickenCount(), chickens) << phase;
    level.Leave();
    EXPECT_EQ(SavedBytes(store, kHenLevel), first) << phase;
    h.Enter();
    h.Start();
  }
  // The eggs laid before the leavings are still collected.
  ASSERT_NE(house()->GetTakeEggsButton(), nullptr);
  Click(house()->GetTakeEggsButton());
  for (u32 t = 0; t < 20000 && house()->GetCycle().eggCount > 0; t += 20) h.Step(20);
  EXPECT_EQ(level.Rules().Stock()->GetCount(house()->GetBuilding()->producedProduct), 3);
}

}  // namespace

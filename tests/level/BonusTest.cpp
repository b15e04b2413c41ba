// Bonus slots: charging, use, the set-back of the others, the effects and
// the level rates; the rain overlay's time and fades.
#include "LevelRig.h"
#include "content/ContentServices.h"
#include "level/rules/RainOverlay.h"
#include "level/scene/LevelServices.h"
#include "resources/ResourceServices.h"
#include "ui/UiServices.h"

using namespace leveltest;

namespace {

// The rig's bonuses charge 10, 20, ... 60 s, act 5 s, with effects 1.5,
// 2.0, ... 4.0.
CHOSENBONUSES Chosen(std::vector<u32> slots) {
  CHOSENBONUSES c;
  c.count = static_cast<u32>(slots.size());
  for (size_t i = 0; i < slots.size() && i < kMaxChosenBonuses; ++i) c.slots[i] = slots[i];
  return c;
}

}  // namespace

// Bees ready, speed at 0.3 of its charge, the last at 0.8: using the bees
// sets them to 0.75 and a full charge.
TEST(LevelBonuses, ChargeUseAndTheSetBackOfTheOthers) {
  LevelRig rig;
  rig.Info().chargeFactors[2] = 0.3f;
  rig.Info().chargeFactors[5] = 0.8f;
  rig.Info().chargeFactors[0] = 0.0f;
  LevelRules& level = rig.Make(0, Chosen({0, 2, 5, 4}));  // a fourth choice is not taken
  LevelBonuses& b = level.Bonuses();
  EXPECT_FALSE(b.GetSlot(4).available);
  EXPECT_EQ(b.GetSlot(2).timeLeft, 9000u);
  EXPECT_EQ(b.GetSlot(5).timeLeft, 48000u);
  for (u32 s : {0u, 2u, 5u}) b.RefreshBonusSlot(s, false);
  EXPECT_FLOAT_EQ(b.GetSlot(2).fraction, 0.3f);

  EXPECT_FALSE(b.UseBonus(2));  // still charging
  EXPECT_FALSE(b.UseBonus(1));  // not chosen
  EXPECT_FALSE(b.UseBonus(6));
  EXPECT_TRUE(b.UseBonus(0));
  EXPECT_FALSE(b.UseBonus(0));  // active
  EXPECT_TRUE(b.IsActive(0));
  EXPECT_EQ(b.GetSlot(0).timeLeft, 5000u);
  EXPECT_FLOAT_EQ(b.GetSlot(2).fraction, 0.75f);
  EXPECT_EQ(b.GetSlot(2).timeLeft, 22500u);
  EXPECT_FLOAT_EQ(b.GetSlot(5).fraction, 1.0f);
  EXPECT_EQ(b.GetSlot(5).timeLeft, 60000u);
  EXPECT_EQ(rig.log, Log{"drive off"});
  EXPECT_EQ(rig.profile.counters.records[kAwardRecordBonusMask], 1);

  // The slots count in the ticks: the bees end after 5 s and charge again.
  level.StartPlay();
  rig.Run(5000);
  EXPECT_FALSE(b.IsActive(0));
  EXPECT_EQ(b.GetSlot(0).timeLeft, 10000u);
  EXPECT_FLOAT_EQ(b.GetSlot(0).fraction, 1.0f);
  EXPECT_EQ(b.GetSlot(2).timeLeft, 17500u);
  EXPECT_EQ(rig.hud.bonusRefreshes[2], 2 + 500);
  EXPECT_EQ(rig.hud.bonusRefreshes[4], 0);
  rig.Run(10000);
  EXPECT_EQ(b.GetSlot(0).timeLeft, 0u);
  // A slot used before keeps the mask as it is; a new one adds its bit.
  rig.profile.counters.records[kAwardRecordBonusMask] = 4;
  EXPECT_TRUE(b.UseBonus(0));
  EXPECT_EQ(rig.profile.counters.records[kAwardRecordBonusMask], 5);

  // Once there is a result the slots stand.
  level.Tasks().Lose(0);
  const u32 left = b.GetSlot(2).timeLeft;
  rig.Run(1000);
  EXPECT_EQ(b.GetSlot(2).timeLeft, left);
  EXPECT_TRUE(b.IsActive(0));
}

// Rate 3 has a base of 2, the others 1.
TEST(LevelBonuses, TheRatesFollowTheActiveBonusesAndReachTheBuildingsAndThePlayer) {
  LevelRig rig;
  for (float& f : rig.Info().chargeFactors) f = 0.0f;  // charged from the start
  LevelRules& level = rig.Make(0, Chosen({2, 4, 5}));
  LevelBonuses& b = level.Bonuses();
  EXPECT_FLOAT_EQ(level.GetRate(kRateFactories), 2.0f);
  EXPECT_FLOAT_EQ(level.GetRate(kRateWalk), 1.0f);
  EXPECT_FLOAT_EQ(level.GetRate(6), 0.0f);
  EXPECT_TRUE(b.UseBonus(2));  // speed, 2.5
  for (u32 r : {kRateWalk, kRateObjects, kRateAnimation}) EXPECT_FLOAT_EQ(level.GetRate(r), 2.5f) << r;
  EXPECT_FLOAT_EQ(level.GetRate(kRatePlants), 1.0f);
  b.ActivateBonusEffect(4, false);  // factories, 3.5
  b.ActivateBonusEffect(5, false);  // animal houses, 4
  EXPECT_FLOAT_EQ(level.GetRate(kRateFactories), 7.0f);
  EXPECT_FLOAT_EQ(level.GetRate(kRateAnimalHouses), 4.0f);
  RateModifiers building;
  b.ApplyRateModifiers(kRateFactories, building);  // a building made now takes the bonus's factor
  EXPECT_FLOAT_EQ(building.GetRate(), 3.5f);
  b.EndBonus(2);
  b.EndBonus(4);
  for (u32 r = 0; r < kLevelRateCount; ++r) EXPECT_FLOAT_EQ(level.GetRate(r), r == 3 ? 2.0f : r == 2 ? 4.0f : 1.0f) << r;
  EXPECT_EQ(b.GetSlot(2).timeLeft, 30000u);
  EXPECT_EQ(rig.log, (Log{"walk 2.5", "speed 2.5", "running", "building 2 4 3.5", "building 1 5 4", "walk 1", "speed 1",
                          "not running", "building 2 4 1"}));
}

TEST(LevelBonuses, TheInstantHarvestCollectsAndChargesAgainInTheSameCall) {
  LevelRig rig;
  for (float& f : rig.Info().chargeFactors) f = 0.0f;
  LevelRules& level = rig.Make(0, Chosen({3, 1}));
  EXPECT_TRUE(level.Bonuses().UseBonus(3));
  const BONUSSLOT& s = level.Bonuses().GetSlot(3);
  EXPECT_FALSE(s.active);
  EXPECT_EQ(s.timeLeft, 40000u);
  EXPECT_FLOAT_EQ(s.fraction, 1.0f);  // the button shows it charging at once
  EXPECT_EQ(rig.log, Log{"collect"});
  EXPECT_FLOAT_EQ(level.Bonuses().GetSlot(1).fraction, 0.45f);
  // The rain's growth rate, and its beds watered.
  level.Bonuses().ActivateBonusEffect(1, true);
  EXPECT_FLOAT_EQ(level.GetRate(kRatePlants), 2.0f);
  EXPECT_EQ(rig.log.back(), "rain on beds");
}

// Three images of 60 ms; a fade-in of 500 ms and a fade-out of 1,000 ms
// on the game clock (a fade starts 10 ms in at its first step); the
// overlay ends once the rain is over and faded.
TEST(RainOverlay, LoopsItsImagesFadesInAndOutAndEndsAfterTheRain) {
  ResetResourceServices();
  ResetContentServices();
  ResetUiServices();
  ResetLevelServices();
  RainOverlay rain;
  u32 colour = 0, image = 0;
  rain.Start(0, 0, true);
  EXPECT_FALSE(rain.Prepare(true, &colour, &image));
  EXPECT_FALSE(rain.IsFading());
  rain.Start(3, 130, true);
  ASSERT_TRUE(rain.Prepare(true, &colour, &image));
  EXPECT_EQ(image, 2u);
  GetResourceServices().clock += 240;
  ASSERT_TRUE(rain.Prepare(true, &colour, &image));
  EXPECT_EQ(colour, 0x80FFFFFFu);  // half way
  GetResourceServices().clock += 300;
  rain.Advance(60);
  ASSERT_TRUE(rain.Prepare(true, &colour, &image));
  EXPECT_EQ(colour, 0xFFFFFFFFu);
  EXPECT_EQ(image, 0u);

  rain.FadeOut();
  ASSERT_TRUE(rain.Prepare(false, &colour, &image));
  GetResourceServices().clock += 490;
  ASSERT_TRUE(rain.Prepare(false, &colour, &image));
  EXPECT_EQ(colour, 0x80FFFFFFu);  // half way
  GetResourceServices().clock += 600;
  EXPECT_FALSE(rain.Prepare(false, &colour, &image));
  EXPECT_FALSE(rain.IsRunning());
  rain.Advance(100);
  EXPECT_EQ(rain.GetElapsed(), 190u);  // a stopped overlay's time stands
  rain.Start(3, 0, false);              // a restored rain: no fade
  ASSERT_TRUE(rain.Prepare(true, &colour, &image));
  EXPECT_EQ(colour, 0xFFFFFFFFu);
  ResetResourceServices();
  ResetContentServices();
  ResetUiServices();
  ResetLevelServices();
}

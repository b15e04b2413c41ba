#include <gtest/gtest.h>

#include "content/LevelRates.h"
#include "content/RateModifiers.h"

TEST(RateModifiers, TheRateIsTheProductOfTheFactorsTimesOnePlusTheBonuses) {
  RateModifiers r;
  EXPECT_FLOAT_EQ(r.GetRate(), 1.0f);
  EXPECT_FALSE(r.Set(1, false, 1.0f));  // neutral for an absent id: nothing
  EXPECT_TRUE(r.Set(1, false, 2.0f));
  EXPECT_TRUE(r.Set(2, true, 0.5f));
  EXPECT_FLOAT_EQ(r.GetRate(), 3.0f);
  EXPECT_FALSE(r.Set(2, true, 0.5f));  // the same value
  EXPECT_TRUE(r.Set(1, false, 1.0f));  // removed
  EXPECT_FLOAT_EQ(r.GetRate(), 1.5f);
  EXPECT_EQ(r.GetCount(false), 0u);
  // Three factors at most; a removal moves the later ones up.
  EXPECT_TRUE(r.Set(10, false, 2.0f));
  EXPECT_TRUE(r.Set(11, false, 3.0f));
  EXPECT_TRUE(r.Set(12, false, 0.5f));
  EXPECT_FALSE(r.Set(13, false, 4.0f));
  EXPECT_FLOAT_EQ(r.GetRate(), 4.5f);
  EXPECT_TRUE(r.Set(10, false, 1.0f));
  EXPECT_EQ(r.Get(false, 0).id, 11u);
  EXPECT_EQ(r.Get(false, 1).id, 12u);
  EXPECT_TRUE(r.Set(11, false, 6.0f));  // replaced in place
  EXPECT_EQ(r.Get(false, 0).id, 11u);
  EXPECT_FLOAT_EQ(r.GetRate(), 4.5f);
  r.Reset();
  EXPECT_FLOAT_EQ(r.GetRate(), 1.0f);
  EXPECT_EQ(r.GetCount(true), 0u);
}

// The factory bonus (4) speeds rate 3, which the factories (building kind 2)
// take; the animal-house bonus (5) speeds rate 2 of the animal houses (kind 1).
TEST(LevelRates, EachBonusDrivesItsRatesAndEachBuildingKindTakesItsRate) {
  float v[kLevelRateCount];
  GetBonusRateValues(kBonusFactories, 2.0f, v);
  EXPECT_EQ(RateOfBuildingKind(kBuildingKindFactory), static_cast<i32>(kRateFactories));
  EXPECT_FLOAT_EQ(v[kRateFactories], 2.0f);
  EXPECT_EQ(kRateFactories, 3u);
  GetBonusRateValues(kBonusAnimalHouses, 1.5f, v);
  EXPECT_EQ(RateOfBuildingKind(kBuildingKindAnimalHouse), static_cast<i32>(kRateAnimalHouses));
  EXPECT_FLOAT_EQ(v[kRateAnimalHouses], 1.5f);
  EXPECT_EQ(kRateAnimalHouses, 2u);
  EXPECT_EQ(RateOfBuildingKind(0), -1);
  const float expected[kBonusCount][kLevelRateCount] = {
      {0, 0, 0, 0, 0, 0}, {0, 3, 0, 0, 0, 0}, {3, 0, 0, 0, 3, 3},
      {0, 0, 0, 0, 0, 0}, {0, 0, 0, 3, 0, 0}, {0, 0, 3, 0, 0, 0}};
  for (u32 b = 0; b < kBonusCount; ++b) {
    GetBonusRateValues(b, 3.0f, v);
    for (u32 i = 0; i < kLevelRateCount; ++i) EXPECT_FLOAT_EQ(v[i], expected[b][i]) << b << " " << i;
  }
  // A level's rate with two bonuses' modifiers on it: their product.
  RateModifiers rate;
  rate.Set(BonusModifierId(kBonusSpeed), false, 1.5f);
  rate.Set(BonusModifierId(kBonusFactories), false, 2.0f);
  EXPECT_FLOAT_EQ(rate.GetRate(), 3.0f);
  EXPECT_EQ(BonusModifierId(5), 0xB0405005u);
}

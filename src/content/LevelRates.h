// LevelRates - the six rates of a running level, each the level record's
// base value times a RateModifiers record, and which bonus drives which.
//
// Rate 2 drives the animal houses (building kind 1: henhouse, cowshed, sheep
// pen) and rate 3 the factories (building kind 2): the bonus of index 4 speeds
// the factories, the bonus of index 5 the animal houses. The level passes a
// rate's modifiers to each building of the kind it drives.
#pragma once

#include "base/Types.h"
#include "content/GameBonuses.h"

constexpr u32 kLevelRateCount = 6;
constexpr u32 kRateWalk = 0;          // the player's walk speed and activity 0
constexpr u32 kRatePlants = 1;        // crop growth
constexpr u32 kRateAnimalHouses = 2;  // animal houses' cycles
constexpr u32 kRateFactories = 3;     // factories' production
constexpr u32 kRateObjects = 4;       // read by the level objects
constexpr u32 kRateAnimation = 5;     // the player's animation speed

// Building kinds of the building list.
constexpr u32 kBuildingKindAnimalHouse = 1;
constexpr u32 kBuildingKindFactory = 2;

// The id a bonus slot's modifiers carry in every rate.
constexpr u32 BonusModifierId(u32 slot) { return 0xB0405000u + slot; }

// The six rate values a bonus applies while it is active: its effect value
// in the rates it drives, 0 (no modifier) elsewhere.
inline void GetBonusRateValues(u32 bonus, float effect, float (&out)[kLevelRateCount]) {
  for (float& v : out) v = 0.0f;
  switch (bonus) {
    case kBonusRain: out[kRatePlants] = effect; break;
    case kBonusSpeed: out[kRateWalk] = out[kRateObjects] = out[kRateAnimation] = effect; break;
    case kBonusFactories: out[kRateFactories] = effect; break;
    case kBonusAnimalHouses: out[kRateAnimalHouses] = effect; break;
    default: break;  // bees and the instant harvest act at once
  }
}

// The rate whose modifiers a building of this kind receives; -1 for none.
constexpr i32 RateOfBuildingKind(u32 kind) {
  return kind == kBuildingKindAnimalHouse ? static_cast<i32>(kRateAnimalHouses)
         : kind == kBuildingKindFactory   ? static_cast<i32>(kRateFactories)
                                          : -1;
}

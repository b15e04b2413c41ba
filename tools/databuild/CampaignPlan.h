// CampaignPlan - the campaign's plan for its 41 levels: the level that brings
// each kind of object into play (with the text that introduces it), and the
// kinds each level uses. A level uses no kind before the level that brings
// it; each kind is brought exactly once; each bonus is the one a single
// level unlocks. A level file's kinds (KindsOfLevel) are its plan row's.
//
// The chains of the kinds are the building list's; three factories whose
// products are stored today without one (bread, cheese, cloth) come with
// later levels of the plan, which name them.
#pragma once

#include <string>

#include "base/Types.h"
#include "content/LevelInfo.h"

enum class PlanKind : u32 {
  kWheatBeds,
  kFlour,             // the flour mill and its flour
  kWarehouseUpgrade,  // the warehouse window and a warehouse that can be built up
  kHens,              // the henhouse and its eggs
  kPies,
  kBeet,
  kCows,              // the cowshed and its milk
  kGarbage,           // garbage on places and its clearing
  kToxic,             // toxic damage and its repair
  kVillains,
  kAppleTrees,
  kSheep,             // the sheep pen and its wool
  kBread,             // later factories: the bakery ("prod_bread"),
  kCheese,            // the dairy ("prod_cheese")
  kCloth,             // and the loom ("prod_cloth")
  kBees,              // the six bonuses, in the bonus list's order
  kRain,
  kSpeed,
  kInstant,
  kFactories,
  kAnimals,
  kCount
};
constexpr u32 kPlanKindCount = static_cast<u32>(PlanKind::kCount);
constexpr u32 kFirstBonusKind = static_cast<u32>(PlanKind::kBees);

constexpr u32 Bit(PlanKind k) { return 1u << static_cast<u32>(k); }

struct PlanKindInfo {
  const char* name;         // for messages: "wheat beds"
  u32 level;                // the level (1 to 41) that brings it
  const char* textSection;  // the language's section and key of the text that
  const char* textKey;      // introduces it: a tutorial's on a tutorial level, else the level's intro
};

struct PlanLevel {
  u32 uses;            // Bit() of each kind the level uses (a bonus: the one it unlocks)
  const char* name;    // its name's key in "info_panel"; null while the level has no file
  const char* intro;   // its intro's key in "info_panel"; null likewise
  bool tutorial;       // a level tutorial of the game introduces its kinds
};

const PlanKindInfo& PlanKindOf(PlanKind kind);
inline const PlanKindInfo& PlanKindOf(u32 kind) { return PlanKindOf(static_cast<PlanKind>(kind)); }
const PlanLevel& PlanOf(u32 level);  // level 0 to 40

// The kinds a level record uses: its plants, buildings (the warehouse when
// it can be built up), the products of its tasks and stock, garbage on its
// places, villains (and their toxic shots) when it has waves, the bonus it
// unlocks.
u32 KindsOfLevel(const LEVELINFO& level);

// The names of a kind mask, for messages ("beet, cows").
std::string PlanKindNames(u32 mask);

#include "CampaignPlan.h"

#include "base/Identifier.h"
#include "content/GameBonuses.h"
#include "content/LevelTable.h"

namespace {

constexpr u32 W = Bit(PlanKind::kWheatBeds), F = Bit(PlanKind::kFlour), U = Bit(PlanKind::kWarehouseUpgrade),
              H = Bit(PlanKind::kHens), P = Bit(PlanKind::kPies), B = Bit(PlanKind::kBeet), C = Bit(PlanKind::kCows),
              G = Bit(PlanKind::kGarbage), A = Bit(PlanKind::kAppleTrees), S = Bit(PlanKind::kSheep),
              BR = Bit(PlanKind::kBread), CH = Bit(PlanKind::kCheese), CL = Bit(PlanKind::kCloth);
// Villains always come with their toxic shots.
constexpr u32 V = Bit(PlanKind::kVillains) | Bit(PlanKind::kToxic);

// In the order of PlanKind.
constexpr PlanKindInfo kKinds[kPlanKindCount] = {
    {"wheat beds", 1, "tutorial", "level_01_4"},
    {"flour", 2, "tutorial", "level_02_4"},
    {"the warehouse window and upgrade", 3, "tutorial", "level_03_13"},
    {"hens and eggs", 4, "tutorial", "level_04_4"},
    {"pies", 5, "tutorial", "level_05_3"},
    {"beet", 7, "info_panel", "intro_beet"},
    {"cows and milk", 9, "info_panel", "intro_cowshed"},
    {"garbage and its clearing", 10, "info_panel", "intro_garbage"},
    {"toxic damage and repair", 6, "tutorial", "level_06_4"},
    {"villains", 6, "tutorial", "level_06_1"},
    {"apple trees", 12, "info_panel", "intro_apple_tree"},
    {"sheep and wool", 14, "info_panel", "intro_sheep_rack"},
    {"the bakery's bread", 16, "info_panel", "intro_prod_bread"},
    {"the dairy's cheese", 20, "info_panel", "intro_prod_cheese"},
    {"the loom's cloth", 24, "info_panel", "intro_prod_cloth"},
    // Level 2 unlocks the bees; the eighth level's tutorial shows them at work.
    {"the bees bonus", 2, "tutorial", "level_bonus_bees_1"},
    {"the rain bonus", 10, "info_panel", "intro_rain"},
    {"the speed bonus", 13, "info_panel", "intro_speed"},
    {"the instant bonus", 18, "info_panel", "intro_instant"},
    {"the factories bonus", 22, "info_panel", "intro_factories"},
    {"the animals bonus", 27, "info_panel", "intro_animals"},
};

constexpr u32 Bonus(PlanKind k) { return Bit(k); }

#define TM_DAY(n) "day_" #n, "day_" #n "_intro"
// One row a level, levels 1 to 41. Levels 1 to 6 and 8 teach through their
// tutorials (the eighth only the bees at work and a bed cleared away); 15
// and 29 have tutorials of one hint each, which bring nothing new: an
// intro opens them, as it does the days without a tutorial.
constexpr PlanLevel kLevels[kLevelCount] = {
    /* 1 */ {W, TM_DAY(01), true},
    /* 2 */ {W | F | Bonus(PlanKind::kBees), TM_DAY(02), true},
    /* 3 */ {W | F | U, TM_DAY(03), true},
    /* 4 */ {W | H, TM_DAY(04), true},
    /* 5 */ {W | F | H | P, TM_DAY(05), true},
    /* 6 */ {W | F | U | V, TM_DAY(06), true},
    /* 7 */ {W | F | U | B | V, TM_DAY(07), false},
    /* 8 */ {W | F | U | V, TM_DAY(08), true},
    /* 9 */ {W | U | H | B | C | V, TM_DAY(09), false},
    /* 10 */ {W | U | B | C | G | V | Bonus(PlanKind::kRain), TM_DAY(10), false},
    /* 11 */ {W | F | U | H | P | V, TM_DAY(11), false},
    /* 12 */ {W | U | H | A | V, TM_DAY(12), false},
    /* 13 */ {U | B | C | A | G | V | Bonus(PlanKind::kSpeed), TM_DAY(13), false},
    /* 14 */ {W | U | A | S | V, TM_DAY(14), false},
    /* 15 */ {W | F | U, TM_DAY(15), false},
    /* 16 */ {W | F | U | H | BR | V, TM_DAY(16), false},
    /* 17 */ {U | B | C | S | G | V, TM_DAY(17), false},
    /* 18 */ {W | F | U | H | P | A | V | Bonus(PlanKind::kInstant), TM_DAY(18), false},
    /* 19 */ {W | U | B | C | S | G | V, TM_DAY(19), false},
    /* 20 */ {U | B | C | CH | V, TM_DAY(20), false},
    /* 21 */ {W | F | U | H | BR | A | G | V, TM_DAY(21), false},
    /* 22 */ {W | F | U | H | P | B | C | CH | V | Bonus(PlanKind::kFactories), TM_DAY(22), false},
    /* 23 */ {W | U | S | A | G | V, TM_DAY(23), false},
    /* 24 */ {W | U | S | CL | V, TM_DAY(24), false},
    /* 25 */ {W | F | U | H | P | BR | V, TM_DAY(25), false},
    /* 26 */ {W | U | B | C | CH | S | CL | G | V, TM_DAY(26), false},
    /* 27 */ {W | F | U | H | B | C | A | V | Bonus(PlanKind::kAnimals), TM_DAY(27), false},
    /* 28 */ {W | F | U | BR | CH | G | V, TM_DAY(28), false},
    /* 29 */ {W | F | U, TM_DAY(29), false},
    /* 30 */ {W | U | S | CL | A | V, TM_DAY(30), false},
    /* 31 */ {W | F | U | H | P | B | C | G | V, TM_DAY(31), false},
    /* 32 */ {W | F | U | BR | S | CL | V, TM_DAY(32), false},
    /* 33 */ {U | B | C | CH | A | G | V, TM_DAY(33), false},
    /* 34 */ {W | F | U | H | P | BR | CH | V, TM_DAY(34), false},
    /* 35 */ {W | U | B | C | S | CL | A | V, TM_DAY(35), false},
    /* 36 */ {W | F | U | H | P | BR | G | V, TM_DAY(36), false},
    /* 37 */ {W | U | B | C | CH | S | CL | V, TM_DAY(37), false},
    /* 38 */ {W | F | U | H | P | A | BR | CH | G | V, TM_DAY(38), false},
    /* 39 */ {W | F | U | B | C | S | CL | CH | V, TM_DAY(39), false},
    /* 40 */ {W | F | U | H | P | B | C | A | S | G | V, TM_DAY(40), false},
    /* 41 */ {W | F | U | H | P | B | C | A | S | BR | CH | CL | G | V, TM_DAY(41), false},
};
#undef TM_DAY

struct NamedKind {
  const char* name;
  PlanKind kind;
};
// A plant, building or product of the tables, by name, and what it belongs to.
constexpr NamedKind kPlants[] = {{"wheat", PlanKind::kWheatBeds}, {"beta", PlanKind::kBeet},
                                 {"apple_tree", PlanKind::kAppleTrees}};
constexpr NamedKind kBuildings[] = {{"prod_flour", PlanKind::kFlour},   {"henhouse", PlanKind::kHens},
                                    {"prod_pie", PlanKind::kPies},      {"cowshed", PlanKind::kCows},
                                    {"sheep_rack", PlanKind::kSheep},   {"prod_bread", PlanKind::kBread},
                                    {"prod_cheese", PlanKind::kCheese}, {"prod_cloth", PlanKind::kCloth}};
constexpr NamedKind kProducts[] = {{"wheat", PlanKind::kWheatBeds}, {"beta", PlanKind::kBeet},
                                   {"apple", PlanKind::kAppleTrees}, {"egg", PlanKind::kHens},
                                   {"milk", PlanKind::kCows},        {"wool", PlanKind::kSheep},
                                   {"flour", PlanKind::kFlour},      {"bread", PlanKind::kBread},
                                   {"cheese", PlanKind::kCheese},    {"cloth", PlanKind::kCloth},
                                   {"pie", PlanKind::kPies}};

template <size_t n>
u32 KindOfId(const NamedKind (&table)[n], u32 id) {
  for (const NamedKind& k : table)
    if (kis::NameIdA(k.name) == id) return Bit(k.kind);
  return 0;
}

}  // namespace

const PlanKindInfo& PlanKindOf(PlanKind kind) { return kKinds[static_cast<u32>(kind) % kPlanKindCount]; }

const PlanLevel& PlanOf(u32 level) { return kLevels[level % kLevelCount]; }

u32 KindsOfLevel(const LEVELINFO& level) {
  u32 kinds = 0;
  for (u32 i = 0; i < level.plantCount && i < kMaxLevelPlants; ++i) kinds |= KindOfId(kPlants, level.plants[i].id);
  const u32 warehouse = kis::NameIdA("warehouse");
  for (u32 i = 0; i < level.buildingCount && i < kMaxLevelBuildings; ++i) {
    const KINDPAIR& b = level.buildings[i];
    kinds |= b.id == warehouse ? (b.value >= 2 ? U : 0) : KindOfId(kBuildings, b.id);
  }
  for (u32 i = 0; i < level.stockCount && i < kMaxLevelStock; ++i) kinds |= KindOfId(kProducts, level.stock[i].product);
  for (const LEVELREGIME& r : level.regimes)
    for (u32 t = 0; t < r.taskCount && t < kMaxLevelTasks; ++t) {
      const LEVELTASK& task = r.tasks[t];
      if (task.kind == 1) kinds |= KindOfId(kProducts, task.item);
      if (task.kind == 2) kinds |= KindOfId(kPlants, task.item);
      if (task.kind == 3) kinds |= KindOfId(kBuildings, task.item);
      if (task.kind == 4) kinds |= G;
    }
  for (const POINTDEF& p : level.points) {
    if (p.kind == 0 && p.id != 0) kinds |= G;
    if (p.kind == 2) kinds |= KindOfId(kPlants, p.id);
    if (p.kind == 3) kinds |= KindOfId(kBuildings, p.id);
  }
  if (!level.waves.empty()) kinds |= V;
  if (level.bonusId >= 0 && level.bonusId < static_cast<i32>(kBonusCount))
    kinds |= 1u << (kFirstBonusKind + static_cast<u32>(level.bonusId));
  return kinds;
}

std::string PlanKindNames(u32 mask) {
  std::string names;
  for (u32 k = 0; k < kPlanKindCount; ++k)
    if (mask & (1u << k)) names += (names.empty() ? "" : ", ") + std::string(kKinds[k].name);
  return names.empty() ? "nothing" : names;
}

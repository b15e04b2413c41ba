// The campaign's plan (CampaignPlan) and the level files of tools/data/levels
// against it: every kind brought by one level and used by none before it,
// every bonus unlocked by one level, each file's kinds its plan row's, each
// introduction with its texts, villain waves never fewer than the day before; and the signs of levels made by hand: no two
// sharing a ground layout, every place reached by a drawn path from the
// player's start, at least 12 decorations.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <cmath>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "CampaignPlan.h"
#include "ContentSources.h"
#include "DataArchiveModule.h"
#include "DataSetBuild.h"
#include "Manifest.h"
#include "base/Identifier.h"
#include "platform/encoding/Utf.h"
#include "testsupport/TempFolder.h"

namespace {

const std::string kPlanSources = TM_DATA_SOURCE_DIR;

bool ReadPlanSources(ContentSourceTables* tables, const std::string& levels = {}) {
  BuildOptions options;
  options.sourceDir = kPlanSources;
  options.levelsDir = levels;
  DataSetBuild build(options);
  return ReadContentTables(build, *tables);
}

bool HasFile(const LEVELINFO& l) { return l.regimes[0].taskCount > 0; }

std::string Narrow(const wchar* text) {
  std::string s;
  for (; *text; ++text) s += static_cast<char>(*text);
  return s;
}

// The manifest's texts, as "section/key".
std::set<std::string> ManifestTexts() {
  Manifest manifest;
  std::string error;
  EXPECT_TRUE(manifest.Load(kPlanSources + "/names.txt", &error)) << error;
  std::set<std::string> texts;
  for (const ManifestEntry& e : manifest.Entries())
    if (e.kind == NameKind::kText) texts.insert(e.section + "/" + e.name);
  return texts;
}

TEST(CampaignPlan, EveryKindComesOnceBeforeAnyUseAndEveryFileKeepsItsRowAndIntroducesWhatItBrings) {
  // The table itself, over all 41 levels.
  u32 seen = 0;
  for (u32 n = 0; n < kLevelCount; ++n) {
    const u32 uses = PlanOf(n).uses;
    for (u32 k = 0; k < kPlanKindCount; ++k) {
      const PlanKindInfo& kind = PlanKindOf(k);
      ASSERT_TRUE(kind.level >= 1 && kind.level <= kLevelCount) << kind.name;
      if (!(uses & (1u << k))) continue;
      EXPECT_GE(n + 1, kind.level) << "level " << n + 1 << " uses " << kind.name << " before level " << kind.level;
      // A bonus is the one its level unlocks: one level a bonus, one bonus a level.
      if (k >= kFirstBonusKind) {
        EXPECT_EQ(n + 1, kind.level) << kind.name << " unlocked again by level " << n + 1;
      }
    }
    EXPECT_LE(__builtin_popcount(uses >> kFirstBonusKind), 1) << "level " << n + 1 << " unlocks two bonuses";
    seen |= uses;
  }
  for (u32 k = 0; k < kPlanKindCount; ++k) {
    const PlanKindInfo& kind = PlanKindOf(k);
    EXPECT_TRUE(PlanOf(kind.level - 1).uses & (1u << k)) << kind.name << ": its level does not use it";
  }
  EXPECT_EQ(seen, (1u << kPlanKindCount) - 1) << "a kind no level uses";
  EXPECT_EQ(PlanKindOf(PlanKind::kBees).level, 2u) << "level 2 unlocks the bees";
  EXPECT_EQ(PlanKindOf(PlanKind::kVillains).level, 6u);
  EXPECT_EQ(PlanKindOf(PlanKind::kToxic).level, 6u);

  // The files: their kinds are their rows', what their level brings is
  // introduced (by its tutorial, or its intro's lines), their names and
  // intros are texts of the language.
  ContentSourceTables tables;
  ASSERT_TRUE(ReadPlanSources(&tables));
  const std::set<std::string> texts = ManifestTexts();
  u32 files = 0;
  size_t waves = 0;  // of the last level with villains: later days never bring fewer
  for (u32 n = 0; n < kLevelCount; ++n) {
    const LEVELINFO& l = tables.levels[n];
    const PlanLevel& plan = PlanOf(n);
    if (!HasFile(l)) continue;
    ++files;
    const u32 kinds = KindsOfLevel(l);
    if (plan.uses & Bit(PlanKind::kVillains)) {
      EXPECT_GE(l.waves.size(), waves) << "level " << n + 1 << ": fewer villain waves than the day before";
      waves = l.waves.size();
    }
    // As the Hard Days' hint says: the same farm with a bigger order (at least as many tasks, more asked in all).
    i64 asked[kLevelRegimes] = {};
    for (u32 r = 0; r < kLevelRegimes; ++r)
      for (u32 t = 0; t < l.regimes[r].taskCount; ++t) asked[r] += l.regimes[r].tasks[t].target;
    EXPECT_TRUE(l.regimes[1].taskCount >= l.regimes[0].taskCount && asked[1] > asked[0]) << "level " << n + 1;
    EXPECT_EQ(kinds, plan.uses) << "level " << n + 1 << " uses " << PlanKindNames(kinds) << "; its plan row "
                                << PlanKindNames(plan.uses);
    std::set<std::string> introKeys;
    for (const INFOENTRY& e : l.intro) introKeys.insert(Narrow(e.textKey));
    for (u32 k = 0; k < kPlanKindCount; ++k) {
      const PlanKindInfo& kind = PlanKindOf(k);
      if (kind.level != n + 1) continue;
      EXPECT_TRUE(texts.count(std::string(kind.textSection) + "/" + kind.textKey)) << kind.textKey;
      if (!plan.tutorial) {
        EXPECT_TRUE(introKeys.count(kind.textKey)) << "level " << n + 1 << ": " << kind.name;
      }
    }
    if (plan.name) {
      EXPECT_TRUE(texts.count(std::string("info_panel/") + plan.name)) << plan.name;
      EXPECT_TRUE(texts.count(std::string("info_panel/") + plan.intro)) << plan.intro;
    }
    if (!plan.tutorial) {
      // An intro of its own opens the day: its name and what the day is.
      ASSERT_FALSE(l.intro.empty()) << "level " << n + 1;
      ASSERT_TRUE(plan.name) << "level " << n + 1;
      EXPECT_EQ(Narrow(l.intro[0].itemName), plan.name);
      EXPECT_EQ(Narrow(l.intro[0].textKey), plan.intro);
    }
    for (const INFOENTRY& e : l.intro)
      if (e.textKey[0]) {
        EXPECT_TRUE(texts.count("info_panel/" + Narrow(e.textKey))) << Narrow(e.textKey);
      }
  }
  EXPECT_GE(files, 21u) << "levels 1 to 20 and 29";
  for (u32 n = 0; n < 20; ++n) EXPECT_TRUE(HasFile(tables.levels[n])) << "level " << n + 1;
}

// --- Made by hand ---------------------------------------------------------------------------------

constexpr i32 kPlanTileW = 256, kPlanTileH = 128;  // a ground tile (tables/ground.txt)
constexpr i32 kPathReach = 96;                     // a place this near a path's tile is on the road

// The drawn paths: layer-1 tiles of the path grounds.
bool IsPathTile(const GROUNDPLACEMENT& g) {
  static const std::set<u32> paths = [] {
    std::set<u32> s;
    for (const char* n : {"path_we", "path_ns", "path_cross", "path_ne", "path_nw", "path_se", "path_sw"})
      s.insert(kis::NameIdA(n));
    return s;
  }();
  return g.layer == 1 && paths.count(g.groundId) > 0;
}

i32 DistanceToTile(i32 x, i32 y, const GROUNDPLACEMENT& t) {
  const i32 dx = std::max({t.x - x, 0, x - (t.x + kPlanTileW)});
  const i32 dy = std::max({t.y - y, 0, y - (t.y + kPlanTileH)});
  return static_cast<i32>(std::lround(std::hypot(dx, dy)));
}

// The path tiles joined to the one nearest the player's start (tiles next
// to each other, side by side or end to end, are one road).
std::vector<GROUNDPLACEMENT> RoadFromStart(const LEVELINFO& l) {
  std::vector<GROUNDPLACEMENT> tiles;
  for (const GROUNDPLACEMENT& g : l.ground)
    if (IsPathTile(g)) tiles.push_back(g);
  if (tiles.empty()) return {};
  size_t first = 0;
  for (size_t i = 1; i < tiles.size(); ++i)
    if (DistanceToTile(l.playerX, l.playerY, tiles[i]) < DistanceToTile(l.playerX, l.playerY, tiles[first])) first = i;
  if (DistanceToTile(l.playerX, l.playerY, tiles[first]) > kPathReach) return {};
  std::vector<bool> joined(tiles.size(), false);
  std::vector<size_t> open{first};
  joined[first] = true;
  while (!open.empty()) {
    const GROUNDPLACEMENT a = tiles[open.back()];
    open.pop_back();
    for (size_t i = 0; i < tiles.size(); ++i) {
      const i32 dx = std::abs(tiles[i].x - a.x), dy = std::abs(tiles[i].y - a.y);
      if (joined[i] || !((dx == kPlanTileW && dy == 0) || (dx == 0 && dy == kPlanTileH))) continue;
      joined[i] = true;
      open.push_back(i);
    }
  }
  std::vector<GROUNDPLACEMENT> road;
  for (size_t i = 0; i < tiles.size(); ++i)
    if (joined[i]) road.push_back(tiles[i]);
  return road;
}

TEST(CampaignPlan, EveryLevelFileIsMadeByHandItsOwnGroundItsPlacesOnTheRoadAndTwelveDecorations) {
  ContentSourceTables tables;
  ASSERT_TRUE(ReadPlanSources(&tables));
  using Tile = std::tuple<u32, i32, i32, u8>;
  std::vector<std::pair<u32, std::multiset<Tile>>> layouts;
  for (u32 n = 0; n < kLevelCount; ++n) {
    const LEVELINFO& l = tables.levels[n];
    if (!HasFile(l)) continue;
    std::multiset<Tile> layout;
    u32 layer2 = 0;
    for (const GROUNDPLACEMENT& g : l.ground) {
      layout.insert(Tile{g.groundId, g.x, g.y, g.layer});
      layer2 += g.layer == 2 ? 1 : 0;
    }
    EXPECT_GE(layer2 + l.decorations.size(), 12u) << "level " << n + 1 << ": decorations";
    const std::vector<GROUNDPLACEMENT> road = RoadFromStart(l);
    EXPECT_FALSE(road.empty()) << "level " << n + 1 << ": the player starts off the road";
    for (size_t i = 0; i < l.points.size(); ++i) {
      i32 nearest = 1 << 30;
      for (const GROUNDPLACEMENT& t : road) nearest = std::min(nearest, DistanceToTile(l.points[i].x, l.points[i].y, t));
      EXPECT_LE(nearest, kPathReach) << "level " << n + 1 << ": point " << i << " off the road from the start";
    }
    // At least a quarter of the tiles differ in name or place from every
    // other level's (of the larger layout of the two).
    for (const auto& [m, other] : layouts) {
      std::vector<Tile> shared;
      std::set_intersection(layout.begin(), layout.end(), other.begin(), other.end(), std::back_inserter(shared));
      const size_t larger = std::max(layout.size(), other.size());
      EXPECT_LE(4 * shared.size(), 3 * larger)
          << "levels " << m + 1 << " and " << n + 1 << " share " << shared.size() << " of " << larger << " tiles";
    }
    layouts.emplace_back(n, std::move(layout));
  }
}

// The builder refuses a day the game could not play as written: a task
// met before play starts (the game would win it at once), a place whose
// centre lies outside the play rectangle (the level and the place named)
// and a bed above the level its kind may reach there (the game leaves such
// a point out).
TEST(CampaignPlan, TheBuilderRefusesALevelWhoseTaskIsMetAtTheStartOrWhosePointOutgrowsItsKind) {
  std::stringstream read;
  read << std::ifstream(kPlanSources + "/levels/level_07.txt", std::ios::binary).rdbuf();
  const std::string source = read.str();
  ASSERT_NE(source.find("\t\ttask = products, 5, beta, 0\n"), std::string::npos);
  TempFolder folder;
  // (the line replaced, its replacement, what the message says)
  const std::tuple<std::string, std::string, std::string> faults[] = {
      {"\t\ttask = money, 600\n", "\t\ttask = money, 350\n", "hard: task 3 (money, 350) is met before play starts (350)"},
      {"\tstock = x\n", "\tstock = beta, 5\n", "easy: task 1 (products, 5) is met before play starts (5)"},
      {"\t\ttask = products, 3, flour, 0\n", "\t\ttask = clean, 6\n", "easy: task 2 (clean, 6) is met before play starts (6)"},
      {"wheat, 2, 1120403456", "wheat, 3, 1120403456", "point 4: level 3, above the level's limit of its kind (2)"},
      {"\tpoint = empty, 200, 560, none, 0, 0\n", "\tpoint = building, 200, 560, henhouse, 1\n",
       "point 5: level 1, a kind the level does not allow"},
      {"point = empty, 200, 560", "point = empty, 1136, 560", "point 5 at 1136, 560: its centre lies outside"},
      {"point = empty, 330, 330", "point = empty, 330, 15", "point 2 at 330, 15: its centre lies outside"},
  };
  u32 n = 0;
  for (const auto& [line, instead, message] : faults) {
    std::string level = source;
    if (line == "\tstock = x\n") {
      level.insert(level.find("\tplant = wheat"), instead);
    } else {
      ASSERT_NE(level.find(line), std::string::npos) << line;
      level.replace(level.find(line), line.size(), instead);
    }
    const std::string sub = "fault" + std::to_string(n++);
    std::filesystem::create_directories(folder.File(sub));
    folder.Put(sub + "/level_07.txt", level);
    ContentSourceTables tables;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(ReadPlanSources(&tables, folder.File(sub))) << message;
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("level_07.txt"), std::string::npos) << said;
    EXPECT_NE(said.find(message), std::string::npos) << said;
  }
  std::filesystem::create_directories(folder.File("sound"));
  folder.Put("sound/level_07.txt", source);
  ContentSourceTables tables;
  EXPECT_TRUE(ReadPlanSources(&tables, folder.File("sound")));
}

}  // namespace

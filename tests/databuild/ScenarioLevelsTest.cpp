// The scenario levels (tools/data/scenarios) as `databuild --levels` makes
// them: every level the game's level reader reads back from the scenario
// data set (the CTest fixture) is the record its source gives, the first is
// the garbage yard, the second allows plants and buildings on its empty
// places, and the level folder holds level files and nothing else.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "ContentSources.h"
#include "DataArchiveModule.h"
#include "DataSetBuild.h"
#include "base/Identifier.h"
#include "base/datafile/DataFileReader.h"
#include "content/ContentArchive.h"
#include "content/LevelTable.h"
#include "platform/encoding/Utf.h"
#include "testsupport/TempFolder.h"

namespace {

const std::string kSources = TM_DATA_SOURCE_DIR;
const std::string kScenarios = kSources + "/scenarios";

// The levels of a built data set, as the game reads them.
std::unique_ptr<LevelTable> ReadBuiltLevels(const std::string& folder) {
  auto levels = std::make_unique<LevelTable>();
  const std::u16string path = plat::Utf8ToUtf16(folder + "/Data.dat");
  kis::DataFileReaderW* data =
      kis::OpenDataFileReaderW(path.c_str(), kDataArchiveSignature1, kDataArchiveSignature2, kDataArchiveVersion);
  EXPECT_NE(data, nullptr) << folder;
  if (!data) return levels;
  SectionCursor cursor;
  for (int calls = 0; levels->ReadChunk(data, &cursor) == 0 && calls < 1000; ++calls) {
  }
  EXPECT_EQ(cursor.error, 0u) << folder;
  kis::CloseDataFile(data);
  return levels;
}

// Every stored field of `read` is `made`'s (the writer's omissions show:
// no record is written again). Records without padding compare as bytes.
template <class T>
bool SameBytes(const T& a, const T& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}
template <class T>
bool SameBytes(const std::vector<T>& a, const std::vector<T>& b) {
  return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}
void ExpectSameLevel(const LEVELINFO& read, const LEVELINFO& made, u32 n) {
#define TM_SAME(field) EXPECT_TRUE(SameBytes(read.field, made.field)) << "level " << n + 1 << ": " #field
  TM_SAME(head);
  TM_SAME(mapCell);
  TM_SAME(mapGroup);
  TM_SAME(regimes);
  TM_SAME(startMoney);
  TM_SAME(bonusId);
  TM_SAME(restoreCheck);
  TM_SAME(baseRates);
  TM_SAME(plantCount);
  TM_SAME(plants);
  TM_SAME(buildingCount);
  TM_SAME(buildings);
  TM_SAME(stockCount);
  TM_SAME(stock);
  TM_SAME(chargeFactors);
  TM_SAME(music);
  TM_SAME(playerX);
  TM_SAME(playerY);
  TM_SAME(emptyPlaceSprite);
  TM_SAME(treeSpotSprite);
  TM_SAME(villainSlotCount);
  TM_SAME(villainSlots);
  TM_SAME(firstRepeatWave);
  TM_SAME(repeatLength);
  TM_SAME(obstacles);
  TM_SAME(waves);
  TM_SAME(emitters);
  TM_SAME(intro);
#undef TM_SAME
  auto ground = [](const GROUNDPLACEMENT& g) { return std::tuple(g.x, g.y, g.layer, g.groundId); };
  auto decoration = [](const MAPOBJECTDEF& d) {
    return std::tuple(d.type, std::u16string(d.name, 32), d.layer, d.x, d.y, d.kind, d.mirrored, d.systemId, d.sortX,
                      d.sortY, d.spaceParam);
  };
  auto point = [](const POINTDEF& p) {
    return std::tuple(p.kind, p.level, p.id, p.price, p.extra[0], p.extra[1], p.x, p.y, p.mark);
  };
  ASSERT_EQ(read.ground.size(), made.ground.size()) << n;
  for (size_t i = 0; i < read.ground.size(); ++i) EXPECT_EQ(ground(read.ground[i]), ground(made.ground[i])) << n;
  ASSERT_EQ(read.decorations.size(), made.decorations.size()) << n;
  for (size_t i = 0; i < read.decorations.size(); ++i)
    EXPECT_EQ(decoration(read.decorations[i]), decoration(made.decorations[i])) << n;
  ASSERT_EQ(read.points.size(), made.points.size()) << n;
  for (size_t i = 0; i < read.points.size(); ++i) EXPECT_EQ(point(read.points[i]), point(made.points[i])) << n;
}

// The builder's tables read from the sources with the levels of `levels`.
bool ReadSources(const std::string& levels, ContentSourceTables* tables) {
  BuildOptions options;
  options.sourceDir = kSources;
  options.levelsDir = levels;
  DataSetBuild build(options);
  return ReadContentTables(build, *tables);
}

u32 Id(const char* name) { return kis::NameIdA(name); }

constexpr u32 kScenarioLevels = 9;  // the files of tools/data/scenarios

TEST(ScenarioLevels, EveryLevelReadsBackAsItsSourceSaysAndTheSecondAllowsPlantsAndBuildings) {
  ContentSourceTables sources;
  ASSERT_TRUE(ReadSources(kScenarios, &sources));
  const std::unique_ptr<LevelTable> built = ReadBuiltLevels(TM_SCENARIO_DATA_DIR);
  u32 levels = 0;
  for (u32 n = 0; n < kLevelCount; ++n) {
    EXPECT_EQ(built->Get(n).loaded, n < kScenarioLevels) << n;
    ExpectSameLevel(built->Get(n), sources.levels[n], n);
    levels += sources.levels[n].regimes[0].taskCount > 0 ? 1 : 0;
  }
  EXPECT_EQ(levels, kScenarioLevels);
  // The sixth, the raid: a villain slot and its wave.
  const LEVELINFO& raid = built->Get(5);
  ASSERT_EQ(raid.villainSlotCount, 1u);
  EXPECT_EQ(raid.villainSlots[0].x, 980);
  ASSERT_EQ(raid.waves.size(), 1u);
  EXPECT_EQ(raid.waves[0].villainKind, Id("raider"));
  for (u32 c = 0; c < kMapGridCells; ++c) EXPECT_EQ(built->GetGridCell(c), sources.grid[c]) << c;
  // The campaign's cells and groups, as in the sample data set.
  const std::unique_ptr<LevelTable> sample = ReadBuiltLevels(TM_SAMPLE_DATA_DIR);
  for (u32 n = 0; n < kLevelCount; ++n) {
    EXPECT_EQ(built->Get(n).mapCell, sample->Get(n).mapCell) << n;
    EXPECT_EQ(built->Get(n).mapGroup, sample->Get(n).mapGroup) << n;
  }
  // The seventh's wheat bed of level 2 is dry: no water left of two.
  const POINTDEF& dry = built->Get(6).points.at(1);
  EXPECT_EQ(dry.kind, 2u);
  EXPECT_EQ(dry.level, 2);
  EXPECT_EQ(dry.extra[0], 0u);
  EXPECT_EQ(dry.extra[1], 2u);

  // The first is the garbage yard the level scene's tests play: three
  // places of garbage to clear in both modes.
  const LEVELINFO& yard = built->Get(0);
  ASSERT_EQ(yard.points.size(), 3u);
  for (const POINTDEF& p : yard.points) EXPECT_TRUE(p.kind == 0u && p.id != 0u && p.price > 0u);
  for (u32 r = 0; r < kLevelRegimes; ++r)
    EXPECT_TRUE(yard.regimes[r].taskCount == 1u && yard.regimes[r].tasks[0].kind == 4u &&
                yard.regimes[r].tasks[0].target == 3) << r;

  // The sample set's second level is the campaign's mill, wheat its one
  // plant: these levels came from the folder.
  EXPECT_EQ(ReadBuiltLevels(TM_SAMPLE_DATA_DIR)->Get(1).plantCount, 1u);
  const LEVELINFO& farm = built->Get(1);
  EXPECT_EQ(farm.startMoney, 1500);
  const char* plants[] = {"wheat", "beta", "apple_tree"};
  ASSERT_EQ(farm.plantCount, 3u);
  for (u32 i = 0; i < 3; ++i) {
    EXPECT_EQ(farm.plants[i].id, Id(plants[i])) << plants[i];
    EXPECT_EQ(farm.plants[i].value, 4);
    EXPECT_EQ(farm.plantKinds[i], nullptr);  // no plant table installed
  }
  const char* buildings[] = {"warehouse", "prod_flour", "prod_pie", "henhouse", "cowshed", "sheep_rack"};
  ASSERT_EQ(farm.buildingCount, 6u);
  for (u32 i = 0; i < 6; ++i) {
    EXPECT_EQ(farm.buildings[i].id, Id(buildings[i])) << buildings[i];
    EXPECT_EQ(farm.buildings[i].value, 4);
  }
  ASSERT_EQ(farm.stockCount, 2u);
  EXPECT_EQ(farm.stock[0].product, Id("wheat"));
  EXPECT_EQ(farm.stock[0].count, 4);
  EXPECT_EQ(farm.stock[1].product, Id("egg"));
  // A warehouse, a wheat bed, five empty places to build on and one of weeds.
  ASSERT_EQ(farm.points.size(), 8u);
  EXPECT_EQ(farm.points[0].kind, 1u);
  EXPECT_EQ(farm.points[0].id, Id("warehouse"));
  EXPECT_EQ(farm.points[0].level, 1);
  EXPECT_EQ(farm.points[1].kind, 2u);
  EXPECT_EQ(farm.points[1].id, Id("wheat"));
  for (u32 i = 2; i < 7; ++i) {
    EXPECT_EQ(farm.points[i].kind, 0u) << i;
    EXPECT_EQ(farm.points[i].id, 0u) << i;
    EXPECT_EQ(farm.points[i].price, 0u) << i;
  }
  EXPECT_EQ(farm.points[7].id, Id("weeds"));
  EXPECT_EQ(farm.points[7].price, 50u);
  // Its first task asks for a building: a mill (easy), of level 2 (hard).
  for (u32 r = 0; r < kLevelRegimes; ++r) {
    const LEVELTASK& mill = farm.regimes[r].tasks[0];
    EXPECT_EQ(mill.kind, 3u) << r;
    EXPECT_EQ(mill.item, Id("prod_flour")) << r;
    EXPECT_EQ(mill.minLevel, static_cast<i32>(r + 1)) << r;
    EXPECT_EQ(mill.target, 1) << r;
  }
}

TEST(ScenarioLevels, TheLevelFolderHoldsLevelFilesOnly) {
  TempFolder folder;
  std::stringstream read;
  read << std::ifstream(kScenarios + "/level_03.txt", std::ios::binary).rdbuf();
  const std::string source = read.str();
  ASSERT_FALSE(source.empty());
  auto levelsIn = [&](const std::string& sub, std::vector<std::string> files) {
    std::filesystem::create_directories(folder.File(sub));
    for (const std::string& f : files) folder.Put(sub + "/" + f, source);
    ContentSourceTables tables;
    return ReadSources(folder.File(sub), &tables);
  };
  EXPECT_FALSE(levelsIn("empty", {}));
  EXPECT_FALSE(levelsIn("misnamed", {"level_01.txt", "level_1.txt"}));
  EXPECT_FALSE(levelsIn("past_the_last", {"level_42.txt"}));
  EXPECT_FALSE(levelsIn("other", {"level_01.txt", "notes.txt"}));
  // A level's cell and group are the campaign table's, never its file's.
  for (const char* line : {"\tcell = 3\n", "\tgroup = 0\n"}) {
    const std::string sub = std::string("sets_") + (line[1] == 'c' ? "cell" : "group");
    std::filesystem::create_directories(folder.File(sub));
    std::string own = source;
    own.insert(own.find("level {") + 8, line);
    folder.Put(sub + "/level_01.txt", own);
    ContentSourceTables refused;
    EXPECT_FALSE(ReadSources(folder.File(sub), &refused)) << sub;
  }
  ContentSourceTables none;
  EXPECT_FALSE(ReadSources(folder.File("missing"), &none));
  // Hidden files aside; a level may stand alone at its number.
  std::filesystem::create_directories(folder.File("alone"));
  folder.Put("alone/.level_03.txt.swp", "x");
  folder.Put("alone/level_07.txt", source);
  ContentSourceTables tables;
  ASSERT_TRUE(ReadSources(folder.File("alone"), &tables));
  ASSERT_GE(tables.levels[6].mapCell, 0);
  EXPECT_EQ(tables.grid[tables.levels[6].mapCell], 6);
  for (u32 n = 0; n < kLevelCount; ++n) EXPECT_EQ(tables.levels[n].regimes[0].taskCount > 0, n == 6) << n;
}

}  // namespace

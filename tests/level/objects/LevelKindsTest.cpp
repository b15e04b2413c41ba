// The plant and building kinds on a level: a level record allowing plants
// and buildings, written by the level writer and read back, loaded by the
// level's stages with the real tables, and played with the point classes'
// making half faked (FakeClasses' CreatePoint): the kinds are marked once,
// a building task counts the points by their record's id, and a rate
// modifier reaches the buildings of its kind only.
#include <gtest/gtest.h>

#include "../MapRig.h"
#include "content/ContentServices.h"
#include "content/LevelRates.h"
#include "content/LevelTable.h"
#include "level/rules/LevelTasks.h"
#include "level/scene/GameLevel.h"

using namespace leveltest;
using testsupport::KindTables;

namespace {

POINTDEF Point(u32 kind, const char16_t* name, i32 x) {
  return POINTDEF{kind, 1, kis::NameId(name), 0, {0, 0}, x, 300, 0};
}

// Level 0 of a table written and read back: wheat twice (limits 2, then 3),
// the factory "prod_cake" (limit 3) and the chicken house (limit 2); two
// cake factories, a chicken house and a wheat bed; one task: two cake
// factories at level 1.
struct KindLevel {
  explicit KindLevel(MapRig& rig) {
    LEVELINFO l = rig.level.levels.Get(0);
    l.plantCount = 2;
    l.plants[0] = KINDPAIR{kis::NameId(u"wheat"), 2};
    l.plants[1] = KINDPAIR{kis::NameId(u"wheat"), 3};
    l.buildingCount = 2;
    l.buildings[0] = KINDPAIR{kis::NameId(u"prod_cake"), 3};
    l.buildings[1] = KINDPAIR{kis::NameId(u"henhouse"), 2};
    l.points = {Point(3, u"prod_cake", 200), Point(3, u"henhouse", 500), Point(3, u"prod_cake", 800),
                Point(2, u"wheat", 1000)};
    for (LEVELREGIME& r : l.regimes) {
      r.taskCount = 1;
      r.tasks[0] = LEVELTASK{kTaskBuildings, kis::NameId(u"prod_cake"), 1, 2};
    }
    std::vector<LEVELINFO> all(kLevelCount);
    for (LEVELINFO& other : all) other.regimes[0] = other.regimes[1] = LEVELREGIME{3000, 2000, 1000, 0, {}};
    all[0] = l;
    i32 grid[kMapGridCells];
    for (i32& c : grid) c = -1;
    grid[0] = 0;
    const std::u16string path = rig.level.folder.Wide("Levels.dat");
    EXPECT_TRUE(WriteDataArchive(path.c_str(), {{kLevelSectionId, kLevelSectionSubId, LevelSection(grid, all)}}));
    kis::DataFileReaderW* data =
        kis::OpenDataFileReaderW(path.c_str(), kDataArchiveSignature1, kDataArchiveSignature2, kDataArchiveVersion);
    SectionCursor c;
    while (table.ReadChunk(data, &c) == 0) {
    }
    kis::CloseDataFile(data);
    EXPECT_EQ(c.error, 0u);
    GetContentServices().levels = &table;
  }
  LevelTable table;
};

}  // namespace

TEST(LevelKinds, LoadingMarksTheKindsOnceAndTheLevelCountsItsBuildingsByTheirRecordsId) {
  MapRig rig;
  rig.level.LoadKinds({{u"wheat", 0, false}, {u"beta", 0, false}},
                      {{u"prod_cake", 0, false, kBuildingFactory},
                       {u"henhouse", 0, false, kBuildingAnimalHouse},
                       {u"prod_bread", 0, false, kBuildingFactory}});
  KindTables& kinds = rig.level.kinds;
  kinds.Building(u"prod_cake")->factory.products[0] = kis::NameId(u"cake");
  BUILDING* henhouse = kinds.Building(u"henhouse");
  henhouse->house.producedProduct = kis::NameId(u"egg");
  henhouse->producedProduct = rig.level.Product(u"egg");
  KindLevel level(rig);
  const LEVELINFO& info = level.table.Get(0);
  EXPECT_EQ(info.plantKinds[0], kinds.Plant(u"wheat"));  // the record's kinds, found once read
  EXPECT_EQ(info.buildingKinds[1], henhouse);

  // A kind enabled on an earlier level is not on this one until its stage.
  kinds.Plant(u"beta")->enabled = true;
  GameLevelHooks hooks;
  hooks.rules = rig.level.hooks;
  hooks.map.classes = &rig.classes;
  auto game = std::make_unique<GameLevel>(0, LevelSetup{}, hooks);
  u32 calls = 0;
  for (; !game->IsLoaded() && calls < 1000; ++calls) game->Load();
  EXPECT_LT(calls, 1000u);
  PLANT* wheat = kinds.Plant(u"wheat");
  EXPECT_TRUE(wheat->enabled);
  EXPECT_EQ(wheat->useCount, 1);  // named twice, used once
  EXPECT_EQ(wheat->levelLimit, 3);  // the last value stored
  EXPECT_FALSE(kinds.Plant(u"beta")->enabled);
  EXPECT_TRUE(rig.level.Product(u"wheat")->used);
  BUILDING* cake = kinds.Building(u"prod_cake");
  EXPECT_TRUE(cake->enabled);
  EXPECT_EQ(cake->levelLimit, 3);
  EXPECT_EQ(cake->useCount, 1);
  EXPECT_TRUE(rig.level.Product(u"cake")->used);  // the factory's product
  EXPECT_TRUE(rig.level.Product(u"egg")->used);   // the chicken house's
  EXPECT_FALSE(kinds.Building(u"prod_bread")->enabled);
  EXPECT_TRUE(cake->IsAvailable());  // cake of wheat and eggs, both on the level

  // Entered: the point classes make the four points; the task counts the
  // two cake factories by the id their points keep.
  game->Enter();
  ASSERT_EQ(game->Map().GetPointCount(), 4);
  POINTPARAMS params;
  game->Map().GetPoint(0)->GetInfo(&params);
  EXPECT_EQ(params.id, kis::NameId(u"prod_cake"));
  game->Map().GetPoint(3)->GetInfo(&params);
  EXPECT_EQ(params.id, kis::NameId(u"wheat"));
  EXPECT_EQ(game->CountBuildings(kis::NameId(u"prod_cake"), 1), 2);
  EXPECT_EQ(game->CountBuildings(kis::NameId(u"henhouse"), 1), 1);
  game->Rules().Tasks().UpdateTask(kTaskBuildings, kis::NameId(u"prod_cake"), 0, false);
  EXPECT_EQ(game->Rules().Tasks().GetProgress(0), 2);

  // The animal houses' rate reaches the chicken house, the factories' the
  // two factories.
  game->SetBuildingRateModifier(kBuildingKindAnimalHouse, 77, 2.0f);
  game->SetBuildingRateModifier(kBuildingKindFactory, 78, 3.0f);
  const float rates[4] = {3.0f, 2.0f, 3.0f, 1.0f};
  for (i32 i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(game->Map().GetPoint(i)->GetRates().GetRate(), rates[i]) << i;

  // A second level: the marks are cleared and set again; resources stay.
  game.reset();
  auto again = std::make_unique<GameLevel>(0, LevelSetup{}, hooks);
  for (calls = 0; !again->IsLoaded() && calls < 1000; ++calls) again->Load();
  EXPECT_EQ(wheat->useCount, 2);
  EXPECT_TRUE(wheat->enabled);
}

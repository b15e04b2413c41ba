#include <gtest/gtest.h>

#include <memory>

#include "ContentSamples.h"
#include "resources/MapSprite.h"

using namespace contenttest;

namespace {

std::unique_ptr<LevelTable> ReadSampleTable(ContentRig& rig) {
  auto table = std::make_unique<LevelTable>();
  EXPECT_TRUE(rig.WriteData({{kLevelSectionId, kLevelSectionSubId, SampleLevelSection()}}));
  EXPECT_EQ(rig.Read([&](auto* r, SectionCursor* c) { return table->ReadChunk(r, c); }, true).error, 0u);
  return table;
}

}  // namespace

TEST(LevelTable, FortyOneLevelsReadBackWithTheirMedalsAtTheLimits) {
  ContentRig rig;
  auto table = ReadSampleTable(rig);
  for (u32 i = 0; i < kLevelCount; ++i) {
    const LEVELINFO& l = table->Get(i);
    ASSERT_TRUE(l.loaded);
    EXPECT_EQ(l.mapCell, static_cast<i32>(i));
    EXPECT_EQ(table->GetGridCell(i), static_cast<i32>(i));
    for (i32 r = 0; r < 2; ++r) {
      const LEVELREGIME& m = l.regimes[r];
      const i32 level = static_cast<i32>(i);
      // A time equal to a limit earns that medal.
      EXPECT_EQ(table->GetMedal(r, level, static_cast<u32>(m.gold)), kGradeGold);
      EXPECT_EQ(table->GetMedal(r, level, static_cast<u32>(m.gold) + 1), kGradeSilver);
      EXPECT_EQ(table->GetMedal(r, level, static_cast<u32>(m.silver)), kGradeSilver);
      EXPECT_EQ(table->GetMedal(r, level, static_cast<u32>(m.silver) + 1), kGradeBronze);
      EXPECT_EQ(table->GetMedal(r, level, static_cast<u32>(m.bronze)), kGradeBronze);
      // Past bronze: still bronze in regime 0, only finished in regime 1.
      EXPECT_EQ(table->GetMedal(r, level, static_cast<u32>(m.bronze) + 1), r == 0 ? kGradeBronze : kGradeFinished);
    }
  }
  EXPECT_EQ(table->GetGridCell(45), -1);
  u32 t = 99;
  EXPECT_EQ(table->GetMedal(0, 4, 0, &t), kGradeGold);
  EXPECT_EQ(t, 1u);  // 0 counts as 1 ms
  EXPECT_EQ(table->GetMedal(1, 4, 0xFFFFFFFFu, &t), kGradeFinished);
  EXPECT_EQ(t, 0xFFFFFFFFu);
  EXPECT_EQ(table->GetMedal(2, 4, 5), 0);
  EXPECT_EQ(table->GetMedal(0, 41, 5), 0);
  EXPECT_EQ(table->GetMedal(-1, 0, 5), 0);
}

TEST(LevelTable, ARecordResolvesItsKindsAndMapSpritesAndClearDropsItsArrays) {
  ContentRig rig;
  LevelTable fresh;
  EXPECT_EQ(fresh.Get(7).mapCell, -1);
  EXPECT_EQ(fresh.GetGridCell(3), -1);
  EXPECT_FALSE(fresh.Get(0).loaded);
  auto table = ReadSampleTable(rig);
  EXPECT_EQ(GetLevelTable(), nullptr);  // made, not installed
  const LEVELINFO& l = table->Get(0);
  EXPECT_EQ(l.plantKinds[0], rig.tables.Plant(u"wheat"));
  EXPECT_EQ(l.plantKinds[1], nullptr);  // no such plant
  EXPECT_EQ(l.plantKinds[2], nullptr);  // beyond the count
  EXPECT_EQ(l.buildingKinds[0], rig.tables.Building(u"warehouse"));
  EXPECT_EQ(l.buildingKinds[1], rig.tables.Building(u"mill"));
  ASSERT_NE(l.emptyPlace, nullptr);
  EXPECT_EQ(std::u16string(l.emptyPlace->GetName()), u"empty_place");
  EXPECT_EQ(std::u16string(l.treeSpot->GetName()), u"tree_spot");
  EXPECT_EQ(l.decorations[1].type, kMapObjectEmitter);
  EXPECT_EQ(l.decorations[1].sortX, -7);
  EXPECT_EQ(l.points[2].extra[1], 8u);
  EXPECT_EQ(l.intro[0].imageName[0], u'i');
  table->Clear();
  EXPECT_TRUE(table->Get(0).points.empty());
  EXPECT_FALSE(table->Get(0).loaded);
}

// A record without a task in either play mode is a level still to be made:
// it keeps its cell and group, and is not loaded; one task in one mode is
// enough for a level to be loaded.
TEST(LevelTable, ARecordWithoutTasksStandsOnTheMapNotLoaded) {
  std::vector<LEVELINFO> levels = SampleLevels();
  for (u32 i : {5u, 40u}) {
    LEVELINFO bare;
    bare.mapCell = levels[i].mapCell;
    bare.mapGroup = 7;
    levels[i] = bare;
  }
  levels[6].regimes[0].taskCount = 0;
  i32 grid[kMapGridCells];
  SampleGrid(grid);
  ContentRig rig;
  ASSERT_TRUE(rig.WriteData({{kLevelSectionId, kLevelSectionSubId, LevelSection(grid, levels)}}));
  LevelTable table;
  EXPECT_EQ(rig.Read([&](auto* r, SectionCursor* c) { return table.ReadChunk(r, c); }, true).error, 0u);
  for (u32 i = 0; i < kLevelCount; ++i) {
    EXPECT_EQ(table.Get(i).loaded, i != 5 && i != 40) << i;
    EXPECT_EQ(table.Get(i).mapCell, static_cast<i32>(i)) << i;
    EXPECT_EQ(table.GetGridCell(i), static_cast<i32>(i)) << i;
  }
  EXPECT_EQ(table.Get(40).mapGroup, 7);
}

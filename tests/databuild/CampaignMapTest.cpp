// The campaign's road (tools/data/tables/campaign_map.txt) and how the data
// set carries it: 41 levels on cells of their own, groups from 0 never
// falling, each level beside the one before; "LVLS" of the sample data set
// holds the grid as the reverse of the cells, every level at its cell and
// group, loaded or not.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <memory>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "ArtBook.h"
#include "ContentSources.h"
#include "DataArchiveModule.h"
#include "DataSetBuild.h"
#include "base/datafile/DataFileReader.h"
#include "content/ContentArchive.h"
#include "content/LevelTable.h"
#include "content/MapSection.h"
#include "platform/encoding/Utf.h"

namespace {

// The table's lines "level = CELL, GROUP", read apart from the builder.
std::vector<std::pair<int, int>> TableRows() {
  std::ifstream in(std::string(TM_DATA_SOURCE_DIR) + "/tables/campaign_map.txt");
  const std::regex row(R"(^\s*level\s*=\s*(-?\d+)\s*,\s*(-?\d+)\s*$)");
  std::vector<std::pair<int, int>> rows;
  std::smatch m;
  for (std::string line; std::getline(in, line);)
    if (std::regex_match(line, m, row)) rows.emplace_back(std::stoi(m[1]), std::stoi(m[2]));
  return rows;
}

kis::DataFileReaderW* OpenSampleData() {
  const std::u16string path = plat::Utf8ToUtf16(std::string(TM_SAMPLE_DATA_DIR) + "/Data.dat");
  return kis::OpenDataFileReaderW(path.c_str(), kDataArchiveSignature1, kDataArchiveSignature2, kDataArchiveVersion);
}

// A node's place on the map.
std::pair<double, double> NodeAt(int cell) {
  i32 x = 0, y = 0;
  MapCellPosition(cell, &x, &y);
  return {x, y};
}

TEST(CampaignMap, FortyOneLevelsAlongOneRoadWithRisingGroupsAndTheGridTheirReverse) {
  const std::vector<std::pair<int, int>> rows = TableRows();
  ASSERT_EQ(rows.size(), kLevelCount);
  bool used[kMapGridCells] = {};
  for (size_t i = 0; i < rows.size(); ++i) {
    const auto [cell, group] = rows[i];
    ASSERT_TRUE(cell >= 0 && cell < static_cast<int>(kMapGridCells)) << i;
    EXPECT_FALSE(used[cell]) << "cell " << cell << " twice";
    used[cell] = true;
    if (i == 0) {
      EXPECT_EQ(group, 0);
      continue;
    }
    EXPECT_GE(group, rows[i - 1].second) << i;
    EXPECT_LE(group, rows[i - 1].second + 1) << i;  // no group left empty
    // Neighbours on the hex grid are 94 (same column) or about 132 apart.
    const auto [x0, y0] = NodeAt(rows[i - 1].first);
    const auto [x1, y1] = NodeAt(cell);
    EXPECT_LT(std::hypot(x1 - x0, y1 - y0), 140.0) << "the road breaks before level " << i + 1;
  }

  // The valley's painted road passes the same cells.
  const std::vector<int> road = ValleyRoadCells();
  ASSERT_EQ(road.size(), rows.size());
  for (size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(road[i], rows[i].first) << "level " << i + 1;

  LevelTable levels;
  kis::DataFileReaderW* data = OpenSampleData();
  ASSERT_NE(data, nullptr);
  SectionCursor cursor;
  for (int calls = 0; levels.ReadChunk(data, &cursor) == 0 && calls < 1000; ++calls) {
  }
  kis::CloseDataFile(data);
  ASSERT_EQ(cursor.error, 0u);
  for (u32 i = 0; i < kLevelCount; ++i) {
    EXPECT_EQ(levels.Get(i).mapCell, rows[i].first) << i;
    EXPECT_EQ(levels.Get(i).mapGroup, rows[i].second) << i;
    EXPECT_EQ(levels.GetGridCell(static_cast<u32>(rows[i].first)), static_cast<i32>(i));
  }
  for (u32 c = 0; c < kMapGridCells; ++c) EXPECT_EQ(levels.GetGridCell(c), used[c] ? levels.GetGridCell(c) : -1) << c;
}

// The sample data's "MAPM" is the one its sources make; every node has a
// sign from the moment its group is reached, a look for each state, and
// every sprite an item names is a picture of the map's sprite set.
TEST(CampaignMap, EveryNodeHasALookForEachStateAndItsItemsNameTheMapsPictures) {
  BuildOptions options;
  options.sourceDir = TM_DATA_SOURCE_DIR;
  DataSetBuild build(options);
  auto sources = std::make_unique<ContentSourceTables>();
  ASSERT_TRUE(ReadContentTables(build, *sources));
  auto built = std::make_unique<MapSectionData>();
  kis::DataFileReaderW* data = OpenSampleData();
  ASSERT_NE(data, nullptr);
  SectionCursor cursor;
  EXPECT_EQ(ReadMapSection(data, &cursor, built.get()), 1);
  kis::CloseDataFile(data);
  ASSERT_EQ(cursor.error, 0u);
  EXPECT_EQ(MapSection(*built), MapSection(sources->map));
  EXPECT_GE(built->waters.size(), 1u);

  for (u32 n = 0; n < kLevelCount; ++n) {
    const MAPNODE& node = built->nodes[n];
    u32 shown = 0, signs = 0;
    for (u32 i = 0; i < node.itemCount; ++i) {
      const MAPNODEITEM& item = node.items[i];
      shown |= item.stateMask;
      if (item.kind == kMapItemSign) signs |= item.stateMask;
      if (item.kind == kMapItemSprite || item.kind == kMapItemSpot) {
        std::string name;
        for (const wchar* c = item.sprite; *c; ++c) name += static_cast<char>(*c);
        EXPECT_NE(build.Pictures().Find(kSelectionMapSpriteSet, name), nullptr) << n << " " << name;
      }
    }
    const u32 all = kMapMaskHidden | kMapMaskClosed | kMapMaskOpen | kMapMaskFinished | kMapMaskAttack;
    EXPECT_EQ(shown, all) << "level " << n + 1;
    EXPECT_EQ(signs, kMapMaskClosed | kMapMaskOpen | kMapMaskFinished) << "level " << n + 1;
  }
}

}  // namespace

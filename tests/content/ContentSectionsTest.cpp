#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "ContentSamples.h"
#include "base/LittleEndian.h"
#include "content/GameBonuses.h"
#include "content/ContentSections.h"
#include "content/LevelRecord.h"
#include "resources/MapSprite.h"
#include "resources/Sprite.h"

using namespace contenttest;

namespace {

std::vector<DataSection> SampleSections() {
  BONUS bonuses[kBonusCount];
  SampleBonuses(bonuses);
  TIEREDAWARD tiered[kTieredAwardCount];
  RECORDAWARD records[kRecordAwardCount];
  SampleAwards(tiered, records);
  return {{kProductSectionId, kProductSectionSubId, ProductSection(SampleProducts())},
          {kBonusSectionId, kBonusSectionSubId, BonusSection(bonuses)},
          {kAwardSectionId, kAwardSectionSubId, AwardSection(tiered, records)},
          {kGroundSectionId, kGroundSectionSubId, GroundSection(SampleGrounds())},
          {kGarbageSectionId, kGarbageSectionSubId, GarbageSection(SampleGarbage())},
          {kLevelSectionId, kLevelSectionSubId, SampleLevelSection()}};
}

// What one kind of section gives back: the cursor, the records kept and the
// section written again from them.
struct Readback {
  SectionCursor cursor;
  u32 kept = 0;
  std::vector<u8> again;
};

using SectionReader = std::function<Readback(ContentRig&, bool yielding)>;

// A list read by `read` and written again by `section`.
template <class List, class Record, class ReadFn>
Readback ReadList(ContentRig& rig, bool yielding, ReadFn read, std::vector<u8> (*section)(const std::vector<Record>&)) {
  List list;
  Readback r;
  r.cursor = rig.Read([&](auto* reader, SectionCursor* c) { return read(list, reader, c); }, yielding);
  std::vector<Record> v;
  for (u32 i = 0; i < list.GetCount(); ++i) v.push_back(*list.Get(i));
  r.kept = list.GetCount();
  r.again = section(v);
  return r;
}

Readback ReadProducts(ContentRig& rig, bool yielding) {
  return ReadList<ProductList, PRODUCT>(
      rig, yielding, [](ProductList& l, auto* r, SectionCursor* c) { return l.ReadSection(r, c); }, ProductSection);
}

Readback ReadGrounds(ContentRig& rig, bool yielding) {
  return ReadList<GroundList, GROUND>(
      rig, yielding, [](GroundList& l, auto* r, SectionCursor* c) { return l.ReadSection(r, c); }, GroundSection);
}

Readback ReadGarbage(ContentRig& rig, bool yielding) {
  return ReadList<GarbageList, GARBAGEINFO>(
      rig, yielding, [](GarbageList& l, auto* r, SectionCursor* c) { return LoadGarbageDefinitions(&l, r, c); },
      GarbageSection);
}

Readback ReadBonuses(ContentRig& rig, bool yielding) {
  GameBonuses table;
  Readback r;
  r.cursor = rig.Read([&](auto* reader, SectionCursor* c) { return table.ReadSection(reader, c); }, yielding);
  BONUS v[kBonusCount];
  for (u32 i = 0; i < kBonusCount; ++i) {
    v[i] = table.Get(i);
    r.kept += v[i].id != 0;
  }
  r.again = BonusSection(v);
  return r;
}

Readback ReadAwards(ContentRig& rig, bool yielding) {
  AwardTable table;
  Readback r;
  r.cursor = rig.Read([&](auto* reader, SectionCursor* c) { return table.ReadSection(reader, c); }, yielding);
  TIEREDAWARD tiered[kTieredAwardCount];
  RECORDAWARD records[kRecordAwardCount];
  for (u32 i = 0; i < kTieredAwardCount; ++i) r.kept += (tiered[i] = table.GetTiered(i)).name[0] != 0;
  for (u32 i = 0; i < kRecordAwardCount; ++i) r.kept += (records[i] = table.GetRecord(i)).name[0] != 0;
  r.again = AwardSection(tiered, records);
  return r;
}

Readback ReadLevels(ContentRig& rig, bool yielding) {
  auto table = std::make_unique<LevelTable>();
  Readback r;
  r.cursor = rig.Read([&](auto* reader, SectionCursor* c) { return table->ReadChunk(reader, c); }, yielding);
  i32 grid[kMapGridCells];
  for (u32 c = 0; c < kMapGridCells; ++c) grid[c] = table->GetGridCell(c);
  std::vector<LEVELINFO> v;
  for (u32 i = 0; i < kLevelCount; ++i) {
    if (table->Get(i).loaded) ++r.kept;
    v.push_back(table->Get(i));
  }
  r.again = LevelSection(grid, v);
  return r;
}

struct SectionKind {
  const char* name;
  u32 id, subId;
  SectionReader read;
  u32 records;       // in the sample
  u32 yieldsEach;    // calls asked to come back when yielding after every record
  size_t cutAt;      // a length inside the third record
  u32 keptWhenCut;
};

std::vector<SectionKind> Kinds() {
  return {
      {"PROD", kProductSectionId, kProductSectionSubId, ReadProducts, 3, 3, 4 + 2 * kProductRecordSize + 100, 2},
      {"BONS", kBonusSectionId, kBonusSectionSubId, ReadBonuses, 6, 0, 2 * kBonusRecordSize + 100, 2},
      {"awards", kAwardSectionId, kAwardSectionSubId, ReadAwards, 17, 0, 2 * kTieredAwardRecordSize + 100, 2},
      {"GRND", kGroundSectionId, kGroundSectionSubId, ReadGrounds, 2, 2, 4 + kGroundRecordSize + 40, 1},
      {"LPNT", kGarbageSectionId, kGarbageSectionSubId, ReadGarbage, 2, 0, 4 + kGarbageRecordSize + 40, 1},
      {"LVLS", kLevelSectionId, kLevelSectionSubId, ReadLevels, 41, 41, 200 + 5000, 2},
  };
}

const std::vector<u8>& BodyOf(const std::vector<DataSection>& sections, u32 id) {
  for (const DataSection& s : sections)
    if (s.id == id) return s.body;
  return sections.front().body;
}

}  // namespace

TEST(ContentSections, EverySectionReadsBackEqualInOneGoAndYieldingAfterEveryRecord) {
  ContentRig rig;
  const std::vector<DataSection> sections = SampleSections();
  ASSERT_TRUE(rig.WriteData(sections));
  for (const SectionKind& k : Kinds()) {
    for (bool yielding : {false, true}) {
      SCOPED_TRACE(std::string(k.name) + (yielding ? " yielding" : " at once"));
      const Readback r = k.read(rig, yielding);
      EXPECT_EQ(r.cursor.error, 0u);
      EXPECT_EQ(r.kept, k.records);
      EXPECT_EQ(r.again, BodyOf(sections, k.id));
      EXPECT_EQ(rig.yields, yielding ? k.yieldsEach : 0u);
      if (yielding && k.yieldsEach) {
        ASSERT_EQ(g_fractions.size(), k.yieldsEach);
        EXPECT_FLOAT_EQ(g_fractions.back(), 1.0f);
      }
    }
  }
}

// A damaged section leaves the archive readable: the ground section written
// after it still reads.
TEST(ContentSections, MissingShortAndLongSectionsSetTheErrorFlagAndKeepTheRecordsBefore) {
  const std::vector<DataSection> whole = SampleSections();
  for (const SectionKind& k : Kinds()) {
    const std::vector<u8>& body = BodyOf(whole, k.id);
    std::vector<u8> longer = body;
    longer.push_back(0);
    struct Case {
      const char* what;
      std::vector<DataSection> sections;
      u32 kept;
    };
    const DataSection after{kGroundSectionId, 77, GroundSection(SampleGrounds())};
    const Case cases[] = {
        {"missing", {after}, 0},
        {"short", {{k.id, k.subId, std::vector<u8>(body.begin(), body.begin() + long(k.cutAt))}, after},
         k.keptWhenCut},
        {"long", {{k.id, k.subId, longer}, after}, k.records},
        {"empty", {{k.id, k.subId, {}}, after}, 0},
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(k.name) + " " + c.what);
      ContentRig rig;
      ASSERT_TRUE(rig.WriteData(c.sections));
      const Readback r = k.read(rig, true);
      EXPECT_EQ(r.cursor.error, 1u);
      EXPECT_EQ(r.kept, c.kept);
      const SectionCursor next = rig.Read([&](auto* reader, SectionCursor* cur) {
        return ReadCountedRecords(reader, cur, kGroundSectionId, 77, kGroundRecordSize, [](const u8*) { return true; });
      });
      EXPECT_EQ(next.error, 0u);
      EXPECT_EQ(next.done, 2u);
    }
  }
}

TEST(ContentSections, GarbageSlotCountsBeyondTheirArraysAreRefused) {
  for (u32 which = 0; which < 2; ++which) {
    std::vector<GARBAGEINFO> g = SampleGarbage();
    g.push_back(g[0]);
    if (which == 0) g[1].spriteCount = 3;
    else g[1].particleCount = 5;
    ContentRig rig;
    ASSERT_TRUE(rig.WriteData({{kGarbageSectionId, kGarbageSectionSubId, GarbageSection(g)}}));
    GarbageList list;
    const SectionCursor c =
        rig.Read([&](auto* r, SectionCursor* cur) { return LoadGarbageDefinitions(&list, r, cur); });
    EXPECT_EQ(c.error, 1u);
    EXPECT_EQ(list.GetCount(), 1u);
    EXPECT_EQ(list.Find(12), nullptr);
  }
}

// Each damage goes into level 3; levels 0 to 2 stay read.
TEST(ContentSections, LevelRecordsWithCountsBeyondTheirSlotsAreRefused) {
  const std::vector<std::pair<const char*, std::function<void(LEVELINFO&)>>> damages = {
      {"task count 4", [](LEVELINFO& l) { l.regimes[1].taskCount = 4; }},
      {"plant count 4", [](LEVELINFO& l) { l.plantCount = 4; }},
      {"building count 13", [](LEVELINFO& l) { l.buildingCount = 13; }},
      {"stock count 65", [](LEVELINFO& l) { l.stockCount = 65; }},
      {"villain slots 17", [](LEVELINFO& l) { l.villainSlotCount = 17; }},
      {"14 points", [](LEVELINFO& l) { l.points.assign(14, POINTDEF{}); }},
      {"wave slot 2 of 2", [](LEVELINFO& l) { l.waves[1].slot = 2; }},
      {"wave slot -2", [](LEVELINFO& l) { l.waves[0].slot = -2; }},
      {"repeat from the end", [](LEVELINFO& l) { l.firstRepeatWave = 2; }},
      {"repeat from -1", [](LEVELINFO& l) { l.firstRepeatWave = -1; }},
      {"map cell 49", [](LEVELINFO& l) { l.mapCell = 49; }},
      {"NaN rate", [](LEVELINFO& l) { l.baseRates[2] = std::nanf(""); }},
      {"infinite charge", [](LEVELINFO& l) { l.chargeFactors[0] = std::numeric_limits<float>::infinity(); }},
      {"4097 ground tiles", [](LEVELINFO& l) { l.ground.assign(kMaxLevelArray + 1, GROUNDPLACEMENT{}); }},
  };
  for (const auto& [what, damage] : damages) {
    SCOPED_TRACE(what);
    std::vector<LEVELINFO> levels = SampleLevels();
    levels[3] = SampleLevel(0);
    levels[3].mapCell = 3;
    damage(levels[3]);
    i32 grid[kMapGridCells];
    SampleGrid(grid);
    ContentRig rig;
    ASSERT_TRUE(rig.WriteData({{kLevelSectionId, kLevelSectionSubId, LevelSection(grid, levels)}}));
    const Readback r = ReadLevels(rig, false);
    EXPECT_EQ(r.cursor.error, 1u);
    EXPECT_EQ(r.kept, 3u);
  }
  // The level with no repetition may name any first repeating wave; the
  // sample's wrapped repetition is accepted as it stands.
  std::vector<LEVELINFO> levels = SampleLevels();
  levels[0].repeatLength = 0;
  levels[0].firstRepeatWave = 99;
  i32 grid[kMapGridCells];
  SampleGrid(grid);
  ContentRig rig;
  ASSERT_TRUE(rig.WriteData({{kLevelSectionId, kLevelSectionSubId, LevelSection(grid, levels)}}));
  EXPECT_EQ(ReadLevels(rig, false).kept, 41u);
}

TEST(ContentSections, TheLevelSectionWantsFortyOneLevelsAndAGridOfLevels) {
  for (u32 count : {40u, 42u}) {
    i32 grid[kMapGridCells];
    SampleGrid(grid);
    ContentRig rig;
    ASSERT_TRUE(rig.WriteData({{kLevelSectionId, kLevelSectionSubId, LevelSection(grid, SampleLevels(count))}}));
    const Readback r = ReadLevels(rig, false);
    EXPECT_EQ(r.cursor.error, 1u) << count;
    EXPECT_EQ(r.kept, 0u);
  }
  for (i32 cell : {41, -2}) {
    i32 grid[kMapGridCells];
    SampleGrid(grid);
    grid[45] = cell;
    ContentRig rig;
    ASSERT_TRUE(rig.WriteData({{kLevelSectionId, kLevelSectionSubId, LevelSection(grid, SampleLevels())}}));
    const Readback r = ReadLevels(rig, false);
    EXPECT_EQ(r.cursor.error, 1u) << cell;
    EXPECT_EQ(r.kept, 0u);
  }
}

// A name filling its whole field reads back cut, terminated inside it.
TEST(ContentSections, NamesWithoutATerminatorEndInsideTheirFields) {
  std::vector<PRODUCT> products = {Product(u"wheat", 2)};
  for (u32 i = 0; i < kProductNameSize; ++i) products[0].name[i] = u'a';
  std::vector<u8> body = ProductSection(products);
  ContentRig rig;
  ASSERT_TRUE(rig.WriteData({{kProductSectionId, kProductSectionSubId, body}}));
  ProductList list;
  rig.Read([&](auto* r, SectionCursor* c) { return list.ReadSection(r, c); });
  ASSERT_EQ(list.GetCount(), 1u);
  EXPECT_EQ(std::u16string(list.Get(0)->name), std::u16string(kProductNameSize - 1, u'a'));
}

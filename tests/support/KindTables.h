// Small plant, building and villain tables for the tests, written by the
// content library's section writers into a data archive of a temporary
// folder and read back through the game's own readers (so a record's
// pictures resolve in the sprite sets and its products in the product list
// installed at the time), then installed as the content services' tables
// until the holder goes.
#pragma once

#include <string>
#include <vector>

#include "base/Identifier.h"
#include "base/datafile/DataFileReader.h"
#include "content/BuildingTable.h"
#include "content/ContentServices.h"
#include "content/ContentWriter.h"
#include "content/PlantTable.h"
#include "content/VillainList.h"
#include "platform/encoding/Utf.h"
#include "resources/ResourceServices.h"
#include "testsupport/TempFolder.h"

namespace testsupport {

// A bed crop or tree of the name, planted for `price`, limit and product
// left to the caller.
inline PLANT KindPlant(const wchar* name, i32 price = 50, bool tree = false) {
  PLANT p = MakePlant(name, tree ? kPlantTree : 0);
  for (i32& c : p.prices) c = price;
  if (tree) p.fruitCounts[3] = 1;
  return p;
}

// A building of `levels` levels, each step for `price`.
inline BUILDING KindBuilding(const wchar* name, u32 kind, i32 levels = 3, i32 price = 100) {
  BUILDING b = MakeBuilding(name, kind);
  b.levelCount = levels;
  for (i32 i = 0; i < levels && i < static_cast<i32>(kMaxBuildingLevels); ++i) b.levels[i].price = price;
  return b;
}

class KindTables {
 public:
  KindTables() = default;
  ~KindTables() { Uninstall(); }
  KindTables(const KindTables&) = delete;
  KindTables& operator=(const KindTables&) = delete;

  // Writes the three sections and reads them into fresh tables, installed;
  // false when a section does not read.
  bool Load(const std::vector<PLANT>& plantRecords, const std::vector<BUILDING>& buildingRecords,
            const std::vector<VILLAININFO>& villainRecords = {}, u32 pulldownTime = 0) {
    Uninstall();
    plants.Clear();
    buildings.Clear();
    villains.Clear();
    u32 timing[kPlantTimingWords] = {};
    for (u32 i = 0; i < kPlantTimingWords; ++i) timing[i] = plantTiming[i];
    timing[kTimingPulldown] = pulldownTime;
    const std::u16string path = plat::Utf8ToUtf16(folder.Path() + "/kinds.dat");
    if (!WriteDataArchive(path.c_str(),
                          {{kPlantSectionId, kPlantSectionSubId, PlantSection(bedStages, timing, bedLooks, plantRecords)},
                           {kBuildingSectionId, kBuildingSectionSubId, BuildingSection(buildingRecords)},
                           {kVillainSectionId, kVillainSectionSubId, VillainSection(villainRecords)}}))
      return false;
    kis::DataFileReaderW* data =
        kis::OpenDataFileReaderW(path.c_str(), kDataArchiveSignature1, kDataArchiveSignature2, kDataArchiveVersion);
    if (!data) return false;
    const bool ok = ReadAll(data, [&](SectionCursor* c) { return plants.ReadSection(data, c); }) &&
                    ReadAll(data, [&](SectionCursor* c) { return buildings.ReadSection(data, c); }) &&
                    ReadAll(data, [&](SectionCursor* c) { return villains.ReadSection(data, c); });
    kis::CloseDataFile(data);
    Install();
    return ok;
  }

  // Enables every kind for the level with the limit, as a level's loading does.
  void EnableAll(i32 limit) {
    for (u32 i = 0; i < plants.GetCount(); ++i) plants.UsePlant(plants.Get(i), limit);
    for (u32 i = 0; i < buildings.GetCount(); ++i) buildings.Get(i)->EnableForLevel(limit);
  }

  void Install() {
    ContentServices& s = GetContentServices();
    s.plants = &plants;
    s.buildings = &buildings;
    s.villains = &villains;
  }
  void Uninstall() {
    ContentServices& s = GetContentServices();
    if (s.plants == &plants) s.plants = nullptr;
    if (s.buildings == &buildings) s.buildings = nullptr;
    if (s.villains == &villains) s.villains = nullptr;
  }

  PLANT* Plant(const wchar* name) const { return plants.FindPlantByName(name); }
  BUILDING* Building(const wchar* name) const { return buildings.FindBuildingByName(name); }

  // The plant section's stage table, timing block and bed looks for the next Load.
  BEDSTAGE bedStages[kBedStageCount] = {};
  u32 plantTiming[kPlantTimingWords] = {};
  std::vector<GAMEBEDS> bedLooks;

  TempFolder folder;
  PlantTable plants;
  BuildingTable buildings;
  VillainList villains;

 private:
  template <class Read>
  static bool ReadAll(kis::DataFileReaderW*, Read read) {
    SectionCursor cursor;
    for (u32 calls = 0; read(&cursor) == 0 && calls < 100000; ++calls) {
    }
    return cursor.error == 0;
  }
};

}  // namespace testsupport

// Writers of the content sections of the data archive ("Data.dat"), beside
// their readers: the data builder, the tests and the fuzz seeds make their
// sections here. Each body is written exactly as its reader expects it (the
// counts from the lists given, memory-only words as 0), so every record
// reads back equal; damaged sections are made by changing the bytes after.
#pragma once

#include <vector>

#include "base/Types.h"
#include "content/AwardTable.h"
#include "content/GameBonuses.h"
#include "content/GarbageList.h"
#include "content/GroundList.h"
#include "content/LevelInfo.h"
#include "content/LevelTable.h"
#include "content/ProductList.h"

namespace kis {
class BaseDataFileWriter;
}

// Section bodies.
std::vector<u8> ProductSection(const std::vector<PRODUCT>& products);
std::vector<u8> BonusSection(const BONUS (&bonuses)[kBonusCount]);
std::vector<u8> AwardSection(const TIEREDAWARD (&tiered)[kTieredAwardCount],
                             const RECORDAWARD (&records)[kRecordAwardCount]);
std::vector<u8> GroundSection(const std::vector<GROUND>& grounds);
std::vector<u8> GarbageSection(const std::vector<GARBAGEINFO>& garbage);
// The grid (kMapGridCells cells), the count of the levels given and the
// records (the reader wants exactly kLevelCount).
std::vector<u8> LevelSection(const i32 (&grid)[kMapGridCells], const std::vector<LEVELINFO>& levels);

// One section of the data archive.
struct DataSection {
  u32 id;
  u32 subId;
  std::vector<u8> body;
};

// The sections in order into an open writer, or into a new archive file
// (with the data archive's signature and version).
bool WriteDataSections(kis::BaseDataFileWriter* writer, const std::vector<DataSection>& sections);
bool WriteDataArchive(const wchar* path, const std::vector<DataSection>& sections);

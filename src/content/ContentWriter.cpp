#include "content/ContentWriter.h"

#include "base/LittleEndian.h"
#include "base/datafile/DataFileWriter.h"
#include "content/ContentArchive.h"
#include "content/LevelRecord.h"

namespace {

// A u32 count and the records, each `size` bytes written by `put`.
template <class T, class Put>
std::vector<u8> CountedSection(const std::vector<T>& items, u32 size, Put put) {
  std::vector<u8> body(4 + items.size() * size, 0);
  kis::PutU32LE(body.data(), static_cast<u32>(items.size()));
  for (size_t i = 0; i < items.size(); ++i) put(body.data() + 4 + i * size, items[i]);
  return body;
}

}  // namespace

std::vector<u8> ProductSection(const std::vector<PRODUCT>& products) {
  return CountedSection(products, kProductRecordSize, PutProductRecord);
}

std::vector<u8> BonusSection(const BONUS (&bonuses)[kBonusCount]) {
  std::vector<u8> body(kBonusSectionSize, 0);
  for (u32 i = 0; i < kBonusCount; ++i) PutBonusRecord(body.data() + i * kBonusRecordSize, bonuses[i]);
  return body;
}

std::vector<u8> AwardSection(const TIEREDAWARD (&tiered)[kTieredAwardCount],
                             const RECORDAWARD (&records)[kRecordAwardCount]) {
  std::vector<u8> body(kAwardSectionSize, 0);
  u8* at = body.data();
  for (const TIEREDAWARD& a : tiered) {
    PutTieredAward(at, a);
    at += kTieredAwardRecordSize;
  }
  for (const RECORDAWARD& a : records) {
    PutRecordAward(at, a);
    at += kRecordAwardRecordSize;
  }
  return body;
}

std::vector<u8> GroundSection(const std::vector<GROUND>& grounds) {
  return CountedSection(grounds, kGroundRecordSize, PutGroundRecord);
}

std::vector<u8> GarbageSection(const std::vector<GARBAGEINFO>& garbage) {
  return CountedSection(garbage, kGarbageRecordSize, PutGarbageRecord);
}

std::vector<u8> LevelSection(const i32 (&grid)[kMapGridCells], const std::vector<LEVELINFO>& levels) {
  std::vector<u8> body(kMapGridCells * 4 + 4, 0);
  for (u32 i = 0; i < kMapGridCells; ++i) kis::PutU32LE(body.data() + 4 * i, static_cast<u32>(grid[i]));
  kis::PutU32LE(body.data() + kMapGridCells * 4, static_cast<u32>(levels.size()));
  for (const LEVELINFO& l : levels) AppendLevelRecord(&body, l);
  return body;
}

bool WriteDataSections(kis::BaseDataFileWriter* writer, const std::vector<DataSection>& sections) {
  if (!writer) return false;
  for (const DataSection& s : sections) {
    if (!writer->BeginSection(s.id, s.subId) ||
        (!s.body.empty() && !writer->Write(s.body.data(), static_cast<u32>(s.body.size()))) || !writer->EndSection())
      return false;
  }
  return true;
}

bool WriteDataArchive(const wchar* path, const std::vector<DataSection>& sections) {
  kis::DataFileWriterW* writer =
      kis::CreateDataFileWriterW(path, kDataArchiveSignature1, kDataArchiveSignature2, kDataArchiveVersion, false);
  const bool written = WriteDataSections(writer, sections);
  return kis::CloseDataFile(writer) && written;
}

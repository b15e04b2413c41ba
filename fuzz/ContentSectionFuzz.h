// Shared by the content-section fuzz targets: the input becomes the body of
// one section of a data archive, followed by a whole ground section; the
// section's reader reads it the way the start-up loader does (yielding after
// every other record) and the table is then used the way the game uses it.
// Whatever the bytes, reading must end with the cursor in order, the archive
// must still read the ground section after it, and nothing may leak.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "ScratchFile.h"
#include "base/Identifier.h"
#include "base/datafile/DataFileReader.h"
#include "content/ContentArchive.h"
#include "content/ContentWriter.h"
#include "content/ContentSections.h"
#include "platform/encoding/Utf.h"
#include "resources/ResourceServices.h"
#include "testsupport/KindTables.h"

namespace contentfuzz {

inline u32 g_steps = 0;
inline bool YieldSometimes(float) { return (++g_steps & 1) != 0; }

// The kinds the sections name, read once through their readers: the plant
// "wheat" and a "warehouse" whose capacities are 25, 50, 75 and 100.
inline testsupport::KindTables& Kinds() {
  static testsupport::KindTables kinds;
  static const bool loaded = [] {
    BUILDING warehouse = testsupport::KindBuilding(u"warehouse", 0, 4);
    for (u32 i = 0; i < 4; ++i) warehouse.levels[i].capacity = 25 * (i + 1);
    return kinds.Load({testsupport::KindPlant(u"wheat")}, {warehouse});
  }();
  if (!loaded) __builtin_trap();
  return kinds;
}

inline const std::u16string& ArchivePath() {
  static const std::u16string path =
      plat::Utf8ToUtf16(fuzzscratch::Path("content", ".dat"));
  return path;
}

// Writes the archive, opens it and hands the reader to `use` (which reads the
// fuzzed section), then checks that the ground section behind it reads.
template <class Use>
int Run(u32 id, u32 subId, const uint8_t* data, size_t size, Use use) {
  Kinds().Install();
  GetResourceServices().loadingProgress = &YieldSometimes;
  GROUND ground{};
  ground.id = 5;
  const std::vector<DataSection> sections = {{id, subId, std::vector<u8>(data, data + size)},
                                             {kGroundSectionId, 99, GroundSection({ground})}};
  if (!WriteDataArchive(ArchivePath().c_str(), sections)) return 0;
  kis::DataFileReaderW* reader = kis::OpenDataFileReaderW(ArchivePath().c_str(), kDataArchiveSignature1,
                                                          kDataArchiveSignature2, kDataArchiveVersion);
  if (!reader) return 0;
  use(reader);
  SectionCursor after;
  while (ReadCountedRecords(reader, &after, kGroundSectionId, 99, kGroundRecordSize, [](const u8*) { return true; }) ==
         0) {
  }
  if (after.error || after.done != 1) __builtin_trap();
  kis::CloseDataFile(reader);
  GetResourceServices().loadingProgress = nullptr;
  Kinds().Uninstall();
  return 0;
}

// Calls a resumable reader until it finishes; the cursor must stay in order.
template <class Read>
SectionCursor ReadAll(Read read) {
  SectionCursor cursor;
  while (read(&cursor) == 0) {
  }
  if (cursor.done > cursor.total) __builtin_trap();
  return cursor;
}

}  // namespace contentfuzz

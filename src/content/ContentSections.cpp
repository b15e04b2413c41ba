#include "content/ContentSections.h"

#include "base/datafile/DataFileReader.h"
#include "resources/SectionReading.h"

u32 DataSectionBytesLeft(const kis::BaseDataFileReader* reader) {
  return reader && reader->GetOpenEntry() ? static_cast<u32>(SectionBytesLeft(reader)) : 0;
}

bool OpenDataSection(kis::BaseDataFileReader* reader, u32 id, u32 subId) {
  return reader && reader->HasSection(id, subId) && reader->OpenSection(id, subId);
}

bool IsDataSectionOpen(const kis::BaseDataFileReader* reader, u32 id, u32 subId) {
  const kis::DATAFILEENTRY* open = reader ? reader->GetOpenEntry() : nullptr;
  return open && open->id == id && open->subId == subId;
}

bool ReadDataSection(kis::BaseDataFileReader* reader, void* out, u32 n) {
  return n <= DataSectionBytesLeft(reader) && (n == 0 || reader->Read(out, n));
}

u32 ReadDataBlock(kis::BaseDataFileReader* reader, SectionCursor* cursor, u32 id, u32 subId, u8* block, u32 size) {
  if (!OpenDataSection(reader, id, subId)) {
    EndDataSection(reader, cursor, true);
    return 0;
  }
  const u32 held = DataSectionBytesLeft(reader);
  const u32 have = held < size ? held : size;
  const bool read = ReadDataSection(reader, block, have);
  cursor->done = cursor->total = 1;
  EndDataSection(reader, cursor, !read || held != size);
  return read ? have : 0;
}

bool BeginCountedSection(kis::BaseDataFileReader* reader, SectionCursor* cursor, u32 id, u32 subId) {
  bool open = reader != nullptr;
  if (open && cursor->done == 0) {
    u8 count[4];
    open = OpenDataSection(reader, id, subId) && ReadDataSection(reader, count, 4);
    if (open) cursor->total = kis::GetU32LE(count);
  } else if (open) {
    open = IsDataSectionOpen(reader, id, subId);
  }
  if (!open) EndDataSection(reader, cursor, true);
  return open;
}

i32 EndDataSection(kis::BaseDataFileReader* reader, SectionCursor* cursor, bool failed) {
  const bool whole = reader && reader->GetOpenEntry() && DataSectionBytesLeft(reader) == 0;
  return FinishSection(reader, cursor, failed || !whole);
}

#include "resources/SectionReading.h"

#include "base/datafile/DataFileReader.h"

u64 SectionBytesLeft(const kis::BaseDataFileReader* reader) {
  const u32 size = reader->GetSectionSize(), at = reader->GetPosition();
  return at <= size ? size - at : 0;
}

i32 FinishSection(kis::BaseDataFileReader* reader, SectionCursor* cursor, bool failed) {
  if (failed) {
    cursor->error = 1;
    if (reader && reader->GetOpenEntry()) reader->CloseSection();
  } else if (!reader->CloseSection()) {
    cursor->error = 1;
  }
  return 1;
}

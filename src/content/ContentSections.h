// The steps every reader of a content section ("Data.dat") shares, over
// those of every section reader (resources/SectionReading.h). A section that is
// missing, short or longer than its records leaves the archive in order: the
// reader sets its cursor's error flag, closes what it opened and the next
// section can still be read. Nothing is read past the section's end, so a
// damaged count never reaches the container (whose errors are sticky) and
// never sizes an allocation.
#pragma once

#include <vector>

#include "base/LittleEndian.h"
#include "base/Types.h"
#include "resources/ResourceServices.h"

namespace kis {
class BaseDataFileReader;
}

// Bytes of the open section after the read position; 0 without one.
u32 DataSectionBytesLeft(const kis::BaseDataFileReader* reader);
// Opens (id, sub-id) of the current directory; false when it is absent.
bool OpenDataSection(kis::BaseDataFileReader* reader, u32 id, u32 subId);
// True while that very section is the reader's open one (a resumed call).
bool IsDataSectionOpen(const kis::BaseDataFileReader* reader, u32 id, u32 subId);
// Reads n bytes when the section still holds them; otherwise reads nothing.
bool ReadDataSection(kis::BaseDataFileReader* reader, void* out, u32 n);
// Ends a reader's section and returns 1 (finished). The error flag is set
// when `failed`, when bytes are left unread or when the close fails.
i32 EndDataSection(kis::BaseDataFileReader* reader, SectionCursor* cursor, bool failed);

// The start of every call of a counted section's reader: the first call
// (done 0) opens the section and reads its u32 count into total; a later
// one checks that the section is still the open one. False when that fails:
// the section has then been ended with the error flag.
bool BeginCountedSection(kis::BaseDataFileReader* reader, SectionCursor* cursor, u32 id, u32 subId);

// A section that is one block of exactly `size` bytes, read whole into
// `block` (left as it was beyond the bytes the section holds) and ended: the
// error flag is set unless the section held exactly `size` bytes. Returns how
// many bytes it took (at most `size`), so the whole records of a short block
// can be kept.
u32 ReadDataBlock(kis::BaseDataFileReader* reader, SectionCursor* cursor, u32 id, u32 subId, u8* block, u32 size);

// The resumable reader of a section of a u32 record count and that many
// records of `recordSize` bytes: `take` (raw bytes) -> false refuses a record.
// Each call reads records until the progress hook asks for the frame back (0)
// or the section ends (1, the error flag telling failure). Records taken
// before a failure stay where `take` put them.
template <class Take>
i32 ReadCountedRecords(kis::BaseDataFileReader* reader, SectionCursor* cursor, u32 id, u32 subId, u32 recordSize,
                       Take&& take) {
  if (!cursor) return 1;
  if (!BeginCountedSection(reader, cursor, id, subId)) return 1;
  std::vector<u8> raw(recordSize);
  while (cursor->done < cursor->total) {
    if (!ReadDataSection(reader, raw.data(), recordSize) || !take(raw.data()))
      return EndDataSection(reader, cursor, true);
    ++cursor->done;
    if (StepLoadingProgress(static_cast<float>(cursor->done) / static_cast<float>(cursor->total))) return 0;
  }
  return EndDataSection(reader, cursor, false);
}

// The "COMX" section of comic pages (see ContentSectionFuzz.h). A section
// that reads is kept whole and every part's counts agree with the bytes it
// took; one that fails keeps nothing.
#include "ContentSectionFuzz.h"
#include "content/ComixSection.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return contentfuzz::Run(kComixSectionId, kComixSectionSubId, data, size, [size](kis::BaseDataFileReader* reader) {
    ComixList list;
    SectionCursor cursor;
    list.ReadSection(reader, &cursor);
    if (cursor.error && list.GetCount() != 0) __builtin_trap();
    u64 bytes = 4;
    for (u32 p = 0; p < list.GetCount(); ++p) {
      bytes += kComixPageHeaderSize;
      for (const COMIXPART& part : list.Get(p)->parts) bytes += part.RecordSize();
    }
    if (!cursor.error && bytes != size) __builtin_trap();
  });
}

// The "GRND" section (see ContentSectionFuzz.h); every record is acquired,
// tiled and released.
#include "ContentSectionFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return contentfuzz::Run(kGroundSectionId, kGroundSectionSubId, data, size, [](kis::BaseDataFileReader* reader) {
    GroundList list;
    contentfuzz::ReadAll([&](SectionCursor* c) { return list.ReadSection(reader, c); });
    for (u32 i = 0; i < list.GetCount(); ++i) {
      GROUND* g = list.Get(i);
      list.Acquire(g);
      if (list.MakeTile(g->rect.left, g->rect.top, g->drawParam, g, true)) __builtin_trap();  // no sprites here
      list.Release(g, false);
      if (list.Find(g->id) == nullptr && g->id != 0) __builtin_trap();
    }
  });
}

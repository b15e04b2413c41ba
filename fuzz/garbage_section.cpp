// The "LPNT" section of garbage definitions (see ContentSectionFuzz.h).
#include "ContentSectionFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return contentfuzz::Run(kGarbageSectionId, kGarbageSectionSubId, data, size, [](kis::BaseDataFileReader* reader) {
    GarbageList list;
    contentfuzz::ReadAll([&](SectionCursor* c) { return LoadGarbageDefinitions(&list, reader, c); });
    list.LoadPointSprites(nullptr);
    for (u32 i = 0; i < list.GetCount(); ++i) {
      const GARBAGEINFO* g = list.Get(i);
      if (g->spriteCount > kGarbageSpriteSlots || g->particleCount > kGarbageParticleSlots) __builtin_trap();
      list.Find(g->id);
    }
  });
}

// The "VLNS" section of villain kinds (see ContentSectionFuzz.h). Every
// kind read shoots at least once and takes at least one click, and is found
// again by its id.
#include "ContentSectionFuzz.h"
#include "content/VillainList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return contentfuzz::Run(kVillainSectionId, kVillainSectionSubId, data, size, [](kis::BaseDataFileReader* reader) {
    VillainList list;
    contentfuzz::ReadAll([&](SectionCursor* c) { return list.ReadSection(reader, c); });
    for (u32 i = 0; i < list.GetCount(); ++i) {
      const VILLAININFO* v = list.Get(i);
      if (v->shots < 1 || v->health < 1) __builtin_trap();
      if (v->id != 0 && list.FindVillainInfo(v->id) == nullptr) __builtin_trap();
    }
  });
}

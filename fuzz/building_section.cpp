// The "BLDN" section of building kinds (see ContentSectionFuzz.h). Every
// kind read is enabled for a level (acquiring its resources), asked for its
// availability and its capacity at every storage level, and found again.
#include "ContentSectionFuzz.h"
#include "content/BuildingTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return contentfuzz::Run(kBuildingSectionId, kBuildingSectionSubId, data, size, [](kis::BaseDataFileReader* reader) {
    BuildingTable table;
    contentfuzz::ReadAll([&](SectionCursor* c) { return table.ReadSection(reader, c); });
    for (u32 i = 0; i < table.GetCount(); ++i) {
      BUILDING* b = table.Get(i);
      if (b->levelCount < 0 || b->levelCount > static_cast<i32>(kMaxBuildingLevels)) __builtin_trap();
      if (b->factory.productCount > kMaxFactoryProducts) __builtin_trap();
      for (i32 l = 0; l < b->levelCount; ++l)
        if (b->levels[l].extraCount > kMaxBuildingExtras || b->levels[l].emitterCount > kMaxBuildingEmitters ||
            b->levels[l].factory.animationCount > kMaxFactoryAnimations)
          __builtin_trap();
      b->EnableForLevel(static_cast<i32>(i));
      b->IsAvailable();
      for (i32 level = -1; level < 6; ++level) b->GetCapacity(level);
      if (table.FindBuilding(b->id) == nullptr && b->id != 0) __builtin_trap();
    }
    table.ClearUsedFlags();
  });
}

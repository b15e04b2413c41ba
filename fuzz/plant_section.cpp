// The "PLNT" section of plant kinds with the beds' stages, timings and
// looks (see ContentSectionFuzz.h). Every kind read is used on a level
// (acquiring its resources) and found again; every bed look's sprites load.
#include "ContentSectionFuzz.h"
#include "content/PlantTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return contentfuzz::Run(kPlantSectionId, kPlantSectionSubId, data, size, [](kis::BaseDataFileReader* reader) {
    PlantTable table;
    contentfuzz::ReadAll([&](SectionCursor* c) { return table.ReadSection(reader, c); });
    for (u32 i = 0; i < kBedStageCount; ++i)
      if (table.GetStage(i).cropCount > kMaxBedCrops) __builtin_trap();
    for (u32 i = 0; i < table.GetCount(); ++i) {
      PLANT* p = table.Get(i);
      if (p->kind == kPlantTree && p->fruitCounts[3] > kMaxTreeFruits) __builtin_trap();
      table.UsePlant(p, static_cast<i32>(i));
      if (table.FindPlant(p->id) == nullptr && p->id != 0) __builtin_trap();
    }
    for (u32 look = 0; look <= table.GetBedLookCount(); ++look) table.LoadBedSprites(look, nullptr);
    table.ResetUse();
    table.GetTiming(kTimingPulldown);
  });
}

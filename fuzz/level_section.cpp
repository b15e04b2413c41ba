// The "LVLS" section: the map grid, the count of 41 and the level records
// (see ContentSectionFuzz.h). Every level read must pass the checks the rest
// of the game relies on; every level is then graded.
#include "ContentSectionFuzz.h"

#include "content/LevelRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return contentfuzz::Run(kLevelSectionId, kLevelSectionSubId, data, size, [](kis::BaseDataFileReader* reader) {
    static LevelTable table;
    table.Clear();
    contentfuzz::ReadAll([&](SectionCursor* c) { return table.ReadChunk(reader, c); });
    for (u32 i = 0; i < kLevelCount; ++i) {
      const LEVELINFO& l = table.Get(i);
      if (l.loaded && !ValidateLevelInfo(l)) __builtin_trap();
      for (i32 r = 0; r < 2; ++r) table.GetMedal(r, static_cast<i32>(i), static_cast<u32>(l.regimes[r].gold));
    }
    for (u32 c = 0; c < kMapGridCells; ++c)
      if (table.GetGridCell(c) < -1 || table.GetGridCell(c) >= static_cast<i32>(kLevelCount)) __builtin_trap();
  });
}

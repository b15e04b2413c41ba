// The award section's two blocks (see ContentSectionFuzz.h); the counters are
// then pushed through every award.
#include <climits>

#include "ContentSectionFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return contentfuzz::Run(kAwardSectionId, kAwardSectionSubId, data, size, [](kis::BaseDataFileReader* reader) {
    AwardTable table;
    contentfuzz::ReadAll([&](SectionCursor* c) { return table.ReadSection(reader, c); });
    table.LoadIcons();
    AWARDCOUNTERS counters;
    for (u32 i = 0; i < kTieredAwardCount; ++i) {
      table.AddProgress(counters, i, INT_MAX);
      table.AddProgress(counters, i, INT_MIN);
      table.FindTieredByName(table.GetTiered(i).name);
    }
    for (u32 i = 0; i < kRecordAwardCount; ++i) table.RaiseRecord(counters, i, INT_MAX, true);
    table.CheckFinal(counters);
    if (table.CheckFinal(counters)) __builtin_trap();  // given once at most
  });
}

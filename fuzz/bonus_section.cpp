// The "BONS" block of the six bonuses (see ContentSectionFuzz.h).
#include "ContentSectionFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return contentfuzz::Run(kBonusSectionId, kBonusSectionSubId, data, size, [](kis::BaseDataFileReader* reader) {
    GameBonuses bonuses;
    contentfuzz::ReadAll([&](SectionCursor* c) { return bonuses.ReadSection(reader, c); });
    bonuses.LoadIcons();
    for (u32 i = 0; i < kBonusCount; ++i) {
      bonuses.LoadBonus(i);
      if (bonuses.FindByName(bonuses.Get(i).name) > static_cast<i32>(kBonusCount)) __builtin_trap();
    }
  });
}

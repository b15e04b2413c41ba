// One level record on its own: the input is the open section's bytes and
// LevelTable::ReadLevel reads a record from them (see ContentSectionFuzz.h).
// A record read must pass the checks (one without a task in either mode is
// read but not loaded); one refused must leave its slot as it was.
#include "ContentSectionFuzz.h"

#include "content/LevelRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return contentfuzz::Run(kLevelSectionId, kLevelSectionSubId, data, size, [](kis::BaseDataFileReader* reader) {
    static LevelTable table;
    if (!OpenDataSection(reader, kLevelSectionId, kLevelSectionSubId)) __builtin_trap();
    LEVELINFO level;
    if (table.ReadLevel(reader, &level)) {
      const bool tasks = level.regimes[0].taskCount > 0 || level.regimes[1].taskCount > 0;
      if (!ValidateLevelInfo(level) || level.loaded != tasks) __builtin_trap();
    } else if (level.loaded || !level.points.empty() || level.mapCell != -1) {
      __builtin_trap();
    }
    reader->CloseSection();
  });
}

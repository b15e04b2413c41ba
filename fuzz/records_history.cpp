// A level's history file on arbitrary bytes (UTF-16 with its mark, or 8-bit
// text): read, a run added in each regime, written; read again it gives the
// lines written, and the record line holds both regimes' records.
#include "UserFileFuzz.h"
#include "app/GameLog.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const userfuzz::Scratch scratch("history");
  if (size > (1u << 16)) return 0;
  scratch.Put("level_01.txt", data, size);
  std::vector<std::u16string> lines = gamelog::ReadHistory(scratch.Wide("level_01.txt"));
  gamelog::AddRun(&lines, 1, 61000, 62000);
  gamelog::AddRun(&lines, 0, 1000, 2000);
  if (lines.size() < 2 || lines[0].size() < gamelog::kHistoryColumn) __builtin_trap();
  if (lines[0].compare(0, 6, u"Рекорд") != 0 || lines[0].compare(gamelog::kHistoryColumn, 6, u"Рекорд") != 0)
    __builtin_trap();
  if (!gamelog::WriteTextFile(scratch.Wide("level_01.txt"), lines)) __builtin_trap();
  std::vector<std::u16string> again = gamelog::ReadHistory(scratch.Wide("level_01.txt"));
  // A last line left empty has no line break after it to be read by.
  while (lines.size() > again.size() && lines.back().empty()) lines.pop_back();
  if (again != lines) __builtin_trap();
  return 0;
}

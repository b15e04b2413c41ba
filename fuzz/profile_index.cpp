// "profiles.dat" on arbitrary bytes: refused cleanly, or accepted with every
// name ending inside its field, written back and read again the same.
#include <cstring>

#include "UserFileFuzz.h"
#include "app/ProfileFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const userfuzz::Scratch scratch("index");
  if (size > (1u << 16)) return 0;
  scratch.Put("profiles.dat", data, size);
  PROFILEINDEX index;
  if (!ReadIndexFile(scratch.Wide("profiles.dat"), &index)) return 0;
  for (const BESTTIME& b : index.best)
    if (b.name[kProfileNameUnits - 1] != 0) __builtin_trap();
  if (!WriteIndexFile(scratch.Wide("again.dat"), index)) __builtin_trap();
  PROFILEINDEX again;
  if (!ReadIndexFile(scratch.Wide("again.dat"), &again)) __builtin_trap();
  for (u32 i = 0; i < kLevelCount; ++i)
    if (again.best[i].time != index.best[i].time || std::memcmp(again.best[i].name, index.best[i].name, 34) != 0)
      __builtin_trap();
  return 0;
}

// Loading a line-list text file from arbitrary bytes must never fault, and
// whatever loads must save back to the byte count its joined text promises.
#include <cstddef>
#include <cstdint>

#include "base/MemoryStream.h"
#include "base/StringList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kis::MemoryStream in;
  in.Write(data, size);
  in.SetPosition(0);
  kis::WideStrings lines;
  const bool loaded = lines.LoadFromStream(&in);
  if (!loaded && lines.GetCount() != 0) __builtin_trap();

  kis::MemoryStream out;
  out.Write("\0", 1);
  out.SetPosition(0);
  if (!lines.SaveToStream(&out)) __builtin_trap();
  const uint64_t expected = 2 + 2 * static_cast<uint64_t>(lines.GetTextLength());
  if (out.GetPosition() != expected) __builtin_trap();

  // The saved text loads again without fault.
  out.SetPosition(0);
  kis::WideStrings again;
  if (!again.LoadFromStream(&out)) __builtin_trap();
  return 0;
}

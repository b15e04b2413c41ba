// UTF-8 text from files and the system must convert without faults, and the
// UTF-16 result must survive the way back.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/encoding/Utf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::u16string wide = plat::Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::string back = plat::Utf16ToUtf8(wide);
  if (plat::Utf8ToUtf16(back) != wide) __builtin_trap();
  return 0;
}

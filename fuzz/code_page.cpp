// 8-bit text in any declared code page must convert without faults, and the
// character boundaries it reports must be usable cut points.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/encoding/CodePage.h"

namespace {

const uint32_t kPages[] = {1250, 1251, 1252, 1253, 1255, 1258, 28591, 28605, 38598, 20866, 10000, 20127,
                           932,  936,  949,  950,  54936, 50220, 50225, 51932, 51949, 52936};

void CheckEnds(const std::vector<uint32_t>& ends, size_t total) {
  uint32_t last = 0;
  for (uint32_t e : ends) {
    if (e < last || e > total) __builtin_trap();
    last = e;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint32_t page = kPages[data[0] % (sizeof(kPages) / sizeof(kPages[0]))];
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  std::u16string wide;
  std::vector<uint32_t> ends;
  if (plat::MultiByteToWide(page, bytes, wide, &ends)) {
    CheckEnds(ends, bytes.size());
    if (plat::IsSingleByteCodePage(page) && wide.size() != bytes.size()) __builtin_trap();
  }
  std::u16string units;
  for (size_t i = 1; i + 1 < size; i += 2) units += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
  std::string narrow;
  ends.clear();
  if (plat::WideToMultiByte(page, units, narrow, &ends)) CheckEnds(ends, narrow.size());
  return 0;
}

// Formats are the program's own, but the scanned values come from files: any
// text under any format must scan or fail without touching memory outside the
// destinations. The input is "format NUL text".
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "base/text/TextScanner.h"
#include "base/text/TextValue.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint8_t* split = static_cast<const uint8_t*>(std::memchr(data, 0, size));
  const size_t formatBytes = split ? static_cast<size_t>(split - data) : (size < 16 ? size : 16);
  const size_t textStart = split ? formatBytes + 1 : formatBytes;
  std::u16string format;
  for (size_t i = 0; i < formatBytes && i < 64; ++i) format += static_cast<char16_t>(data[i]);
  std::u16string wide;
  std::string narrow;
  for (size_t i = textStart; i + 1 < size; i += 2) wide += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
  for (size_t i = textStart; i < size; ++i)
    if (data[i]) narrow += static_cast<char>(data[i]);
  for (char16_t& c : wide)
    if (c == 0) c = u' ';

  u32 records = 0;
  kis::ScanTextW(format.c_str(), 1000, nullptr, 0, kis::kScanCount, wide.c_str(), 0, &records);
  kis::ScanTextA(format.c_str(), 1000, nullptr, 0, kis::kScanCount, narrow.c_str(), 1251, &records);
  // Array mode into a record area sized exactly to the records asked for.
  for (u32 recordSize : {4u, 12u, 64u, 1040u}) {
    std::vector<u8> area(static_cast<size_t>(recordSize) * 4);
    kis::ScanTextW(format.c_str(), 4, area.data(), recordSize, kis::kScanArray, wide.c_str(), 932, &records);
    kis::ScanTextA(format.c_str(), 4, area.data(), recordSize, kis::kScanArray, narrow.c_str(), 0, &records);
  }
  // Pointer mode with destinations of many shapes.
  i32 a = 0, b = 0;
  u32 x = 0;
  float f = 0;
  char16_t name[8];
  char bytes[8];
  char16_t ch = 0;
  const auto args = kis::MakeScanArgs(&a, &b, &x, &f, &name, &bytes, &ch);
  const kis::ScanArgList list = args.List();
  kis::ScanTextW(format.c_str(), 3, const_cast<kis::ScanArgList*>(&list), 0, kis::kScanPointers, wide.c_str(), 0,
                 &records);
  // Value copies of the same text, cut at several capacities.
  for (u32 cap : {0u, 1u, 2u, 5u, 64u}) {
    char16_t wbuf[64];
    char abuf[64];
    u32 count = 0;
    kis::CopyValueWToW(wide.c_str(), cap ? wbuf : nullptr, cap, 0, &count);
    kis::CopyValueWToA(wide.c_str(), cap ? abuf : nullptr, cap, 932, &count);
    kis::CopyValueAToW(narrow.c_str(), cap ? wbuf : nullptr, cap, 936, &count);
    kis::CopyValueAToA(narrow.c_str(), cap ? abuf : nullptr, cap, 1251, &count);
  }
  return 0;
}

// Arbitrary text through the number readers, the path combiner and the time
// formatter, with small bounded buffers: no crash, no write past a buffer,
// and results that agree with themselves.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "base/Identifier.h"
#include "base/NumberText.h"
#include "base/Path.h"
#include "base/TimeFormat.h"

namespace {

constexpr char16_t kGuard = 0xFDFD;

// A buffer of `size` characters followed by guard characters that must survive.
struct Bounded {
  std::vector<char16_t> data;
  uint32_t size;
  explicit Bounded(uint32_t n) : data(n + 8, kGuard), size(n) {}
  void Check() const {
    for (size_t i = size; i < data.size(); ++i)
      if (data[i] != kGuard) __builtin_trap();
    if (size && std::char_traits<char16_t>::find(data.data(), size, 0) == nullptr) __builtin_trap();
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const uint32_t bufSize = data[0] % 40;
  const uint32_t limit = data[1] % 2 ? kis::kNoLimit : data[1];
  const uint8_t flags = data[2];
  data += 3;
  size -= 3;

  // Two texts split at the first 0xFF byte, in both character widths.
  std::vector<char16_t> wide;
  std::vector<char> narrow;
  for (size_t i = 0; i < size; ++i) {
    wide.push_back(static_cast<char16_t>(data[i] == 0xFE ? 0x263A : data[i]));
    narrow.push_back(static_cast<char>(data[i]));
  }
  wide.push_back(0);
  narrow.push_back(0);
  const char16_t* text = wide.data();
  const char16_t* second = text;
  for (size_t i = 0; i < size; ++i)
    if (data[i] == 0xFF) {
      wide[i] = 0;
      second = text + i + 1;
      break;
    }

  u32 used = 0;
  const int32_t v = kis::StrToIntExW(text, limit, -7, u",; ", &used);
  if (used > size) __builtin_trap();
  if (v != -7) {
    // A number read back must print to text that reads as the same number.
    char16_t again[16];
    kis::IntToStrW(again, 16, v);
    if (kis::StrToIntW(again, kis::kNoLimit, v ^ 1) != v) __builtin_trap();
  }
  kis::StrToUIntExW(text, limit, 0, flags & 1, u",", &used);
  kis::StrToIntExA(narrow.data(), limit, 0, ",", &used);
  kis::HexStrToIntW(text, limit, 0, flags & 2, flags & 4);
  kis::HexStrToInt64A(narrow.data(), limit, 0, flags & 2, flags & 4);
  kis::StrToFloatW(text, limit, 0, u",", &used);
  kis::StrToFloatA(narrow.data(), limit, 0, nullptr, nullptr);

  {
    Bounded out(bufSize);
    kis::CombinePathW(out.data.data(), out.size, text, second, flags & 8);
    out.Check();
  }
  {
    Bounded out(bufSize);
    kis::MakeAbsolutePathW(out.data.data(), out.size, second, text, u".x");
    out.Check();
  }
  {
    Bounded out(bufSize);
    kis::SystemTime t{};
    kis::MsToSystemTime(static_cast<u32>(size * 2654435761u), t);
    t.month = flags % 14;
    t.dayOfWeek = flags % 8;
    kis::FormatTimeW(text, out.data.data(), out.size, t);
    out.Check();
  }
  {
    Bounded out(bufSize);
    std::memcpy(out.data.data(), u"ab", 3 * sizeof(char16_t));
    if (out.size >= 3) {
      kis::StrInsertW(out.data.data(), out.size, flags % 4, text, flags);
      out.Check();
    }
  }
  kis::IDENTTOKEN token;
  kis::ScanIdentifierW(text, limit, 31, token, flags & 16, '_');
  kis::Identifier id;
  id.Parse(text, limit, flags & 32, (flags & 64) ? &used : nullptr, u".");
  kis::NameId(text);
  return 0;
}

// Any format and any text through the value-list scanner, 8-bit and wide,
// into variables of every kind: text buffers of exact size on the heap (a
// write past one is caught), numbers that only change when stored, a count
// that never exceeds the variables, and text that always ends inside its
// buffer. The ini number parsers then take the text whole: a value they
// accept lies in the range asked for.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "base/IniNumbers.h"
#include "base/ValueList.h"

namespace {

template <class Ch>
bool Terminated(const Ch* buffer, uint32_t capacity) {
  for (uint32_t i = 0; i < capacity; ++i)
    if (buffer[i] == 0) return true;
  return false;
}

template <class Ch>
void Scan(const std::basic_string<Ch>& format, const std::basic_string<Ch>& text, Ch separator, int32_t skip,
          int32_t count, uint32_t capacity) {
  int8_t i1 = 0;
  int16_t i2 = 0;
  int32_t i4 = 0;
  uint8_t u1 = 0;
  uint16_t u2 = 0;
  uint32_t u4 = 0;
  float f = 0;
  // Text buffers start filled with a mark: a text stored must end inside.
  std::unique_ptr<Ch[]> sized(new Ch[capacity]);
  std::unique_ptr<Ch[]> wide(new Ch[128]);
  for (uint32_t i = 0; i < capacity; ++i) sized[i] = static_cast<Ch>('#');
  for (uint32_t i = 0; i < 128; ++i) wide[i] = static_cast<Ch>('#');
  const kis::ValueArg args[] = {kis::MakeValueArg(&i1),  kis::MakeValueArg(&i2), kis::MakeValueArg(&i4),
                               kis::MakeValueArg(&u1),  kis::MakeValueArg(&u2), kis::MakeValueArg(&u4),
                               kis::MakeValueArg(&f),   kis::ScanText(sized.get(), capacity),
                               kis::ScanText(wide.get(), 128), kis::MakeValueArg(nullptr), kis::ValueArg{}};
  constexpr size_t kArgs = sizeof args / sizeof args[0] - 1;
  // The arguments are offered from a rotating start so every token meets
  // every kind of variable.
  for (size_t first = 0; first < kArgs; ++first) {
    const int32_t stored =
        kis::ScanValuesList<Ch>(text.c_str(), format.c_str(), separator, skip, count, args + first, kArgs - first);
    if (stored < -1 || stored > static_cast<int32_t>(kArgs - first)) __builtin_trap();
    if (sized[0] != static_cast<Ch>('#') && !Terminated(sized.get(), capacity)) __builtin_trap();
    if (wide[0] != static_cast<Ch>('#') && !Terminated(wide.get(), 128)) __builtin_trap();
  }
}

template <class Ch>
void ParseWhole(const std::basic_string<Ch>& text) {
  using namespace kis::ini_detail;
  i64 v = 0;
  if (ParseDecimal(text.data(), text.size(), INT32_MIN, INT32_MAX, v) && (v < INT32_MIN || v > INT32_MAX))
    __builtin_trap();
  if (ParseDecimal(text.data(), text.size(), 0, UINT16_MAX, v) && (v < 0 || v > UINT16_MAX)) __builtin_trap();
  u64 h = 0;
  if (ParseHex(text.data(), text.size(), UINT32_MAX, h) && h > UINT32_MAX) __builtin_trap();
  float f = 0;
  if (ParseFloat(text.data(), text.size(), f) && !std::isfinite(f)) __builtin_trap();
}

}  // namespace

// Bytes: separator, skip, count, text capacity, then the format up to the
// first zero byte and the text after it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4 || size > 8192) return 0;
  const char separator = static_cast<char>(data[0]);
  const int32_t skip = static_cast<int8_t>(data[1]) % 8;
  const int32_t count = static_cast<int8_t>(data[2]) % 16;
  const uint32_t capacity = 1 + data[3] % 64;
  const char* rest = reinterpret_cast<const char*>(data + 4);
  const size_t restSize = size - 4;
  const void* zero = std::memchr(rest, 0, restSize);
  const size_t formatSize = zero ? static_cast<size_t>(static_cast<const char*>(zero) - rest) : restSize;
  const std::string format(rest, formatSize);
  const std::string text = zero ? std::string(rest + formatSize + 1, restSize - formatSize - 1) : std::string();
  // A zero inside the text ends it, as it would end a C string.
  const std::string cText(text.c_str());

  Scan<char>(format, cText, separator, skip, count, capacity);
  const std::u16string wideFormat(format.begin(), format.end()), wideText(cText.begin(), cText.end());
  Scan<char16_t>(wideFormat, wideText, static_cast<char16_t>(static_cast<uint8_t>(separator)), skip, count,
                 capacity);
  ParseWhole(text);
  ParseWhole(wideText);
  return 0;
}

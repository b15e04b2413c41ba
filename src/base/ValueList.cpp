#include "base/ValueList.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "base/IniNumbers.h"
#include "platform/encoding/Ascii.h"

namespace kis {

namespace {

enum Code : u32 {
  kUnknown = 0,
  kI1 = 1,
  kI2 = 2,
  kI4 = 3,
  kU1 = 4,
  kU2 = 5,
  kU4 = 6,
  kFloat = 7,
  kX1 = 8,
  kX2 = 9,
  kX4 = 10,
  kSkipVariable = 11,
  kText = 12,        // capacity from the variable
  kTextSized = 128,  // + N characters
};

struct Entry {
  const char* name;
  Code code;
};

constexpr Entry kEntries[] = {
    {"i1", kI1}, {"i2", kI2}, {"i4", kI4}, {"ui1", kU1}, {"ui2", kU2},  {"ui4", kU4}, {"x1", kX1}, {"x2", kX2},
    {"x4", kX4}, {"b", kU1},  {"b4", kI4}, {"c", kI1},   {"f", kFloat}, {"p", kSkipVariable}, {"s", kText},
};

template <class Ch>
bool IsBlank(Ch c) {
  return c == ' ' || c == '\t';
}

// Compares the first k characters of a token with an entry name, case ignored.
template <class Ch>
bool SameStart(const Ch* token, size_t k, const char* name) {
  for (size_t i = 0; i < k; ++i)
    if (plat::AsciiToLower(token[i]) != static_cast<Ch>(name[i])) return false;
  return true;
}

// The type code of one format token: an exact entry first, then the first
// entry that agrees over the shorter of both lengths.
template <class Ch>
u32 TokenCode(const Ch* token, size_t n) {
  while (n > 0 && IsBlank(token[n - 1])) --n;
  if (n == 0) return kUnknown;
  const Entry* found = nullptr;
  for (const Entry& e : kEntries)
    if (!found && std::strlen(e.name) == n && SameStart(token, n, e.name)) found = &e;
  for (const Entry& e : kEntries) {
    const size_t len = std::strlen(e.name);
    if (!found && SameStart(token, len < n ? len : n, e.name)) found = &e;
  }
  if (!found) return kUnknown;
  if (found->code != kText || n < 2 || !plat::IsAsciiDigit(token[1])) return found->code;
  u32 size = 0;
  for (size_t i = 1; i < n && plat::IsAsciiDigit(token[i]) && size <= 127; ++i)
    size = size * 10 + static_cast<u32>(token[i] - '0');
  return kTextSized + (size > 127 ? 127 : size);
}

template <class Ch>
std::vector<u32> ParseFormat(const Ch* format) {
  std::vector<u32> codes;
  if (!format) return codes;
  const Ch* p = format;
  while (*p) {
    while (IsBlank(*p)) ++p;
    const Ch* start = p;
    while (*p && *p != ',') ++p;
    codes.push_back(TokenCode(start, static_cast<size_t>(p - start)));
    if (*p) ++p;
  }
  return codes;
}

u32 NumberSize(u32 code) {
  switch (code) {
    case kI1:
    case kU1:
    case kX1:
      return 1;
    case kI2:
    case kU2:
    case kX2:
      return 2;
    default:
      return 4;
  }
}

// Whether a variable can take what a token stores.
template <class Ch>
bool Fits(const ValueArg& arg, u32 code) {
  if (arg.kind == ValueArg::Kind::Null || code == kSkipVariable) return true;
  if (code >= kText) {
    const ValueArg::Kind text = sizeof(Ch) == 1 ? ValueArg::Kind::Text8 : ValueArg::Kind::Text16;
    const u32 needed = code == kText ? 1 : code - kTextSized;
    return arg.kind == text && arg.capacity > 0 && arg.capacity >= needed;
  }
  if (code == kFloat) return arg.kind == ValueArg::Kind::Float && arg.size == 4;
  return arg.kind == ValueArg::Kind::Integer && arg.size == NumberSize(code);
}

template <class T>
void Put(void* p, T v) {
  std::memcpy(p, &v, sizeof v);
}

// Converts one value and stores it; false leaves the variable untouched.
template <class Ch>
bool Store(const ValueArg& arg, u32 code, const Ch* s, size_t n) {
  if (!arg.p) return false;
  if (code >= kText) {
    const u32 capacity = code == kText ? arg.capacity : code - kTextSized;
    if (capacity == 0) return false;
    const size_t copied = n < capacity - 1 ? n : capacity - 1;
    Ch* out = static_cast<Ch*>(arg.p);
    std::memcpy(out, s, copied * sizeof(Ch));
    out[copied] = 0;
    return true;
  }
  using ini_detail::ParseDecimal;
  using ini_detail::ParseHex;
  i64 v = 0;
  u64 x = 0;
  float f = 0;
  switch (code) {
    case kI1:
      if (!ParseDecimal(s, n, INT8_MIN, INT8_MAX, v)) return false;
      Put(arg.p, static_cast<i8>(v));
      break;
    case kI2:
      if (!ParseDecimal(s, n, INT16_MIN, INT16_MAX, v)) return false;
      Put(arg.p, static_cast<i16>(v));
      break;
    case kI4:
      if (!ParseDecimal(s, n, INT32_MIN, INT32_MAX, v)) return false;
      Put(arg.p, static_cast<i32>(v));
      break;
    case kU1:
      if (!ParseDecimal(s, n, 0, UINT8_MAX, v)) return false;
      Put(arg.p, static_cast<u8>(v));
      break;
    case kU2:
      if (!ParseDecimal(s, n, 0, UINT16_MAX, v)) return false;
      Put(arg.p, static_cast<u16>(v));
      break;
    case kU4:
      if (!ParseDecimal(s, n, 0, UINT32_MAX, v)) return false;
      Put(arg.p, static_cast<u32>(v));
      break;
    case kX1:
      if (!ParseHex(s, n, UINT8_MAX, x)) return false;
      Put(arg.p, static_cast<u8>(x));
      break;
    case kX2:
      if (!ParseHex(s, n, UINT16_MAX, x)) return false;
      Put(arg.p, static_cast<u16>(x));
      break;
    case kX4:
      if (!ParseHex(s, n, UINT32_MAX, x)) return false;
      Put(arg.p, static_cast<u32>(x));
      break;
    case kFloat:
      if (!ini_detail::ParseFloat(s, n, f)) return false;
      Put(arg.p, f);
      break;
    default:
      return false;
  }
  return true;
}

}  // namespace

template <class Ch>
i32 ScanValuesList(const Ch* text, const Ch* format, Ch separator, i32 skip, i32 count, const ValueArg* args,
                   size_t argCount) {
  const std::vector<u32> codes = ParseFormat(format);
  std::vector<u32> variableCodes;
  for (u32 c : codes)
    if (c != kUnknown) variableCodes.push_back(c);
  // Every variable meets the same token in every row: check them all first.
  if (!variableCodes.empty()) {
    for (size_t k = 0; k < argCount; ++k)
      if (!Fits<Ch>(args[k], variableCodes[k % variableCodes.size()])) return -1;
  }
  if (!text || codes.empty() || count == 0) return 0;

  const Ch* p = text;
  while (IsBlank(*p)) ++p;
  // Takes the next value (blanks trimmed) and steps over its separator.
  auto next = [&](const Ch*& start, size_t& n) {
    start = p;
    while (*p && *p != separator) ++p;
    const Ch* end = p;
    while (end > start && IsBlank(end[-1])) --end;
    n = static_cast<size_t>(end - start);
    if (*p) {
      ++p;
      while (IsBlank(*p)) ++p;
    }
  };

  i32 stored = 0;
  size_t variable = 0;
  const Ch* value = nullptr;
  size_t n = 0;
  for (i32 row = 0; count < 0 || row < count; ++row) {
    const Ch* rowStart = p;
    for (i32 i = 0; i < skip; ++i) {
      if (!*p) return stored;
      next(value, n);
    }
    for (u32 code : codes) {
      if (!*p) return stored;
      if (code == kSkipVariable) {
        ++variable;
        continue;
      }
      next(value, n);
      if (code == kUnknown) continue;
      if (variable >= argCount) return stored;
      if (Store(args[variable], code, value, n)) ++stored;
      ++variable;
    }
    if (p == rowStart || variable >= argCount) break;  // a row that reads nothing would repeat forever
  }
  return stored;
}

template i32 ScanValuesList<char>(const char*, const char*, char, i32, i32, const ValueArg*, size_t);
template i32 ScanValuesList<wchar>(const wchar*, const wchar*, wchar, i32, i32, const ValueArg*, size_t);

}  // namespace kis

#include "engine/text/DXLCharList.h"

#include <cstring>
#include <type_traits>

#include "platform/encoding/Ascii.h"

namespace {

constexpr u32 kMaxCodes = kCharListCapacity - 1;

template <class Ch>
u32 Unit(Ch c) {
  return static_cast<std::make_unsigned_t<Ch>>(c);
}

template <class Ch>
bool IsOneOf(Ch c, const char* set) {
  const u32 u = Unit(c);
  if (u >= 0x80) return false;
  for (const char* p = set; *p; ++p)
    if (u == static_cast<u8>(*p)) return true;
  return false;
}

// The list being built: codes beyond the capacity are dropped, zero codes
// (which would end the list early) are left out.
template <class Ch>
struct Builder {
  std::vector<Ch>* out;
  void Add(u32 code) {
    if (code == 0 || out->size() >= kMaxCodes) return;
    out->push_back(static_cast<Ch>(code));
  }
};

// A code item: "#" decimal, "$" hexadecimal or one character between
// apostrophes. Numbers end at a space, "=", "-", ",", the stop character or
// the end of the text.
template <class Ch>
bool ReadCode(const Ch* text, u32 end, u32* pos, Ch stop, u32* code) {
  constexpr u32 kMaxCode = (1u << (8 * sizeof(Ch))) - 1;
  u32 i = *pos;
  const Ch lead = text[i];
  if (lead == Ch('\'')) {
    if (i + 2 >= end || text[i + 2] != Ch('\'')) return false;
    *code = Unit(text[i + 1]);
    *pos = i + 3;
    return true;
  }
  const u32 base = lead == Ch('#') ? 10 : 16;
  ++i;
  u32 value = 0;
  u32 digits = 0;
  for (; i < end; ++i) {
    const Ch c = text[i];
    if (IsOneOf(c, " =-,") || (stop != 0 && c == stop)) break;
    const int d = plat::HexDigitValue(Unit(c));
    if (d < 0 || static_cast<u32>(d) >= base) return false;
    value = value * base + static_cast<u32>(d);
    if (value > kMaxCode) return false;
    ++digits;
  }
  if (digits == 0) return false;
  *code = value;
  *pos = i;
  return true;
}

}  // namespace

// The open item is none, one code, a code and "-" waiting for the second, or
// a complete range; "," (or the end) closes it.
template <class Ch>
bool DXLParseCharList(const Ch* text, Ch stop, u32 maxLength, std::vector<Ch>* out, u32* stopped) {
  if (!out) return false;
  out->clear();
  if (!text) return false;
  u32 end = 0;
  while (text[end] != 0 && (maxLength == 0 || end + 1 < maxLength)) ++end;

  Builder<Ch> list{out};
  enum { kNone, kSingle, kDash, kRange } state = kNone;
  u32 first = 0;
  u32 second = 0;
  auto close = [&]() -> bool {
    if (state == kDash) return false;
    if (state == kSingle) list.Add(first);
    if (state == kRange) {
      for (u32 c = first < 32 ? 32 : first; c <= second; ++c) list.Add(c);
    }
    state = kNone;
    return true;
  };
  auto fail = [&]() {
    out->clear();
    return false;
  };

  u32 i = 0;
  while (i < end) {
    const Ch c = text[i];
    if (c == Ch(' ')) {
      ++i;
      continue;
    }
    if (stop != 0 && c == stop) {
      if (!close()) return fail();
      if (stopped) *stopped = i + 1;
      return true;
    }
    if (c == Ch('"')) {
      if (state != kNone) return fail();
      u32 j = i + 1;
      while (j < end && text[j] != Ch('"')) ++j;
      if (j >= end) return fail();
      for (u32 k = i + 1; k < j; ++k) list.Add(Unit(text[k]));
      i = j + 1;
      continue;
    }
    if (c == Ch('#') || c == Ch('$') || c == Ch('\'')) {
      u32 code = 0;
      if (!ReadCode(text, end, &i, stop, &code)) return fail();
      if (state == kNone) {
        first = code;
        state = kSingle;
      } else if (state == kDash) {
        second = code;
        state = kRange;
      } else {
        return fail();
      }
      continue;
    }
    if (c == Ch('-')) {
      if (state != kSingle) return fail();
      state = kDash;
      ++i;
      continue;
    }
    if (c == Ch(',')) {
      if (!close()) return fail();
      ++i;
      continue;
    }
    // Anything else is only allowed as the first character: the rest of the
    // text (up to the stop character) is then taken literally.
    if (i != 0) return fail();
    while (i < end && !(stop != 0 && text[i] == stop)) list.Add(Unit(text[i++]));
    if (i < end) {
      if (stopped) *stopped = i + 1;
      return true;
    }
    break;
  }
  if (!close()) return fail();
  if (stopped) *stopped = end;
  return true;
}

template <class Ch>
bool DXLParseDecimal(const Ch* text, u32* pos, const char* ends, i32* value) {
  u32 i = *pos;
  bool negative = false;
  if (text[i] == Ch('-') || text[i] == Ch('+')) negative = text[i++] == Ch('-');
  i64 v = 0;
  u32 digits = 0;
  for (; text[i] != 0 && !IsOneOf(text[i], ends); ++i) {
    const u32 u = Unit(text[i]);
    if (u < '0' || u > '9') return false;
    v = v * 10 + (u - '0');
    if (v > 0x80000000LL) return false;
    ++digits;
  }
  if (digits == 0) return false;
  if (negative) v = -v;
  if (v > 0x7FFFFFFF) return false;
  *value = static_cast<i32>(v);
  *pos = i;
  return true;
}

template bool DXLParseCharList<wchar>(const wchar*, wchar, u32, std::vector<wchar>*, u32*);
template bool DXLParseCharList<char>(const char*, char, u32, std::vector<char>*, u32*);
template bool DXLParseDecimal<wchar>(const wchar*, u32*, const char*, i32*);
template bool DXLParseDecimal<char>(const char*, u32*, const char*, i32*);

#include "base/text/XmlText.h"

#include "platform/encoding/Ascii.h"

namespace kis {
namespace {

template <class Ch>
bool IsXmlBlank(Ch c) {
  return c == ' ' || c == '\n' || c == '\r';
}

template <class Ch>
const Ch* FindChar(const Ch* p, Ch ch, const Ch* end) {
  if (!p) return nullptr;
  for (; (!end || p < end) && *p; ++p)
    if (*p == ch) return p;
  return nullptr;
}

template <class Ch>
const Ch* SkipBlanks(const Ch* p, const Ch* end) {
  if (!p) return nullptr;
  for (; (!end || p < end) && *p; ++p)
    if (!IsXmlBlank(*p)) return p;
  return nullptr;
}

template <class Ch>
const Ch* SkipBlanksBack(const Ch* p, const Ch* begin) {
  if (!p || !begin) return nullptr;
  for (;; --p) {
    if (*p == 0) return nullptr;
    if (!IsXmlBlank(*p)) return p;
    if (p == begin) return nullptr;
  }
}

template <class Ch>
bool StartsWith(const Ch* text, const char* prefix) {
  if (!text || !prefix) return false;
  for (; *prefix; ++prefix, ++text)
    if (static_cast<u32>(static_cast<unsigned char>(*prefix)) !=
        (sizeof(Ch) == 1 ? static_cast<u32>(static_cast<unsigned char>(*text)) : static_cast<u32>(*text)))
      return false;
  return true;
}

// The reference after an "&" at text[i]: its code point and its length
// (including "&" and ";"), or 0 when it is not one we decode.
u32 Reference(const wchar* t, u32 i, u32 length, u32* codePoint) {
  static const struct {
    const char* name;
    wchar ch;
  } kNamed[] = {{"amp;", '&'}, {"lt;", '<'}, {"gt;", '>'}, {"quot;", '"'}, {"apos;", '\''}};
  const u32 rest = length - i - 1;
  const wchar* p = t + i + 1;
  for (const auto& n : kNamed) {
    u32 k = 0;
    while (n.name[k] && k < rest && p[k] == static_cast<wchar>(n.name[k])) ++k;
    if (n.name[k] == 0) {
      *codePoint = n.ch;
      return k + 1;
    }
  }
  if (rest < 1 || p[0] != '#') return 0;
  u32 k = 1;
  const bool hex = k < rest && (p[k] == 'x');
  if (hex) ++k;
  const u32 firstDigit = k;
  u64 v = 0;
  for (; k < rest; ++k) {
    const int d = hex ? plat::HexDigitValue(p[k]) : (plat::IsAsciiDigit(p[k]) ? p[k] - '0' : -1);
    if (d < 0) break;
    v = v * (hex ? 16 : 10) + static_cast<u64>(d);
    if (v > 0x10FFFF) v = 0x110000;  // too large; keep scanning the digits
  }
  if (k == firstDigit || k >= rest || p[k] != ';') return 0;
  if (v == 0 || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) return 0;
  *codePoint = static_cast<u32>(v);
  return k + 2;
}

}  // namespace

const wchar* FindCharW(const wchar* begin, wchar ch, const wchar* end) { return FindChar(begin, ch, end); }
const char* FindCharA(const char* begin, char ch, const char* end) { return FindChar(begin, ch, end); }
const wchar* SkipBlanksW(const wchar* begin, const wchar* end) { return SkipBlanks(begin, end); }
const char* SkipBlanksA(const char* begin, const char* end) { return SkipBlanks(begin, end); }
const wchar* SkipBlanksBackW(const wchar* position, const wchar* begin) { return SkipBlanksBack(position, begin); }
const char* SkipBlanksBackA(const char* position, const char* begin) { return SkipBlanksBack(position, begin); }
bool StartsWithWA(const wchar* text, const char* prefix) { return StartsWith(text, prefix); }
bool StartsWithA(const char* text, const char* prefix) { return StartsWith(text, prefix); }

u32 DecodeXmlTextW(const wchar* text, u32 length, wchar* buffer, u32 capacity) {
  const bool counting = buffer == nullptr;
  if (!counting && capacity > 0) buffer[0] = 0;
  if (!text || length == 0 || (!counting && capacity <= 1)) return 0;
  const u32 limit = counting ? 0xFFFFFFFFu : capacity - 1;
  u32 out = 0;
  auto put = [&](wchar c) {
    if (!counting) buffer[out] = c;
    ++out;
  };
  for (u32 i = 0; i < length && out < limit;) {
    const wchar c = text[i];
    if (c == '\r' || c == '\n') {
      put(' ');
      i += (c == '\r' && i + 1 < length && text[i + 1] == '\n') ? 2 : 1;
      continue;
    }
    u32 cp = 0;
    const u32 used = c == '&' ? Reference(text, i, length, &cp) : 0;
    if (used == 0) {
      if (c >= 0xD800 && c <= 0xDBFF && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
        if (limit - out < 2) break;  // a surrogate pair is never split
        put(c);
        put(text[i + 1]);
        i += 2;
        continue;
      }
      put(c);
      ++i;
      continue;
    }
    if (cp > 0xFFFF) {
      if (limit - out < 2) break;  // a surrogate pair is never split
      put(static_cast<wchar>(0xD800 + ((cp - 0x10000) >> 10)));
      put(static_cast<wchar>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    } else {
      put(static_cast<wchar>(cp));
    }
    i += used;
  }
  if (!counting) buffer[out] = 0;
  return out;
}

}  // namespace kis

#include "gametext/TextArgs.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "base/Strings.h"
#include "engine/DXLFormatWide.h"
#include "gametext/TextServices.h"
#include "platform/encoding/Ascii.h"

namespace {

TextArgsCursor& Cursor() { return GetTextServices().args; }

bool IsBlank(wchar c) { return c == u' ' || c == u'\t'; }
bool IsWordChar(wchar c) {
  return plat::IsAsciiLetter(c) || plat::IsAsciiDigit(c) || c == u'_';
}
bool IsFloatChar(wchar c) { return c == u'.' || c == u'e' || c == u'E' || c == u'+' || c == u'-'; }

constexpr u32 kMaxWord = 63;

// The leading digits of a word, after a sign when `sign`; false past `limit`
// (beyond it by one for a negative number).
bool TextArgsLeadingDigits(const wchar* word, u32 n, bool sign, i64 limit, i64* value) {
  u32 p = 0;
  bool negative = false;
  if (sign && p < n && (word[p] == u'-' || word[p] == u'+')) negative = word[p++] == u'-';
  i64 v = 0;
  for (; p < n && plat::IsAsciiDigit(word[p]); ++p) {
    v = v * 10 + (word[p] - u'0');
    if (v > limit + (negative ? 1 : 0)) return false;
  }
  *value = negative ? -v : v;
  return true;
}

}  // namespace

const wchar* TextArgs::GetText() { return Cursor().text; }
u32 TextArgs::GetLength() { return Cursor().length; }
const kis::Identifier& TextArgs::GetLastWord() { return Cursor().lastWord; }
wchar TextArgs::GetLastChar() { return Cursor().lastChar; }

void TextArgs::Set(const wchar* text, u32 length) {
  TextArgsCursor& cur = Cursor();
  cur.text = text;
  cur.length = text ? (length == kis::kToTerminator ? kis::StrLenW(text) : length) : 0;
  cur.lastWord = kis::Identifier();
  cur.lastChar = 0;
}

bool TextArgs::NextWord(bool floatChars, bool sign, wchar* word, u32* length) {
  TextArgsCursor& cur = Cursor();
  *length = 0;
  word[0] = 0;
  if (!cur.text) return false;
  while (cur.length && *cur.text && IsBlank(*cur.text)) {
    ++cur.text;
    --cur.length;
  }
  u32 n = 0;
  while (n < cur.length && cur.text[n] &&
         (IsWordChar(cur.text[n]) || (floatChars && IsFloatChar(cur.text[n])) ||
          (sign && n == 0 && (cur.text[n] == u'-' || cur.text[n] == u'+')))) {
    if (n < kMaxWord) word[n] = cur.text[n];
    ++n;
  }
  cur.text += n;
  cur.length -= n;
  const u32 kept = n < kMaxWord ? n : kMaxWord;
  word[kept] = 0;
  *length = kept;
  cur.lastWord.Parse(word, kept, false, nullptr, nullptr);
  return n > 0;
}

// A word reads as its leading digits, as C's atoi reads one: "12ab" is 12 and
// a word that starts with no digit ("ff", "x", a bare sign) is 0; the
// default stands for a missing word only. A value beyond 32 bits gives the
// default too: no number the text can have meant, and a wrapped or cut one
// would name some other thing. A leading sign belongs to a signed number (a
// "-" would otherwise stop the cursor for good).
i32 TextArgs::NextInt(i32 def) {
  wchar word[kMaxWord + 1];
  u32 n = 0;
  i64 v = 0;
  if (!NextWord(false, true, word, &n) || !TextArgsLeadingDigits(word, n, true, INT32_MAX, &v)) return def;
  return static_cast<i32>(v);
}

u32 TextArgs::NextUInt(u32 def) {
  wchar word[kMaxWord + 1];
  u32 n = 0;
  i64 v = 0;
  if (!NextWord(false, false, word, &n) || !TextArgsLeadingDigits(word, n, false, UINT32_MAX, &v)) return def;
  return static_cast<u32>(v);
}

float TextArgs::NextFloat(float def) {
  wchar word[kMaxWord + 1];
  u32 n = 0;
  if (!NextWord(true, false, word, &n)) return def;
  const std::string s(word, word + n);
  // Only decimal forms: no "inf", "nan" or hexadecimal floats.
  for (char c : s)
    if (!((c >= '0' && c <= '9') || IsFloatChar(static_cast<wchar>(c)))) return def;
  char* end = nullptr;
  const float v = std::strtof(s.c_str(), &end);
  if (end == s.c_str() || *end || !std::isfinite(v)) return def;
  return v;
}

u32 TextArgs::NextHex(u32 def) {
  wchar word[kMaxWord + 1];
  u32 n = 0;
  if (!NextWord(false, false, word, &n)) return def;
  u64 v = 0;
  for (u32 i = 0; i < n; ++i) {
    const i32 d = plat::HexDigitValue(word[i]);
    if (d < 0) return def;
    if (i < 16) v = v << 4 | static_cast<u64>(d);
  }
  return static_cast<u32>(v);
}

bool TextArgs::NextChar(i32& value) {
  TextArgsCursor& cur = Cursor();
  if (!cur.text) return false;
  u32 skip = 0;
  while (skip < cur.length && cur.text[skip] && IsBlank(cur.text[skip])) ++skip;
  if (skip >= cur.length || !cur.text[skip]) return false;
  const wchar c = cur.text[skip];
  const u32 after = skip + 1;
  if (after < cur.length && cur.text[after] && !IsBlank(cur.text[after])) return false;
  u32 next = after;
  while (next < cur.length && cur.text[next] && IsBlank(cur.text[next])) ++next;
  cur.text += next;
  cur.length -= next;
  cur.lastChar = c;
  if (c == u'L') {
  } else if (c == u'U') {
    if (value >= 1) ++value;
  } else if (c >= u'0' && c <= u'9') {
    value = c - u'0';
  }
  return true;
}

// --- Formatting --------------------------------------------------------------------

u32 VFormatTextW(wchar* buffer, const wchar* format, va_list arguments) {
  if (!buffer) return 0;
  const std::u16string text = DXLFormatWideV(kFormatTextSize - 1, format, arguments);
  std::copy(text.begin(), text.end(), buffer);
  buffer[text.size()] = 0;
  return static_cast<u32>(text.size());
}

u32 FormatTextW(wchar* buffer, const wchar* format, ...) {
  va_list a;
  va_start(a, format);
  const u32 n = VFormatTextW(buffer, format, a);
  va_end(a);
  return n;
}

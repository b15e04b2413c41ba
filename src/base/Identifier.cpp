#include "base/Identifier.h"

#include <type_traits>

#include "base/Crc32.h"
#include "platform/encoding/Ascii.h"

namespace kis {
namespace {

template <class C> u32 Code(C c) { return static_cast<u32>(static_cast<std::make_unsigned_t<C>>(c)); }

bool IsBlank(u32 c) { return c == ' ' || c == '\t'; }

bool IsNameChar(u32 c) { return plat::IsAsciiLetter(c) || plat::IsAsciiDigit(c); }

// A text of `length` characters that also ends at a zero.
template <class C> struct Cursor {
  const C* text;
  u32 length;
  u32 pos = 0;
  u32 Get() const { return pos < length ? Code(text[pos]) : 0; }
};

u32 StepName(u32 reg, u32 c) { return Crc32StepByte(reg, static_cast<u8>(c & 0xFF)); }

}  // namespace

template <class C>
bool ScanIdentifier(const C* text, u32 length, u32 maxChars, IDENTTOKEN& token, bool skipBlanks, u32 extraChar) {
  if (!text || !text[0] || length == 0) return false;
  if (extraChar >= 128) extraChar = 0;
  Cursor<C> cur{text, length};
  if (skipBlanks)
    while (IsBlank(cur.Get())) ++cur.pos;
  const u32 start = cur.pos;
  u32 reg = 0xFFFFFFFFu;
  for (u32 c = cur.Get(); c && (IsNameChar(c) || c == extraChar); c = cur.Get()) {
    if (cur.pos - start == maxChars) return false;  // one character too many
    reg = StepName(reg, plat::AsciiToLower(c));
    ++cur.pos;
  }
  if (cur.pos == start) return false;
  token.start = start;
  token.length = cur.pos - start;
  token.id = reg;
  if (skipBlanks)
    while (IsBlank(cur.Get())) ++cur.pos;
  token.end = cur.pos;
  token.whole = cur.Get() == 0;
  return true;
}

template bool ScanIdentifier<char>(const char*, u32, u32, IDENTTOKEN&, bool, u32);
template bool ScanIdentifier<char16_t>(const char16_t*, u32, u32, IDENTTOKEN&, bool, u32);

bool Identifier::Parse(const wchar* text, u32 len, bool skipBlanks, u32* consumed, const wchar* extraChars) {
  id = 0;
  length = 0;
  name[0] = 0;
  if (!text || len == 0) return false;
  if (consumed) *consumed = len;
  auto isExtra = [extraChars](u32 c) {
    if (extraChars)
      for (const wchar* e = extraChars; *e; ++e)
        if (Code(*e) == c) return true;
    return false;
  };
  Cursor<wchar> cur{text, len};
  if (skipBlanks)
    while (IsBlank(cur.Get())) ++cur.pos;
  u32 n = 0;
  u32 reg = 0xFFFFFFFFu;
  for (u32 c = cur.Get(); c; c = cur.Get()) {
    u32 stored;
    if (IsNameChar(c) || c == '_')
      stored = plat::AsciiToLower(c);
    else if (isExtra(c))
      stored = c;
    else
      break;
    if (n == kMaxNameChars) {
      name[0] = 0;
      return false;
    }
    name[n++] = static_cast<wchar>(stored);
    reg = StepName(reg, stored);
    ++cur.pos;
  }
  if (n == 0) return false;
  if (skipBlanks)
    while (IsBlank(cur.Get())) ++cur.pos;
  if (!consumed && cur.Get() != 0) {
    name[0] = 0;
    return false;
  }
  name[n] = 0;
  length = n;
  id = reg;
  if (consumed) *consumed = cur.pos;
  return true;
}

bool Identifier::Equals(const Identifier& other) const {
  if (id != other.id || length != other.length || length > kMaxNameChars) return false;
  for (u32 i = 0; i < length; ++i)
    if (name[i] != other.name[i]) return false;
  return true;
}

u32 NameId(const wchar* text) {
  IDENTTOKEN token;
  if (!ScanIdentifierW(text, kToTerminator, kMaxNameChars, token, false, '_') || !token.whole) return 0;
  return token.id;
}

u32 NameIdA(const char* text) {
  IDENTTOKEN token;
  if (!ScanIdentifierA(text, kToTerminator, kMaxNameChars, token, false, '_') || !token.whole) return 0;
  return token.id;
}

}  // namespace kis

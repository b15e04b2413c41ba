// Small character helpers shared by the text readers of base/text: blanks,
// name characters, ASCII case folding and the name id of a name (the CRC-32
// register from 0xFFFFFFFF over the lower-cased characters, low 8 bits each,
// no final inversion). Private to base/text.
#pragma once

#include "base/Crc32.h"
#include "base/Types.h"

namespace kis::textchars {

template <class Ch>
inline u32 Unit(Ch c) {
  if constexpr (sizeof(Ch) == 1)
    return static_cast<u8>(c);
  else
    return static_cast<u32>(c);
}

template <class Ch>
inline bool IsBlank(Ch c) {
  return c == ' ' || c == '\t';
}

template <class Ch>
inline bool IsDigit(Ch c) {
  return c >= '0' && c <= '9';
}

template <class Ch>
inline bool IsLetter(Ch c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Letters, digits and "_".
template <class Ch>
inline bool IsNameChar(Ch c) {
  return IsLetter(c) || IsDigit(c) || c == '_';
}

template <class Ch>
inline Ch FoldAscii(Ch c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<Ch>(c + ('a' - 'A')) : c;
}

inline u32 NameIdStep(u32 reg, u32 unit) {
  if (unit >= 'A' && unit <= 'Z') unit += 'a' - 'A';
  return Crc32StepByte(reg, static_cast<u8>(unit));
}

template <class Ch>
inline u32 NameIdOf(const Ch* name, u32 length) {
  u32 reg = 0xFFFFFFFFu;
  for (u32 i = 0; i < length; ++i) reg = NameIdStep(reg, Unit(name[i]));
  return reg;
}

// Equal ignoring the case of A-Z.
template <class A, class B>
inline bool SameFolded(const A* a, const B* b, u32 length) {
  for (u32 i = 0; i < length; ++i)
    if (Unit(FoldAscii(a[i])) != Unit(FoldAscii(b[i]))) return false;
  return true;
}

// True when only blanks remain, or blanks and then "//".
template <class Ch>
inline bool RestIsEmpty(const Ch* text) {
  if (!text) return true;
  while (IsBlank(*text)) ++text;
  return *text == 0 || (text[0] == '/' && text[1] == '/');
}

}  // namespace kis::textchars

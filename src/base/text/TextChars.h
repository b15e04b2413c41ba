// Small character helpers shared by the text readers of base/text: blanks,
// name characters and the name id of a name (the CRC-32 register from
// 0xFFFFFFFF over the lower-cased characters, low 8 bits each, no final
// inversion). Private to base/text; ASCII classes and case are in
// platform/encoding/Ascii.h.
#pragma once

#include "base/Crc32.h"
#include "base/Types.h"
#include "platform/encoding/Ascii.h"

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

// Letters, digits and "_".
template <class Ch>
inline bool IsNameChar(Ch c) {
  return plat::IsAsciiLetter(c) || plat::IsAsciiDigit(c) || c == '_';
}

inline u32 NameIdStep(u32 reg, u32 unit) { return Crc32StepByte(reg, static_cast<u8>(plat::AsciiToLower(unit))); }

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
    if (Unit(plat::AsciiToLower(a[i])) != Unit(plat::AsciiToLower(b[i]))) return false;
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

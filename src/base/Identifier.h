// Names and their 32-bit name ids.
//
// Resources, objects and text keys are found by name, and names are compared by
// their name id first: the CRC-32 register (start 0xFFFFFFFF, no final
// inversion) over the name with A-Z folded to a-z, only the low 8 bits of each
// character entering it. A name is letters, digits and "_" (plus whatever extra
// characters a caller allows), at most 31 of them; the id 0 stands for no valid
// name. Blanks are spaces and tabs.
#pragma once

#include "base/Types.h"

namespace kis {

constexpr u32 kMaxNameChars = 31;
// Length meaning "up to the terminating zero".
constexpr u32 kToTerminator = 0xFFFFFFFFu;

// Result of an identifier scan.
struct IDENTTOKEN {
  u32 start;   // blanks skipped before the name
  u32 length;  // characters in the name
  u32 end;     // position after the name and, when blanks are skipped, the blanks after it
  u32 id;      // name id
  bool whole;  // nothing follows within the length (or a zero follows)
};

// Reads one name of A-Z (folded), a-z, 0-9 and extraChar (128 or above means
// none) from text, at most `length` characters (kToTerminator: up to the zero).
// Fails on null or empty text, an empty name, or a name longer than maxChars.
// 8-bit characters of 0x80 and above end the name.
template <class C>
bool ScanIdentifier(const C* text, u32 length, u32 maxChars, IDENTTOKEN& token, bool skipBlanks, u32 extraChar);
inline bool ScanIdentifierW(const wchar* t, u32 length, u32 maxChars, IDENTTOKEN& token, bool skipBlanks,
                            u32 extraChar) {
  return ScanIdentifier(t, length, maxChars, token, skipBlanks, extraChar);
}
inline bool ScanIdentifierA(const char* t, u32 length, u32 maxChars, IDENTTOKEN& token, bool skipBlanks,
                            u32 extraChar) {
  return ScanIdentifier(t, length, maxChars, token, skipBlanks, extraChar);
}

// A parsed name: its id, its length and its folded characters.
struct Identifier {
  u32 id = 0;
  u32 length = 0;
  wchar name[kMaxNameChars + 1] = {};

  // Reads a name of A-Z (folded), a-z, 0-9, "_" and any character of the
  // zero-terminated extraChars (kept as they are). With `consumed` the result
  // is true for any valid name and consumed tells the characters used (blanks
  // included); without it the name must be all that is there. On failure the
  // identifier is empty and consumed (when given) holds `len`.
  bool Parse(const wchar* text, u32 len, bool skipBlanks, u32* consumed, const wchar* extraChars);
  // Same id, same length, same characters.
  bool Equals(const Identifier& other) const;
};

// The name id of a whole zero-terminated name of at most 31 letters, digits and
// "_"; 0 for anything else.
u32 NameId(const wchar* text);
u32 NameIdA(const char* text);

}  // namespace kis

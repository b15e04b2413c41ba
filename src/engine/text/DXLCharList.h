// The character-list notation of font descriptions ("Chars", the left-hand
// sides of "CustomWidth" and "CustomSpaces"), and the custom width and space
// values built on it. Templates over the character type: the wide form for
// DXLFontW, the 8-bit form (same syntax, codes 1-255) for DXLFontA.
//
// Items, separated by "," and surrounded by optional spaces:
//   "abc"        every character of the quoted run
//   #65  $41     a code in decimal or hexadecimal
//   'a'          the one character between the apostrophes
//   #65-#67      a range of codes (first code at least 32)
// Any other character at the very start makes the rest a literal list. A
// malformed list yields nothing at all.
#pragma once

#include <vector>

#include "base/Types.h"

constexpr u32 kCharListCapacity = 8192;  // units of a parsed list, terminator included

// Parses `text` up to its end, the `stop` character (0: none) or `maxLength`
// - 1 characters (0: no limit). On success `out` holds the codes (at most
// 8,191; further ones are dropped) and `*stopped` (when given) the index
// where parsing ended: past the stop character, or at the end. False for a
// malformed list, `out` then empty.
template <class Ch>
bool DXLParseCharList(const Ch* text, Ch stop, u32 maxLength, std::vector<Ch>* out, u32* stopped);

// Numbers of the custom values: decimal, optionally signed, ended by one of
// `ends` (or the end of the text). False when no digit comes or the value
// does not fit 32 bits; `*pos` is moved past the digits.
template <class Ch>
bool DXLParseDecimal(const Ch* text, u32* pos, const char* ends, i32* value);

extern template bool DXLParseCharList<wchar>(const wchar*, wchar, u32, std::vector<wchar>*, u32*);
extern template bool DXLParseCharList<char>(const char*, char, u32, std::vector<char>*, u32*);
extern template bool DXLParseDecimal<wchar>(const wchar*, u32*, const char*, i32*);
extern template bool DXLParseDecimal<char>(const char*, u32*, const char*, i32*);

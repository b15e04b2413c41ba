// Small text routines of the spreadsheet-XML reader: character search, blank
// skipping (blanks here are space, line feed and carriage return, not tab),
// prefix tests and the decoding of XML character data.
//
// Searches stop at `end` and at a terminating zero; a null `end` means the
// text runs to its zero.
#pragma once

#include "base/Types.h"

namespace kis {

const wchar* FindCharW(const wchar* begin, wchar ch, const wchar* end);
const char* FindCharA(const char* begin, char ch, const char* end);

// First non-blank position, or null when only blanks (or nothing) remain.
const wchar* SkipBlanksW(const wchar* begin, const wchar* end);
const char* SkipBlanksA(const char* begin, const char* end);
// Searching backwards from `position` down to `begin`: the first non-blank
// position, or null when only blanks (or a zero) are met.
const wchar* SkipBlanksBackW(const wchar* position, const wchar* begin);
const char* SkipBlanksBackA(const char* position, const char* begin);

// Exact, case-sensitive prefix tests.
bool StartsWithWA(const wchar* text, const char* prefix);
bool StartsWithA(const char* text, const char* prefix);

// Decodes `length` characters of XML character data: CR, LF and CR LF each
// become one space; "&amp;", "&lt;", "&gt;", "&quot;" and "&apos;" (exact
// case) and numeric references "&#65;" / "&#x41;" become their character
// (above U+FFFF as a surrogate pair); anything else, including "&#0;",
// surrogate code points and values above U+10FFFF, stays as text. At most
// capacity - 1 characters are produced and the buffer is zero-terminated. A
// null buffer counts the characters the whole text decodes to.
u32 DecodeXmlTextW(const wchar* text, u32 length, wchar* buffer, u32 capacity);

}  // namespace kis

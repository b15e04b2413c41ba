// The Windows character sets of logical fonts and the code pages they stand
// for, in both directions (the system's charset translation). Character set 1
// ("default") has no page of its own and is not in the table; callers map it
// through the ANSI code page first.
#pragma once

#include <cstdint>

namespace plat {

// The code page of a character set; false for an unknown set.
bool CharsetToCodePage(uint32_t charset, uint32_t& codePage);
// The character set of a code page; false for a page no set names.
bool CodePageToCharset(uint32_t codePage, uint32_t& charset);

}  // namespace plat

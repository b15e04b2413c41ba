// DXLFormatWide - the one formatter of UTF-16 text, for the engine's log and
// the game's texts: printf conversions (flags "-+ #0", width and precision,
// also as "*", the lengths h, l, ll and z; d i u x X o f F e E g G p c s
// and %%) where %s and %c take UTF-16 arguments and %S and %C 8-bit UTF-8
// ones. A null text prints "(null)"; a conversion it does not know, and a
// "%" that ends the format, print as they stand.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>

#include "base/Types.h"

// The formatted text, cut to at most `limit` units (empty for a null format).
std::u16string DXLFormatWideV(size_t limit, const wchar* format, va_list args);
std::u16string DXLFormatWide(size_t limit, const wchar* format, ...);

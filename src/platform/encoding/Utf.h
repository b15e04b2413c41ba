// UTF-8 <-> UTF-16 conversion at the platform boundary. The game's wide text is
// UTF-16 (char16_t); Linux file names and system strings are UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace plat {

// Invalid UTF-8 (bad lead or continuation bytes, overlong forms, surrogate
// code points, values above U+10FFFF) becomes U+FFFD, one per bad sequence.
std::u16string Utf8ToUtf16(std::string_view text);

// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

// Length of a zero-terminated UTF-16 text (0 for null).
size_t Utf16Length(const char16_t* text);

// Cuts a UTF-8 text to at most `max` bytes without splitting a character.
void CutUtf8(std::string& text, size_t max);

}  // namespace plat

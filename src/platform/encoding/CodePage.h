// Conversions between 8-bit text in a Windows code page and UTF-16.
//
// Code pages are named by their Windows numbers. 0 stands for the "ANSI code
// page", which is 1252 unless a test sets another. The single-byte pages that
// texts may declare (1250-1258, the iso-8859 family, koi8, macintosh, ascii)
// come from tables in our own source; the multi-byte pages (932, 936, 949,
// 950, 54936, 50220, 50225, 51932, 51949) go through glibc iconv. A page that
// neither knows (52936, hz-gb2312, among others) cannot be converted: the
// conversions return false and produce nothing.
//
// 8-bit -> UTF-16 maps bytes a page leaves undefined, and malformed multi-byte
// sequences, to U+FFFD. UTF-16 -> 8-bit replaces characters the page cannot
// hold (and unpaired surrogates) with "?".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

uint32_t GetAnsiCodePage();
void SetAnsiCodePage(uint32_t codePage);  // 0 restores the default, 1252

// 0 becomes the ANSI code page; any other number stays.
uint32_t ResolveCodePage(uint32_t codePage);

// True for the pages that map every byte to exactly one UTF-16 character.
bool IsSingleByteCodePage(uint32_t codePage);
// True when the page can be converted at all.
bool IsKnownCodePage(uint32_t codePage);

// Appends the UTF-16 form of `text` to `out`. When `charEnds` is given, it
// receives, for every character produced, the number of source bytes used up
// to and including it (so a cut there never splits a double-byte character).
bool MultiByteToWide(uint32_t codePage, std::string_view text, std::u16string& out,
                     std::vector<uint32_t>* charEnds = nullptr);

// Appends the 8-bit form of `text` to `out`. When `charEnds` is given, it
// receives, for every source character (a surrogate pair is one), the length
// of `out` after it, so a cut there never splits a character.
bool WideToMultiByte(uint32_t codePage, std::u16string_view text, std::string& out,
                     std::vector<uint32_t>* charEnds = nullptr);

// Byte -> UTF-16 table of a single-byte page, or null.
const char16_t* SingleByteTable(uint32_t codePage);

}  // namespace plat

#include "base/Strings.h"

#include "platform/encoding/Utf.h"

namespace kis {

std::string WideToUtf8(std::u16string_view text) { return plat::Utf16ToUtf8(text); }

u32 StrLenW(const wchar* text) { return StrLen(text); }
u32 StrLenA(const char* text) { return StrLen(text); }
u32 StrSizeW(const wchar* text) { return StrSize(text); }
u32 StrSizeA(const char* text) { return StrSize(text); }

wchar* StrCopyW(wchar* dest, u32 capacity, const wchar* src) { return StrCopy(dest, capacity, src); }
char* StrCopyA(char* dest, u32 capacity, const char* src) { return StrCopy(dest, capacity, src); }
wchar* StrCopyNW(wchar* dest, u32 capacity, const wchar* src, u32 n) { return StrCopyN(dest, capacity, src, n); }
char* StrCopyLenA(char* dest, u32 capacity, const char* src, u32 n) { return StrCopyN(dest, capacity, src, n); }
wchar* StrCatW(wchar* dest, u32 capacity, const wchar* src) { return StrCat(dest, capacity, src); }
wchar* StrCatNW(wchar* dest, u32 capacity, const wchar* src, u32 n) { return StrCatN(dest, capacity, src, n); }

wchar* StrDupW(const wchar* text, bool keepEmpty) { return StrDup(text, keepEmpty); }
char* StrDupA(const char* text, bool keepEmpty) { return StrDup(text, keepEmpty); }
wchar* StrDupNW(const wchar* text, u32 n, bool keepEmpty) { return StrDupN(text, n, keepEmpty); }
char* StrDupNA(const char* text, u32 n, bool keepEmpty) { return StrDupN(text, n, keepEmpty); }

int StrCompareW(const wchar* a, const wchar* b) { return StrCompare(a, b); }
int StrCompareA(const char* a, const char* b) { return StrCompare(a, b); }
int StrICompareW(const wchar* a, const wchar* b) { return StrICompare(a, b); }
int StrICompareA(const char* a, const char* b) { return StrICompare(a, b); }
int StrICompareNW(const wchar* a, const wchar* b, u32 n) { return StrICompareN(a, b, n); }
int StrICompareNA(const char* a, const char* b, u32 n) { return StrICompareN(a, b, n); }

i32 StrFindCharW(const wchar* text, wchar c) { return StrFindChar(text, c); }
i32 StrFindCharA(const char* text, char c) { return StrFindChar(text, c); }
i32 StrFindCharNW(const wchar* text, u32 n, wchar c) { return StrFindCharN(text, n, c); }
const wchar* StrScanCharW(const wchar* text, u32 n, wchar c) { return StrScanChar(text, n, c); }
const char* StrScanCharA(const char* text, u32 n, char c) { return StrScanChar(text, n, c); }
i32 StrFindW(const wchar* text, const wchar* pattern, u32 patternLength) {
  return StrFind(text, pattern, patternLength);
}

}  // namespace kis

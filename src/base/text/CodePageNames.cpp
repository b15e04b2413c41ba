#include "base/text/CodePageNames.h"

#include <cstring>

#include "base/text/TextChars.h"

namespace kis {
namespace {

struct CodePageName {
  u32 codePage;
  const char* name;  // lower case, at most 15 characters
};

// Searched in order; the first match wins ("gb2312" and "gbk" share 936).
constexpr CodePageName kNames[] = {
    {1250, "windows-1250"}, {1251, "windows-1251"}, {1252, "windows-1252"}, {1253, "windows-1253"},
    {1254, "windows-1254"}, {1255, "windows-1255"}, {1256, "windows-1256"}, {1257, "windows-1257"},
    {1258, "windows-1258"}, {28591, "iso-8859-1"},  {28592, "iso-8859-2"},  {28593, "iso-8859-3"},
    {28594, "iso-8859-4"},  {28595, "iso-8859-5"},  {28596, "iso-8859-6"},  {28597, "iso-8859-7"},
    {28598, "iso-8859-8"},  {38598, "iso-8859-8-i"}, {28599, "iso-8859-9"}, {28600, "iso-8859-10"},
    {28601, "iso-8859-11"}, {28603, "iso-8859-13"}, {28604, "iso-8859-14"}, {28605, "iso-8859-15"},
    {28606, "iso-8859-16"}, {20866, "koi8-r"},      {21866, "koi8-u"},      {10000, "macintosh"},
    {950, "big5"},          {52936, "hz-gb2312"},   {936, "gb2312"},        {936, "gbk"},
    {54936, "gb18030"},     {50220, "iso-2022-jp"}, {50225, "iso-2022-kr"}, {932, "shift-jis"},
    {51932, "euc-jp"},      {20127, "us-ascii"},    {20127, "ascii"},       {51949, "euc-kr"},
};
constexpr size_t kCount = sizeof(kNames) / sizeof(kNames[0]);
static_assert(kCount == 40);

struct NameKey {
  u32 id;
  u32 length;
};

const NameKey* Keys() {
  static const struct Table {
    NameKey keys[kCount];
    Table() {
      for (size_t i = 0; i < kCount; ++i) {
        keys[i].length = static_cast<u32>(std::strlen(kNames[i].name));
        keys[i].id = textchars::NameIdOf(kNames[i].name, keys[i].length);
      }
    }
  } table;
  return table.keys;
}

template <class Ch>
u32 Find(const Ch* name, u32 length, u32 nameId) {
  if (!name || length == 0) return 0;
  if (nameId == 0) nameId = textchars::NameIdOf(name, length);
  const NameKey* keys = Keys();
  for (size_t i = 0; i < kCount; ++i) {
    if (keys[i].id == nameId && keys[i].length == length && textchars::SameFolded(name, kNames[i].name, length))
      return kNames[i].codePage;
  }
  return 0;
}

}  // namespace

u32 FindCodePageW(const wchar* name, u32 length, u32 nameId) { return Find(name, length, nameId); }
u32 FindCodePageA(const char* name, u32 length, u32 nameId) { return Find(name, length, nameId); }

}  // namespace kis

#include "platform/encoding/CharsetInfo.h"

namespace plat {

namespace {

struct CharsetPage {
  uint32_t charset;
  uint32_t codePage;
};

// Ordered as the system lists them; each page appears once.
constexpr CharsetPage kTable[] = {
    {0, 1252},   {2, 42},     {77, 10000}, {128, 932}, {129, 949}, {130, 1361}, {134, 936},
    {136, 950},  {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257},
    {204, 1251}, {222, 874},  {238, 1250}, {255, 437},
};

}  // namespace

bool CharsetToCodePage(uint32_t charset, uint32_t& codePage) {
  for (const CharsetPage& e : kTable) {
    if (e.charset == charset) {
      codePage = e.codePage;
      return true;
    }
  }
  return false;
}

bool CodePageToCharset(uint32_t codePage, uint32_t& charset) {
  for (const CharsetPage& e : kTable) {
    if (e.codePage == codePage) {
      charset = e.charset;
      return true;
    }
  }
  return false;
}

}  // namespace plat

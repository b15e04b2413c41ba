// The language cache is a binary file in the data folder: a damaged or
// hostile one must load only what it really holds, without reading out of
// bounds, allocating from unchecked counts or trusting its records.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "ScratchFile.h"
#include "gametext/GameLanguage.h"
#include "gametext/KGEFont.h"
#include "platform/encoding/Utf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = fuzzscratch::Path("lng_cache", ".dat");
  if (!fuzzscratch::Write(path, data, size)) return 0;
  const std::u16string p = plat::Utf8ToUtf16(path);
  GameLanguage lang(p.c_str());
  lang.GetWindowTitle();
  lang.Acquire();
  lang.GetWindowTitle();
  lang.GetTextByName(u"buttons", u"ok", true);
  lang.GetText(u"buttons", u"ok", 1, true);
  lang.FindComix(u"a");
  for (u32 i = 0; i < lang.GetCreditCount(); ++i) {
    const CREDITITEM* c = lang.GetCredit(i);
    if (c->kind == kCreditText) (void)c->text[c->length];
  }
  for (u32 i = 0; i < kGameFontCount; ++i)
    if (KGEFont* font = lang.GetFont(i)) (void)font->GetGlyphCount();
  lang.Release();
  return 0;
}

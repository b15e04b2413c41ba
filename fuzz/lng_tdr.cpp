// Language source files in the text tree form come from the data folder or a
// translator's hand: any bytes must load (or not) cleanly, and every query of
// the loaded language must stay inside its buffers.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "ScratchFile.h"
#include "gametext/GameLanguage.h"
#include "platform/encoding/Utf.h"

namespace {

void Query(GameLanguage& lang) {
  lang.GetWindowTitle();
  for (const char16_t* t : {u"loading", u"buttons", u"comix", u"levels"})
    for (const char16_t* k : {u"caption", u"ok", u"a", u"name"}) {
      lang.GetTextByName(t, k, true);
      lang.GetText(t, k, 3, false);
    }
  lang.FindComix(u"a");
  lang.FindComix(u"q");
  for (u32 i = 0; i < lang.GetCreditCount(); ++i) (void)lang.GetCredit(i)->size;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = fuzzscratch::Path("lng_tdr", ".txt");
  if (!fuzzscratch::Write(path, data, size)) return 0;
  const std::u16string p = plat::Utf8ToUtf16(path);
  GameLanguage lang(p.c_str());
  Query(lang);
  lang.Acquire();
  Query(lang);
  lang.Release();
  return 0;
}

// Language source files in the text tree form come from the data folder or a
// translator's hand: any bytes must load (or not) cleanly, and every query of
// the loaded language must stay inside its buffers.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

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
  static const std::string path = "/tmp/tm_fuzz_lng_tdr_" + std::to_string(getpid()) + ".txt";
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  const std::u16string p = plat::Utf8ToUtf16(path);
  GameLanguage lang(p.c_str());
  Query(lang);
  lang.Acquire();
  Query(lang);
  lang.Release();
  return 0;
}

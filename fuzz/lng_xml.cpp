// Language files saved from a spreadsheet as XML may be damaged or written by
// other programs: any bytes must parse (or be refused) cleanly, lookups must
// stay in range, and a language loaded from them must answer every query.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "ScratchFile.h"
#include "gametext/GameLanguage.h"
#include "gametext/LngXmlDocument.h"
#include "platform/encoding/Utf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  LngXmlDocument doc;
  if (doc.LoadBytes(data, size)) {
    wchar buf[16];
    char abuf[16];
    for (int pass = 0; pass < 2; ++pass) {
      const u32 n = doc.GetCount();
      for (u32 i = 0; i <= n && i < 64; ++i) {
        u32 len = 0;
        const wchar* key = doc.GetKey(i, &len);
        doc.GetValueAt(i, &len);
        if (key) {
          doc.ReadValue(key, buf, 16);
          doc.ReadValue(key, nullptr, 0);
          doc.GetValue(key, &len);
        }
      }
      doc.ReadValueA("NF", abuf, 16);
      if (!doc.EnterSection(u"buttons")) break;
      while (doc.NextSection()) {
      }
    }
    doc.ToRoot();
  }
  static const std::string path = fuzzscratch::Path("lng_xml", ".xml");
  if (!fuzzscratch::Write(path, data, size)) return 0;
  const std::u16string p = plat::Utf8ToUtf16(path);
  GameLanguage lang(p.c_str());
  lang.Acquire();
  lang.GetWindowTitle();
  lang.GetTextByName(u"buttons", u"ok", true);
  lang.FindComix(u"a");
  lang.Release();
  return 0;
}

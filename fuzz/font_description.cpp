// Font descriptions and digit-font entries from arbitrary bytes. The first
// byte chooses: even - the rest is a "BitmapFont" ini file read by a bitmap
// font, and also parsed directly as character lists and custom width and
// space values; odd - the rest is a digit-font entry inside a data-file
// section, read and then used to show a few numbers. Nothing may crash,
// hang or allocate beyond the input's size.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "ScratchFile.h"
#include "base/IniFile.h"
#include "base/datafile/DataFileReader.h"
#include "base/datafile/DataFileWriter.h"
#include "engine/text/DXLBitmapFont.h"
#include "engine/text/DXLCharList.h"
#include "engine/text/DigitalFont.h"
#include "engine/text/DigitalText.h"
#include "platform/encoding/Utf.h"

namespace {

void Description(const uint8_t* data, size_t size) {
  const std::string path = fuzzscratch::Path("font_description", ".ini");
  fuzzscratch::Write(path, data, size);
  const std::u16string wide = plat::Utf8ToUtf16(path);
  kis::IniFileW ini(wide.c_str());
  DXLBitmapFontW font;
  font.ReadDescription(&ini, true, true);

  // The same bytes as wide text straight into the parsers.
  std::u16string text;
  for (size_t i = 0; i + 1 < size; i += 2) text.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));
  std::vector<char16_t> codes;
  u32 stopped = 0;
  DXLParseCharList<wchar>(text.c_str(), u'=', 0, &codes, &stopped);
  font.AddGlyphs(u"abcdefgh0123", 0, true);
  font.ParseCustomWidths(text.c_str());
  font.ParseCustomSpaces(text.c_str());
  i32 x = 0;
  i32 y = 0;
  font.SetHeight(static_cast<u8>(size));
  font.PlaceGlyph(u'h', 64, 64, &x, &y);
  for (char16_t c : codes) font.GetAdvance(c);
  const std::string narrow(reinterpret_cast<const char*>(data), size);
  std::vector<char> bytes;
  DXLParseCharList<char>(narrow.c_str(), '=', 0, &bytes, &stopped);
}

void DigitEntry(const uint8_t* data, size_t size) {
  const std::u16string name = plat::Utf8ToUtf16(fuzzscratch::Path("font_description", ".dat"));
  {
    kis::DataFileWriterW w(0x54474944u, 1, 1);
    if (!w.Open(name.c_str(), false)) return;
    w.BeginSection(1, 1);
    w.Write(data, static_cast<u32>(size));
    w.EndSection();
    if (!w.Close()) return;
  }
  kis::DataFileReaderW r(0x54474944u, 1, 1);
  if (!r.Open(name.c_str()) || !r.OpenSection(1, 1)) return;
  DigitalFont font;
  font.Read(&r, nullptr);
  const i32 values[] = {0, 7, -7, 12345, -2147483647 - 1, 2147483647};
  for (i32 mode = 0; mode < 2; ++mode) {
    DigitalText text(&font, mode, 11, (size & 2) != 0, 1);
    for (i32 v : values) text.SetNumber(v);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0 || size > 1 << 16) return 0;
  if ((data[0] & 1) == 0) {
    Description(data + 1, size - 1);
  } else {
    DigitEntry(data + 1, size - 1);
  }
  return 0;
}

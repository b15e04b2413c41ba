// Game font data records from arbitrary bytes: the first byte picks the kind
// (even: bitmap font, odd: system font), the rest is the section holding the
// record. A font that loads is measured and laid out. Nothing may crash, hang
// or allocate beyond what the section holds.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "ScratchFile.h"
#include "base/datafile/DataFileReader.h"
#include "base/datafile/DataFileWriter.h"
#include "gametext/KGEBitmapFont.h"
#include "gametext/KGEFontData.h"
#include "gametext/KGELayout.h"
#include "gametext/KGEWinFont.h"
#include "gametext/TextServices.h"
#include "platform/encoding/Utf.h"
#include "platform/font/FontResolver.h"

namespace {

constexpr u32 kSig1 = 0x46445453u;
constexpr u32 kSig2 = 0x00000002u;

const std::u16string& ScratchName() {
  static const std::u16string name = plat::Utf8ToUtf16(fuzzscratch::Path("font_data", ".dat"));
  return name;
}

void Exercise(const KGEFont* font) {
  KGESIZE size{};
  const char16_t text[] = u"AV To\r\nwheat, 42";
  font->MeasureText(&size, text, KGEFont::kWholeText);
  font->GetCharIndexAt(7, text, KGEFont::kWholeText);
  KGETEXTPARAMS p = KGEDefaultTextParams();
  p.flags = kKGEWrap | kKGEJustify | kKGEAlignCenter;
  p.wrapWidth = 20;
  GetTextServices().layout.Layout<wchar>(font, &p, text, 16);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > (1u << 20)) return 0;
  static const bool once = [] {
    plat::DefaultFontResolver().SetUseSystemFonts(false);
    return true;
  }();
  (void)once;
  kis::DataFileWriterW* w = kis::CreateDataFileWriterW(ScratchName().c_str(), kSig1, kSig2, 1, false);
  if (!w) return 0;
  w->BeginSection(1, 0);
  if (size > 1) w->Write(data + 1, static_cast<u32>(size - 1));
  w->EndSection();
  if (!kis::CloseDataFile(w)) return 0;

  kis::DataFileReaderW* r = kis::OpenDataFileReaderW(ScratchName().c_str(), kSig1, kSig2, 1);
  if (r && r->OpenSection(1, 0)) {
    if ((data[0] & 1) == 0) {
      KGEBitmapFont* font = nullptr;
      if (KGELoadBitmapFont(nullptr, nullptr, r, &font) == 0) Exercise(font);
      delete font;
    } else {
      KGEWinFont* font = nullptr;
      if (KGELoadWinFont(nullptr, r, &font) == 0) Exercise(font);
      delete font;
    }
  }
  kis::CloseDataFile(r);
  return 0;
}

// The "FGID" section (see DataSectionFuzz.h): every digit font read goes to
// a window manager of its own, its entry naming a picture of sprite set 1
// ("digit_fonts", 64 x 8); each font then shows a few numbers in each of its
// first modes, drawn.
#include <memory>

#include "DataSectionFuzz.h"
#include "engine/text/DigitalFont.h"
#include "ui/DigitFontSection.h"
#include "ui/GameDigitalText.h"
#include "ui/WindowManager.h"

namespace {

SpriteSet& DigitPictures() {
  static SpriteSet* set = [] {
    datafuzz::TheWorld();  // the viewer first
    auto* s = new SpriteSet(kDigitFontSpriteSet);
    DXLTexture* t = s->GetTextures()->NewTexture();
    t->SetName(u"digit_fonts");
    const std::vector<u8> file = datafuzz::Picture(64, 8);
    t->LoadFromMemory(file.data(), static_cast<u32>(file.size()));
    return s;
  }();
  return *set;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DigitPictures();
  WindowManager manager;
  datafuzz::Run(
      kDigitFontSectionId, kDigitFontSectionSubId, data, size,
      [&](kis::BaseDataFileReader* reader, SectionCursor* cursor) { return LoadDigitFonts(reader, cursor, &manager); },
      [&] {
        for (i32 i = 0; i < manager.Fonts().GetCount() && i < 4; ++i) {
          DigitalFont* font = manager.Fonts().Get(i);
          font->RebuildModes();
          for (i32 mode = 0; mode < font->GetModeCount() && mode < 3; ++mode) {
            GameDigitalText text(font, mode, 5, (i & 1) != 0, 1);
            for (i32 v : {0, 42, -7, 99999, -2147483647 - 1}) {
              text.SetNumber(v);
              text.Draw();
            }
          }
        }
      });
  return 0;
}

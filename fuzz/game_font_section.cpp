// The "FONT" section (see DataSectionFuzz.h): the game fonts 5 to 9 read
// from it, a bitmap font's picture named among the textures of sprite set 1
// ("game_fonts", 64 x 8); every font read is then measured and laid out, and
// the table emptied again.
#include "DataSectionFuzz.h"
#include "gametext/KGEFont.h"
#include "gametext/KGELayout.h"
#include "gametext/TextServices.h"
#include "platform/font/FontResolver.h"
#include "resources/ResourceServices.h"
#include "ui/GameFontSection.h"

namespace {

void FontPicture() {
  static SpriteSet* set = [] {
    datafuzz::TheWorld();  // the viewer first
    plat::DefaultFontResolver().SetUseSystemFonts(false);
    auto* s = new SpriteSet(kGameFontSpriteSet);
    DXLTexture* t = s->GetTextures()->NewTexture();
    t->SetName(u"game_fonts");
    const std::vector<u8> file = datafuzz::Picture(64, 8);
    t->LoadFromMemory(file.data(), static_cast<u32>(file.size()));
    return s;
  }();
  (void)set;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FontPicture();
  datafuzz::Run(
      kGameFontSectionId, kGameFontSectionSubId, data, size,
      [](kis::BaseDataFileReader* reader, SectionCursor* cursor) { return LoadGameFonts(reader, cursor); },
      [] {
        for (KGEFont* font : GetResourceServices().fonts) {
          if (!font) continue;
          KGESIZE measured{};
          const char16_t text[] = u"AV To\r\nwheat, 42";
          font->MeasureText(&measured, text, KGEFont::kWholeText);
          KGETEXTPARAMS p = KGEDefaultTextParams();
          p.flags = kKGEWrap | kKGEAlignCenter;
          p.wrapWidth = 20;
          GetTextServices().layout.Layout<wchar>(font, &p, text, 16);
        }
      });
  FreeGameFonts();
  return 0;
}

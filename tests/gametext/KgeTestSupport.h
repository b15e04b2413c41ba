// Shared pieces of the game-font tests: the fonts shipped in tests/data/fonts
// as the only faces the resolver sees, and a font whose glyphs tests set by
// hand.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gametext/KGEFont.h"
#include "platform/encoding/Utf.h"
#include "platform/font/FontResolver.h"
#include "testsupport/FontTables.h"

namespace kgetest {

using testsupport::FontDir;

// Every font made without its own resolver sees only the test fonts.
inline void UseTestFonts() {
  plat::FontResolver& r = plat::DefaultFontResolver();
  r.SetFolder(plat::Utf8ToUtf16(FontDir()));
  r.SetUseSystemFonts(false);
}

class HandFont : public KGEFont {
 public:
  explicit HandFont(DXLViewer* viewer = nullptr) : KGEFont(0x11111111u, 0x22222222u, viewer) {}
  ~HandFont() override { Release(true); }
  i32 SaveToDataFile(kis::BaseDataFileWriter*) override { return KGE_S_OK; }
  i32 RestoreAfterDeviceLoss() override { return KGE_S_OK; }

  using KGEFont::AllocImages;
  using KGEFont::BuildIndex;
  using KGEFont::InitCharset;
  using KGEFont::SetGlyphBytes;
  using KGEFont::SetGlyphChars;
  using KGEFont::SetKerningPairs;

  // Glyphs for `chars` with the given advances, each in a cell as wide as its
  // advance, side by side in one row; line height `height`.
  void Make(const std::u16string& chars, const std::vector<i32>& advances, i32 cellHeight, i32 height) {
    ASSERT_EQ(InitCharset(0, static_cast<u32>(chars.size())), KGE_S_OK);
    ASSERT_EQ(SetGlyphChars(chars.c_str()), KGE_S_OK);
    ASSERT_EQ(AllocImages(glyphCount_, cellHeight), KGE_S_OK);
    i64 x = 0;
    for (u32 i = 0; i < glyphCount_; ++i) {
      glyphs_[i].advance = i < advances.size() ? advances[i] : 0;
      glyphs_[i].image = i;
      images_[i].x = static_cast<i32>(x < INT32_MAX ? x : INT32_MAX);
      images_[i].width = glyphs_[i].advance;
      x += images_[i].width;
    }
    SetMetrics(height, kDefaultValue, 0, 0);
    BuildIndex();
  }

  KGEGLYPH& Glyph(u32 i) { return glyphs_[i]; }
  KGEGLYPHIMAGE& Image(u32 i) { return images_[i]; }
  void SetTexture(DXLTexture* texture) { image_ = texture; }
  void SetDefault(u32 c) {
    defaultChar_ = c;
    BuildIndex();
  }
};

}  // namespace kgetest

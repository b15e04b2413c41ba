// KGEWinFont - a KGEFont rasterised from a system font (face, size in points,
// weight, style, quality) through the platform font layer: every glyph is
// measured, a power-of-two texture that holds all cells is chosen (widths 32
// to 1024, least area, then the squarest), the glyphs are drawn into a 32-bit
// canvas and turned into an A8R8G8B8 texture in the font's colour, with an
// outline and a drop shadow when asked.
//
// The platform font exists only while glyphs are measured or drawn. The
// texture is made on the first Acquire and deleted by the last Release; after
// a device loss RestoreAfterDeviceLoss draws it again.
#pragma once

#include <memory>

#include "base/Types.h"
#include "engine/DXLRect.h"
#include "engine/image/GlyphEffects.h"
#include "gametext/KGEFont.h"

namespace plat {
class Font;
}

// Creation flags.
constexpr u32 kKGEWinFontKerning = 1;
constexpr u32 kKGEWinFontOutline = 2;
constexpr u32 kKGEWinFontShadow = 4;

// Style bits.
constexpr u8 kKGEStyleBold = 1;
constexpr u8 kKGEStyleItalic = 2;
constexpr u8 kKGEStyleStrikeOut = 4;
constexpr u8 kKGEStyleUnderline = 8;

// Creation parameters, 84 bytes.
struct KGEWINFONTPARAMS {
  i32 size;        // points; never negative
  i32 weight;      // 0, or 100 to 1000 in steps of 100
  u32 charset;     // character set requested
  u8 style;        // kKGEStyle* bits
  u8 pitchAndFamily;
  u8 quality;
  u8 reserved;
  u32 color;       // 0xRRGGBB
  wchar face[32];
};
static_assert(sizeof(KGEWINFONTPARAMS) == 84, "creation parameters are 84 bytes");

// Drop shadow, 16 bytes.
struct KGESHADOW {
  u32 mode;  // 0: off
  i32 x;     // offset, -32..32
  i32 y;
  u32 color;  // ARGB; alpha 0 means none
};
static_assert(sizeof(KGESHADOW) == 16, "shadow records are 16 bytes");

// A shadow record that would be used: mode set, offsets within -32..32 and a
// colour with alpha.
bool KGEIsShadowValid(const KGESHADOW* shadow);
// 0 stays 0, above 1000 becomes 1000, anything else the nearest hundred
// (halves up).
i32 KGERoundWeight(i32 weight);

class KGEWinFont : public KGEFont {
 public:
  static constexpr i32 kMeasureSpace = static_cast<i32>(0x80000000u);
  static constexpr i32 kMinTextureSide = 32;
  static constexpr i32 kMaxTextureSide = 1024;

  explicit KGEWinFont(DXLViewer* viewer);
  ~KGEWinFont() override;

  i32 BuildGlyphs() override;
  void FreeGlyphs() override;
  i32 SaveToDataFile(kis::BaseDataFileWriter* writer) override;
  i32 RestoreAfterDeviceLoss() override;

  // Measures the glyphs of `count` characters (codes up to 32 are dropped)
  // and chooses the texture size. The face name of `params` is used as it
  // stands; the other fields are normalised.
  i32 Create(u32 flags, const KGEWINFONTPARAMS& params, i32 space, u32 defaultChar, u32 count, const wchar* chars,
             const DXLOUTLINE* outline, const KGESHADOW* shadow);

  const KGEWINFONTPARAMS& GetParams() const { return params_; }
  u32 GetFlags() const { return flags_; }
  i32 GetSpaceParam() const { return spaceParam_; }
  const DXLOUTLINE* GetOutline() const { return outline_.get(); }
  const KGESHADOW* GetShadow() const { return shadow_.get(); }
  const DXLRECT& GetMargins() const { return margins_; }
  i32 GetOriginX() const { return originX_; }
  i32 GetOriginY() const { return originY_; }
  i32 GetExtraWidth() const { return extraWidth_; }
  i32 GetExtraHeight() const { return extraHeight_; }
  u32 GetTextureWidth() const { return textureWidth_; }
  u32 GetTextureHeight() const { return textureHeight_; }

 private:
  i32 MakeFont();
  void DeleteFont();
  i32 MeasureGlyphs();
  void ChooseTextureSize();
  i32 DrawTexture();

  KGEWINFONTPARAMS params_{};
  u32 flags_ = 0;
  i32 spaceParam_ = kMeasureSpace;
  std::unique_ptr<DXLOUTLINE> outline_;
  std::unique_ptr<KGESHADOW> shadow_;
  std::unique_ptr<plat::Font> font_;  // only while measuring or drawing
  DXLRECT margins_{0, 0, 0, 0};
  i32 originX_ = 0;
  i32 originY_ = 0;
  i32 extraWidth_ = 0;
  i32 extraHeight_ = 0;
  u32 textureWidth_ = 0;
  u32 textureHeight_ = 0;
};

// Count 0x80000000 or 0xFFFFFFFF: up to the list's terminating 0 (at most
// 4,096; 0 for no list). On failure `out` is null and the font deleted.
i32 KGECreateWinFont(DXLViewer* viewer, u32 flags, i32 size, i32 weight, u32 charset, u8 style, u8 pitchAndFamily,
                     u8 quality, u32 color, const wchar* faceName, i32 space, const wchar* chars, u32 count,
                     u32 defaultChar, const DXLOUTLINE* outline, const KGESHADOW* shadow, i32 tracking, i32 leading,
                     u32 glyphColor, KGEWinFont** out);

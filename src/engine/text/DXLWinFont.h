// DXLWinFontW / DXLWinFontA - an engine font whose glyphs are rasterised from
// a font description (face, size, style, colour) by the platform's font
// service, packed by the placing rule into one texture of power-of-two sides
// (32 to 1024 texels, the smallest area that holds every glyph, the squarer
// shape winning a tie) and uploaded into the font's own texture.
//
// The font is the source of its texture: the texture calls LoadTexture
// whenever it is built, after a change of the font and when the device is
// made anew, and the glyphs are measured and rendered again then. Without
// effect layers the glyphs are white in a 16-bit texture (A8L8, else
// A4R4G4B4) and take their colour from the quads; with a glow or a shadow
// layer they are coloured with the description's colour in an A8R8G8B8
// texture and decorated. Failures are written to the engine log and leave the
// texture unloaded; nothing is reported to the caller.
//
// The glyph set is the font's own (AddGlyphs): every listed code is measured
// and drawn, in ascending code order. Cells wider than 255 pixels, extras
// beyond 127 pixels or lines higher than 255 pixels count as "too large".
//
// DXLWinFontA draws the codes 1 to 255 as characters of the description's
// character set (the ANSI code page where the set names none).
#pragma once

#include <memory>

#include "engine/DXLTextureSource.h"
#include "engine/text/DXLFont.h"
#include "engine/text/DXLFontProps.h"

class DXLTextures;
class DXLViewer;

// Glow around the glyphs (handed whole to DXLApplyBlurLayer).
struct DXLGLOWLAYER {
  u32 enable;  // first byte non-zero: on
  float radius;
  u32 color;   // ARGB
  u32 threshold;
};

// Shadow of the glyphs (handed whole to DXLApplyShadowLayer).
struct DXLSHADOWLAYER {
  u32 enable;  // first byte non-zero: on
  i32 dx;
  i32 dy;
  u32 color;  // ARGB
  u32 key;
};

template <class Ch>
class DXLWinFontT : public DXLFontT<Ch>, public DXLTextureSource {
 public:
  // The texture is made in the list when one is given, else for the viewer.
  explicit DXLWinFontT(DXLViewer* viewer, DXLTextures* textures = nullptr);
  ~DXLWinFontT() override;

  void Notify(DXLNotifyObject* sender, u32 code) override;
  // Nothing without a description; otherwise renders the texture again,
  // then rebuilds the glyph quads.
  void Update(DXLUpdateableObject* source) override;
  void SetTexture(DXLTexture*) override {}
  u32 GetKind() const override { return 2; }
  void ReadDescription(kis::CustomIniFileT<Ch>*, bool, bool) override {}
  // Base settings, description, factor, margins, layers and alpha factor in
  // one update bracket.
  virtual void AssignWin(const DXLWinFontT& other);

  // Measures and renders the glyphs into `texture`.
  void LoadTexture(DXLTexture* texture) override;

  // A copy of `props` becomes the description (null removes it); Changed.
  void SetDescription(const DXLFontPropsT<Ch>* props);
  DXLFontPropsT<Ch>* GetDescription() const { return props_.get(); }

  void SetExtraWidthFactor(float factor);
  void SetMargins(i32 left, i32 top, i32 right, i32 bottom);  // negative values become 0
  void SetGlowLayer(const DXLGLOWLAYER& glow);
  void SetShadowLayer(const DXLSHADOWLAYER& shadow);
  void SetAlphaFactor(float factor);

  float GetExtraWidthFactor() const { return widthFactor_; }
  const u8* GetMargins() const { return margins_; }  // left, top, right, bottom
  const DXLGLOWLAYER& GetGlowLayer() const { return glow_; }
  const DXLSHADOWLAYER& GetShadowLayer() const { return shadow_; }
  float GetAlphaFactor() const { return alphaFactor_; }

  // The texture size the placing rule asks for the glyphs as they are now
  // measured (the index table is rebuilt first): false when they do not fit
  // in 1024 x 1024.
  bool ChooseTextureSize(i32* width, i32* height);

 protected:
  void RebuildIndexTable();

 private:
  struct Raster;
  // Metrics of the rasterised font for the listed codes; false when the
  // glyphs are too large to be kept in the font's byte-sized fields.
  bool Measure(Raster& raster, const Ch* codes, u32 count);
  void LogFailure(const char* what) const;

  std::unique_ptr<DXLFontPropsT<Ch>> props_;
  float widthFactor_ = 0.0f;
  u8 margins_[4] = {};
  DXLGLOWLAYER glow_{};
  DXLSHADOWLAYER shadow_{};
  float alphaFactor_ = 1.0f;
};

using DXLWinFontW = DXLWinFontT<wchar>;
using DXLWinFontA = DXLWinFontT<char>;

extern template class DXLWinFontT<wchar>;
extern template class DXLWinFontT<char>;

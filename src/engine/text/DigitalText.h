// DigitalText - one integer shown in a DigitalFont as a row of textured
// quads, rebuilt whenever the number changes. At most `digits` glyphs are
// shown (the minus counts): a longer number shows its lowest digits and loses
// its minus first; with zero padding it always shows `digits` glyphs, zeros
// between the minus and the digits. A row holds 11 glyphs, enough for every
// 32-bit value with its minus (the most negative one included), so a text
// asks for 11 glyphs at most.
//
// The quads lie in the number's own coordinates, top-left corner at (0, 0).
// The font is not owned and must outlive the text.
#pragma once

#include <memory>

#include "base/Types.h"
#include "engine/DXLDrawTypes.h"

class DigitalFont;

class DigitalText {
 public:
  static constexpr i32 kMaxGlyphs = 11;

  DigitalText(DigitalFont* font, i32 mode, i32 digits, bool zeroPadding, i32 extraSpacing);
  DigitalText(const DigitalText&) = delete;
  DigitalText& operator=(const DigitalText&) = delete;
  virtual ~DigitalText();

  // Draws the glyphs with the font's texture through the texture's viewer;
  // nothing without a texture.
  virtual void Draw();

  void SetNumber(i32 value);  // stores the value and rebuilds the glyphs
  void SetColor(u32 argb);    // written into every built glyph when it changes

  i32 GetNumber() const { return value_; }
  i32 GetDigits() const { return digits_; }
  i32 GetGlyphCount() const { return glyphCount_; }
  const DXLQUAD* GetQuads() const { return quads_.get(); }
  i32 GetWidth() const { return width_; }
  i32 GetHeight() const { return height_; }
  u32 GetColor() const { return color_; }
  DigitalFont* GetFont() const { return font_; }

 protected:
  void Build();

  DigitalFont* font_;
  i32 mode_;
  i32 value_ = 0;
  i32 digits_;
  i32 glyphCount_ = 0;
  i32 extraSpacing_;
  u8 zeroPadding_;
  std::unique_ptr<DXLQUAD[]> quads_;
  i32 width_ = 0;
  i32 height_ = 0;
  u32 color_ = 0xFFFFFFFFu;
};

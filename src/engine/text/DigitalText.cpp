#include "engine/text/DigitalText.h"

#include "engine/DXLTexture.h"
#include "engine/DXLViewer.h"
#include "engine/text/DigitalFont.h"

DigitalText::DigitalText(DigitalFont* font, i32 mode, i32 digits, bool zeroPadding, i32 extraSpacing)
    : font_(font),
      mode_(mode),
      digits_(digits < 0 ? 0 : (digits > kMaxGlyphs ? kMaxGlyphs : digits)),
      extraSpacing_(extraSpacing),
      zeroPadding_(zeroPadding ? 1 : 0),
      quads_(new DXLQUAD[static_cast<size_t>(digits_ > 0 ? digits_ : 1)]()) {}

DigitalText::~DigitalText() = default;

void DigitalText::SetNumber(i32 value) {
  value_ = value;
  Build();
}

void DigitalText::SetColor(u32 argb) {
  if (argb == color_) return;
  color_ = argb;
  for (i32 i = 0; i < glyphCount_; ++i)
    for (DXLVERTEX& v : quads_[i].v) v.color = argb;
}

void DigitalText::Draw() {
  if (!font_ || !font_->GetTexture()) return;
  DXLTexture* texture = font_->GetTexture();
  DXLViewer* viewer = texture->GetViewer();
  if (!viewer || !texture->Select(true)) return;
  for (i32 i = 0; i < glyphCount_; ++i) viewer->DrawQuad(&quads_[i]);
  texture->Deselect(true);
}

// Glyph positions are collected least significant first; the magnitude is
// taken in unsigned arithmetic so the most negative value has one too.
void DigitalText::Build() {
  const DIGITALFONTMODE* mode = font_ ? font_->GetMode(mode_) : nullptr;
  if (!mode) {
    glyphCount_ = width_ = height_ = 0;
    for (i32 i = 0; i < digits_; ++i) quads_[i] = DXLQUAD{};
    return;
  }
  height_ = mode->height;

  u8 row[kMaxGlyphs] = {};
  i32 count = 0;
  u32 magnitude = value_ < 0 ? 0u - static_cast<u32>(value_) : static_cast<u32>(value_);
  do {
    row[count++] = static_cast<u8>(magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  const bool minus = value_ < 0 && font_->HasMinus();
  if (minus) row[count++] = kDigitMinus;

  if (count > digits_) count = digits_;  // the minus goes first, then the high digits
  if (zeroPadding_ && count < digits_) {
    // The zeros go between the digits and the minus.
    if (minus) row[count - 1] = 0;
    for (i32 i = count; i < digits_; ++i) row[i] = 0;
    if (minus) row[digits_ - 1] = kDigitMinus;
    count = digits_;
  }

  i64 x = 0;
  for (i32 i = 0; i < count; ++i) {
    const i32 glyph = row[count - 1 - i];
    DXLQUAD& quad = quads_[i];
    quad = mode->quads[glyph];
    for (DXLVERTEX& v : quad.v) {
      v.x += static_cast<float>(x);
      if (v.color != color_) v.color = color_;
    }
    x += font_->GetGlyphWidth(glyph);
    if (i + 1 < count) x += static_cast<i64>(font_->GetSpacing()) + extraSpacing_;
  }
  glyphCount_ = count;
  width_ = static_cast<i32>(x);
}

// DXLFontW / DXLFontA - the abstract engine font: one glyph record per code
// unit the font supports (65,536 direct entries for the wide font, 256 for
// the 8-bit one, so a lookup is one table access), line metrics and spacing,
// one colour and one texture holding the images of all glyphs. Every glyph
// carries two ready quads: quad A half a pixel shifted, quad B (the one text
// drawing uses) without the shift.
//
// Glyphs are laid into the texture by the placing rule: rows of the font's
// height, `vertical skip` apart, filled from the left in index order with
// `horizontal skip` between glyphs; an index without a glyph takes the empty
// width; a glyph that would cross the right edge starts the next row; a
// glyph that does not fit gets no quads.
//
// Changes go through update brackets: a setter that calls Changed rebuilds at
// once outside a bracket, else once when the outermost bracket closes. After
// every rebuild the font tells its listeners kNotifyFontRebuilt. The subclasses fill the
// texture (bitmap fonts take a picture).
#pragma once

#include <memory>
#include <type_traits>
#include <vector>

#include "base/CustomIniFile.h"
#include "base/Types.h"
#include "engine/DXLDrawTypes.h"
#include "engine/DXLUpdateableObject.h"

class DXLTexture;

constexpr u32 kNotifyFontRebuilt = 6;  // a font rebuilt its glyph quads

// One glyph; allocated zeroed when its character is added.
struct DXLFONTGLYPH {
  u16 index;       // position in texture order
  u8 width;        // cell width in the texture, gaps and extras included
  i8 leftExtra;    // cell pixels left of the advance box (at most the width)
  i8 rightExtra;   // cell pixels right of the advance box (at most the width)
  DXLRECT cell;    // left, top, right, bottom in the texture
  std::unique_ptr<DXLQUAD> quadA;  // half a pixel shifted
  std::unique_ptr<DXLQUAD> quadB;  // as text drawing uses it
};

template <class Ch>
class DXLFontT : public DXLUpdateableObject {
 public:
  using Unit = std::make_unsigned_t<Ch>;
  static constexpr u32 kCodes = 1u << (8 * sizeof(Ch));
  static constexpr u32 kNameSize = 32;  // characters of the name, terminator included

  DXLFontT();
  ~DXLFontT() override;

  void Notify(DXLNotifyObject* sender, u32 code) override;
  // Rebuilds the index table and every glyph's quads, then tells the owner
  // and the listeners (kNotifyFontRebuilt).
  void Update(DXLUpdateableObject* source) override;
  // Copies height, space, spacing, empty width, ascent and descent in one bracket.
  virtual void Assign(const DXLFontT& other);
  virtual void SetTexture(DXLTexture* texture) = 0;
  // Keeps the descent at most the height and ascent + descent = height.
  virtual void SetHeight(u8 height);
  virtual u32 GetKind() const { return 0; }  // 1 bitmap font, 2 GDI-rendered font
  virtual void ReadDescription(kis::CustomIniFileT<Ch>* ini, bool loadImage, bool loadNow) = 0;

  // --- Metrics (these call Changed when the value differs) ------------------
  void SetVSkip(u8 skip);
  void SetHSkip(u8 skip);
  void SetEmptyWidth(u8 width);
  void SetAscent(i16 ascent);    // descent = height - ascent
  void SetDescent(i16 descent);  // ascent = height - descent
  // --- Plain settings -------------------------------------------------------
  void SetSpace(u16 space) { space_ = space; }
  void SetVSpacing(i16 spacing) { vSpacing_ = spacing; }
  void SetHSpacing(i16 spacing) { hSpacing_ = spacing; }
  // Writes the colour into both quads of every glyph, unless a bracket is open.
  void SetColor(u32 argb);
  void SetName(const Ch* name);  // at most 31 characters

  // --- Glyph set ------------------------------------------------------------
  DXLFONTGLYPH* AddGlyph(Ch code);  // the existing record, or a new zeroed one
  void RemoveGlyph(Ch code);
  // Gives the n-th code of the zero-terminated list the index first + n,
  // creating the glyphs when asked; then Changed.
  void AddGlyphs(const Ch* codes, u32 firstIndex, bool create);
  void RemoveGlyphs(u32 first, u32 last);  // codes max(1, first)..last, then Changed
  // Indices 0, 1, 2, ... in list order; returns the last code (0 for an empty list).
  Ch AssignIndices(const Ch* codes);
  // Codes that have glyphs, ascending, at most size - 1 and a terminator;
  // returns how many were written.
  u32 GetCodes(Ch* buffer, u32 size) const;

  // --- Per glyph ------------------------------------------------------------
  void SetGlyphWidth(Ch code, u8 width);           // extras clamped to it
  void SetGlyphExtras(Ch code, i32 left, i32 right);  // each clamped to the width
  void SetAllWidths(u8 width);                     // every glyph, then Changed
  DXLFONTGLYPH* GetGlyph(Ch code) const;
  DXLFONTGLYPH* GetGlyphByIndex(u32 index) const;
  u8 GetAdvance(Ch code) const;  // 0 without a glyph; never below 0
  const DXLQUAD* GetQuad(Ch code) const;  // quad B

  // --- Description values ---------------------------------------------------
  // "CustomWidth": items "list=width" separated by ","; stops at the first
  // malformed item, keeping those before it.
  void ParseCustomWidths(const Ch* text);
  // "CustomSpaces": items "list=left:right"; left extra = -left and right
  // extra = -right (each at most the width).
  void ParseCustomSpaces(const Ch* text);
  // "Name", "Spaces" (or "HSpace" and "VSpace") and "Color" of a section.
  void ReadCommonKeys(kis::CustomIniFileT<Ch>* ini, const Ch* section);

  // Where the glyph of `code` lies in a texture of width w and height h by
  // the placing rule; false when it has no glyph or does not fit.
  bool PlaceGlyph(Ch code, i32 w, i32 h, i32* x, i32* y) const;

  const Ch* GetName() const { return name_; }
  u8 GetHeight() const { return height_; }
  DXLTexture* GetTexture() const { return texture_; }
  u32 GetColor() const { return color_; }
  u16 GetSpace() const { return space_; }
  i16 GetVSpacing() const { return vSpacing_; }
  i16 GetHSpacing() const { return hSpacing_; }
  u8 GetVSkip() const { return vSkip_; }
  u8 GetHSkip() const { return hSkip_; }
  u8 GetEmptyWidth() const { return emptyWidth_; }
  u8 GetLeftGap() const { return leftGap_; }
  u8 GetRightGap() const { return rightGap_; }
  i16 GetAscent() const { return ascent_; }
  i16 GetDescent() const { return descent_; }

 protected:
  // The width an index takes in the texture and the width its glyph alone has.
  u32 IndexWidth(u32 index) const;
  // Cell positions of every index by the placing rule, in one pass; -1 for
  // an index whose glyph does not fit.
  void PlaceAll(i32 w, i32 h, std::vector<i32>* xs, std::vector<i32>* ys) const;
  u32 MaxIndex() const;

  std::vector<std::unique_ptr<DXLFONTGLYPH>> byCode_;
  std::vector<DXLFONTGLYPH*> byIndex_;
  Ch name_[kNameSize] = {};
  u8 height_ = 0;
  DXLTexture* texture_ = nullptr;
  u32 color_ = 0xFFFFFFFFu;
  u16 space_ = 0;
  i16 vSpacing_ = 0;
  i16 hSpacing_ = 0;
  u8 vSkip_ = 0;
  u8 hSkip_ = 0;
  u8 emptyWidth_ = 0;
  u8 leftGap_ = 0;
  u8 rightGap_ = 0;
  i16 ascent_ = 0;
  i16 descent_ = 0;
};

using DXLFontW = DXLFontT<wchar>;
using DXLFontA = DXLFontT<char>;

extern template class DXLFontT<wchar>;
extern template class DXLFontT<char>;

// An ASCII name as a string of the font's character type (keys and sections).
template <class Ch>
struct DXLKeyName {
  explicit DXLKeyName(const char* text) {
    u32 i = 0;
    for (; text[i] != 0 && i + 1 < sizeof(buffer) / sizeof(Ch); ++i) buffer[i] = static_cast<Ch>(text[i]);
    buffer[i] = 0;
  }
  operator const Ch*() const { return buffer; }
  Ch buffer[32];
};

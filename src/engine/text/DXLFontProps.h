// DXLFontPropsW / DXLFontPropsA - the description from which GDI-rendered and
// D3DX fonts are made: face name, size in points, style bits, colour,
// character set, pitch and family, output quality. A change of the face name
// tells the owner (Changed); the other setters only store.
#pragma once

#include "base/Types.h"
#include "engine/DXLUpdateableObject.h"

// Style bits.
constexpr u8 kFontBold = 1;
constexpr u8 kFontItalic = 2;
constexpr u8 kFontStrikeOut = 4;
constexpr u8 kFontUnderline = 8;

template <class Ch>
class DXLFontPropsT : public DXLUpdateableObject {
 public:
  static constexpr u32 kFaceSize = 32;  // characters of the face name, terminator included

  DXLFontPropsT() = default;
  ~DXLFontPropsT() override = default;

  // Face name, style, size, colour, character set, pitch and family and
  // quality in one update bracket.
  virtual void Assign(const DXLFontPropsT& other);

  void SetFaceName(const Ch* face);  // at most 31 characters, then Changed
  void SetSize(i16 points) { size_ = points; }
  void SetStyle(u8 style) { style_ = style; }
  void SetColor(u32 argb) { color_ = argb; }
  void SetCharSet(u32 charSet) { charSet_ = charSet; }
  void SetPitchAndFamily(u8 value) { pitchAndFamily_ = value; }
  void SetQuality(u8 quality) { quality_ = quality; }

  const Ch* GetFaceName() const { return faceName_; }
  i16 GetSize() const { return size_; }
  u8 GetStyle() const { return style_; }
  u32 GetColor() const { return color_; }
  u32 GetCharSet() const { return charSet_; }
  u8 GetPitchAndFamily() const { return pitchAndFamily_; }
  u8 GetQuality() const { return quality_; }

 private:
  Ch faceName_[kFaceSize] = {};
  i16 size_ = 10;
  u8 style_ = 0;
  u32 color_ = 0xFFFFFFFFu;
  u32 charSet_ = 1;  // the default character set
  u8 pitchAndFamily_ = 0;
  u8 quality_ = 0;
};

using DXLFontPropsW = DXLFontPropsT<wchar>;
using DXLFontPropsA = DXLFontPropsT<char>;

extern template class DXLFontPropsT<wchar>;
extern template class DXLFontPropsT<char>;

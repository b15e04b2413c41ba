// DXLBitmapFontW / DXLBitmapFontA - an engine font whose glyphs are cut from
// a picture laid out by the placing rule of DXLFontT and described by the
// "BitmapFont" section of an ini file. The picture is a texture of a texture
// list (the list owns it, the font listens to it and follows its size); a
// font without a list loads no picture. The 8-bit twin reads an 8-bit ini
// file and converts the picture's name and file name through the ANSI code
// page before it looks the texture up.
#pragma once

#include <string>

#include "engine/text/DXLFont.h"

class DXLTextures;

template <class Ch>
class DXLBitmapFontT : public DXLFontT<Ch> {
 public:
  static constexpr i32 kMaxImageName = 259;    // characters of "ImageName" and "ImageFile"
  static constexpr i32 kMaxChars = 255;        // units of each "Chars" value
  static constexpr i32 kMaxCustomValue = 1023;  // units of each custom width or space value

  explicit DXLBitmapFontT(DXLTextures* textures = nullptr);
  ~DXLBitmapFontT() override;

  // From its texture: forgets it when it goes away (1), and in every case
  // rebuilds, so the quads follow the picture.
  void Notify(DXLNotifyObject* sender, u32 code) override;
  void SetTexture(DXLTexture* texture) override;
  u32 GetKind() const override { return 1; }
  // Reads the "BitmapFont" section in one update bracket; nothing without an
  // ini object or the section. With loadImage the picture is taken from
  // "ImageName" or "ImageFile"; with loadNow a picture not yet built is
  // loaded before the glyphs are placed.
  void ReadDescription(kis::CustomIniFileT<Ch>* ini, bool loadImage, bool loadNow) override;
  virtual void AssignBitmap(const DXLBitmapFontT& other);

  void SetTextureList(DXLTextures* textures) { textures_ = textures; }
  DXLTextures* GetTextureList() const { return textures_; }
  bool HasCustomWidth() const { return customWidth_ != 0; }

 private:
  void LoadImage(kis::CustomIniFileT<Ch>* ini, const Ch* section);
  // Reads `key`, then key2, key3, ... while they exist, handing each value on.
  // With `firstDefaultsEmpty` a missing `key` hands on an empty value and
  // the numbered keys are still read.
  template <class Fn>
  void ReadNumbered(kis::CustomIniFileT<Ch>* ini, const Ch* section, const char* key, i32 size, Fn&& use,
                    bool firstDefaultsEmpty = false);

  DXLTextures* textures_;
  u8 customWidth_ = 0;
};

using DXLBitmapFontW = DXLBitmapFontT<wchar>;
using DXLBitmapFontA = DXLBitmapFontT<char>;

extern template class DXLBitmapFontT<wchar>;
extern template class DXLBitmapFontT<char>;

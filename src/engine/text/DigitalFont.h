// DigitalFont - a strip of digit images (0 to 9 and an optional minus) cut
// from one texture, in one or more modes: each mode is a row of glyph cells
// somewhere in the texture, with a quad ready for every glyph at its own size
// and its top-left corner at (0, 0). DigitalText shows numbers with it.
//
// A font entry is read from the open section of a data file, field by field
// and checked (header size, mode count against a cap and the table size,
// table against the section's bytes) before anything is allocated. The
// texture is not owned: it lives in a texture list; the font forgets it when
// it goes away first.
#pragma once

#include <vector>

#include "base/List.h"
#include "base/Types.h"
#include "base/datafile/DataFileReader.h"
#include "base/datafile/DataFileWriter.h"
#include "engine/DXLDrawTypes.h"
#include "engine/DXLNotifyObject.h"

class DXLTexture;
class DXLTextures;

constexpr i32 kDigitGlyphs = 11;  // 0..9 and the minus
constexpr i32 kDigitMinus = 10;

// One row of glyph cells in the texture.
struct DIGITALFONTMODE {
  i32 x, y;
  i32 height;  // 0 or less: down to the bottom of the texture
  i32 gap;     // pixels between two cells in the texture
  DXLQUAD quads[kDigitGlyphs];
};

class DigitalFont {
 public:
  static constexpr u32 kHeaderSize = 72;
  static constexpr u32 kModeSize = 16;
  static constexpr i32 kMaxModes = 1024;  // more rows than any texture holds is damage
  static constexpr u32 kFlagTexture = 1;   // a texture entry follows the mode table

  DigitalFont();
  DigitalFont(const DigitalFont&) = delete;
  DigitalFont& operator=(const DigitalFont&) = delete;
  ~DigitalFont();

  // Reads one entry from the reader's open section; the texture entry (when
  // the flags announce one) names a texture of `list`. False for a broken entry.
  bool Read(kis::BaseDataFileReader* reader, DXLTextures* list);
  // Writes the entry as Read takes it; with a texture a reference to it by
  // name follows the modes.
  bool Write(kis::BaseDataFileWriter* writer) const;
  // The bytes Write writes.
  std::vector<u8> Encode() const;

  void AddMode(i32 x, i32 y, i32 height, i32 gap);
  void RebuildModes();  // builds every mode's quads again (after the texture loaded)
  void Clear();         // deletes all modes

  // Settings of a font made in code rather than read.
  void SetTexture(DXLTexture* texture);
  void SetGlyphWidth(i32 glyph, i32 width);
  void SetSpacing(i32 spacing) { spacing_ = spacing; }
  void SetHasMinus(bool on) { hasMinus_ = on ? 1 : 0; }
  void SetHeaderValue(u32 value) { headerValue_ = value; }

  DXLTexture* GetTexture() const { return texture_; }
  DXLTextures* GetTextureList() const { return textureList_; }
  u32 GetHeaderValue() const { return headerValue_; }  // the font's id in the game's font list
  i32 GetGlyphWidth(i32 glyph) const { return glyph >= 0 && glyph < kDigitGlyphs ? widths_[glyph] : 0; }
  i32 GetSpacing() const { return spacing_; }
  bool HasMinus() const { return hasMinus_ != 0; }
  i32 GetModeCount() const { return modes_.GetCount(); }
  const DIGITALFONTMODE* GetMode(i32 index) const { return modes_.Get(index); }

 private:
  // Tells the font when its texture goes away.
  class TextureWatch : public DXLNotifyObject {
   public:
    explicit TextureWatch(DigitalFont* font) : font_(font) {}
    void Notify(DXLNotifyObject* sender, u32 code) override;

   private:
    DigitalFont* font_;
  };

  class ModeList : public kis::list<DIGITALFONTMODE*> {
   public:
    ~ModeList() override { Clear(); }
    void ReleaseItems(i32 first) override {
      for (i32 i = count_ - 1; i >= first; --i) delete items_[i];
    }
  };

  void BuildQuads(DIGITALFONTMODE* mode);

  DXLTextures* textureList_ = nullptr;
  DXLTexture* texture_ = nullptr;
  u32 headerValue_ = 0;
  i32 widths_[kDigitGlyphs] = {};
  ModeList modes_;
  i32 spacing_ = 0;
  u8 hasMinus_ = 0;
  TextureWatch watch_{this};
};

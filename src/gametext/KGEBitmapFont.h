// KGEBitmapFont - a KGEFont whose glyph cells are cut from a picture (a
// DXLTexture) as a description says: a text tree document with a node
// "glyphs" giving either explicit cells or a grid of cells laid out in the
// picture, the characters, metrics, per-glyph lists and kerning.
//
// The picture is the caller's, or the font's own when it created it from the
// description's "image" key without a texture list; an own picture is loaded
// on the first Acquire, unloaded by the last Release and deleted with the
// font. Grid cells get their positions when the glyphs are built, from the
// picture's size (or the grid rectangle) less the borders.
//
// The font's data record (signature, 88-byte header with CRCs, cells, grid,
// glyphs, kerning) is written by SaveToDataFile and read by
// KGELoadBitmapFont (KGEFontData.h). Every count and size read is checked
// against the bytes there and the glyph and cell caps, and every glyph's
// kerning run must lie inside the pairs read.
#pragma once

#include "base/Types.h"
#include "engine/DXLRect.h"
#include "gametext/KGEFont.h"

class DXLTextures;

namespace kis {
class BaseDataFileReader;
class TdrDocument;
}  // namespace kis

// Grid flags.
constexpr u32 kKGEGridOn = 0x1;
constexpr u32 kKGEGridWidthList = 0x2;
constexpr u32 kKGEGridSkips = 0x10;
constexpr u32 kKGEGridBorders = 0x20;
constexpr u32 kKGEGridRect = 0x40;

// Grid layout of the cells, 44 bytes in a data record.
struct KGEGLYPHLAYOUT {
  u32 flags;
  i32 hskip;
  i32 vskip;
  DXLRECT rect;     // left, top, right, bottom
  DXLRECT borders;  // insets: left, top, right, bottom
};

class KGEBitmapFont : public KGEFont {
 public:
  static constexpr u32 kHeaderSize = 88;
  static constexpr u32 kGridSize = 44;

  explicit KGEBitmapFont(DXLViewer* viewer);
  ~KGEBitmapFont() override;

  i32 BuildGlyphs() override;
  void FreeGlyphs() override;
  i32 SaveToDataFile(kis::BaseDataFileWriter* writer) override;
  i32 RestoreAfterDeviceLoss() override;

  // The picture the cells are cut from; an owned one is deleted with the font.
  void SetPicture(DXLTexture* picture, bool owned);
  DXLTexture* GetPicture() const { return image_; }
  bool OwnsPicture() const { return ownsImage_ != 0; }
  const KGEGLYPHLAYOUT* GetGridLayout() const { return grid_.get(); }

  // Reads the node "glyphs" of the document's current node. With a texture
  // list or `load`, the "image" key names the picture (see KGECreateBitmapFont).
  i32 ReadDescription(kis::TdrDocument* doc, DXLTextures* textures, bool load);
  // Reads the record after its signature from the reader's open section.
  i32 ReadData(kis::BaseDataFileReader* reader);

 private:
  i32 ReadPicture(kis::TdrDocument* doc, DXLTextures* textures);
  i32 ReadCells(kis::TdrDocument* doc);
  i32 ReadGlyphs(kis::TdrDocument* doc);
  void LayOutGrid();
  bool PictureSizesChanged() const;

  std::unique_ptr<KGEGLYPHLAYOUT> grid_;
  u32 ownsImage_ = 0;
};

// Creates a bitmap font from a description. Without `load` the picture passed
// in becomes the font's; with it the description's picture is found or made
// and, on success, handed back through `picture` (still owned by the font
// when it made it without a texture list). The caller deletes *out; on
// failure it is null.
i32 KGECreateBitmapFont(DXLViewer* viewer, DXLTexture** picture, DXLTextures* textures, bool load,
                        kis::TdrDocument* doc, KGEBitmapFont** out);
// Loads the text tree file, enters `nodePath` when given, and creates the font.
i32 KGELoadBitmapFontFile(DXLViewer* viewer, DXLTexture** picture, DXLTextures* textures, bool load,
                          const wchar* fileName, const wchar* nodePath, KGEBitmapFont** out);

// The character-set number of a name ("ansi", "default", "shiftjis", ...),
// compared as a name identifier; false for a name not in the table.
bool KGEFindCharsetName(const wchar* name, u32* charset);

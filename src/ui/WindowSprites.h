// WindowSprites - turns skin pieces (SKINRECT) into lists of ready textured
// quads once, when its owner lays itself out, grows the owner's content size
// while doing so, and draws the quads every frame binding each block's
// texture once (runs of blocks on one texture cost no switch).
//
// Positions are in the owner's coordinates. In every builder x = 0 widens
// the content to at least the piece's width (the piece starts a content
// row), y = kBelow places the piece below the current content, and a
// negative width or height takes the builder's default. Every builder then
// grows the content height to at least y + the piece's height and stores the
// size through SetSize, which an owner may take over (a sprite window's
// content size is its own size). A skin without an image or with an empty
// size adds no quads but still grows the size; no block is ever empty.
#pragma once

#include <vector>

#include "base/List.h"
#include "base/Types.h"
#include "engine/DXLDrawTypes.h"
#include "ui/SkinRect.h"

class DXLTexture;

// One block of quads on one texture.
struct SWINDOWSPRITE {
  DXLTexture* texture;
  i32 count;
  std::vector<DXLQUAD> quads;
};

// Owns its blocks.
class QuadBlockList : public kis::list<SWINDOWSPRITE*> {
 public:
  ~QuadBlockList() override { DeleteAll(); }
};

// One piece of WindowSprites::AddPieces: its width on screen and its source
// (-1: the running source x or y, or a source width equal to the width).
struct SKINPIECE {
  i32 width;
  i32 sourceX;
  i32 sourceY;
  i32 sourceWidth;
};

class WindowSprites {
 public:
  static constexpr i32 kBelow = 0x7FFFFFFF;

  WindowSprites() = default;
  WindowSprites(const WindowSprites&) = delete;
  WindowSprites& operator=(const WindowSprites&) = delete;

  virtual void GetSize(i32* width, i32* height) const;  // the content size
  virtual void SetSize(i32 width, i32 height);
  virtual ~WindowSprites();

  // A block of `count` quads appended to the list (own blocks for null);
  // null and nothing for count 0.
  SWINDOWSPRITE* AddQuadBlock(DXLTexture* texture, i32 count, QuadBlockList* list = nullptr);
  void ClearQuads(QuadBlockList* list = nullptr);
  // Every vertex takes its block's first colour with this alpha (top byte only).
  void SetAlpha(u32 alpha, QuadBlockList* list = nullptr);
  void DrawPieces(QuadBlockList* list = nullptr);

  // One stretched quad of the skin's middle (of the whole of a plain skin);
  // w < 0: the content width (the middle width while that is 0); h < 0: the
  // middle height.
  void AddPiece(i32 x, i32 y, i32 w, i32 h, const SKINRECT& skin, QuadBlockList* list = nullptr);
  // Caps and a stretched middle; the caps keep their width and stretch to h.
  // w < 0: the content width (the skin's while that is 0); h < 0: the skin's
  // height. Returns h.
  i32 AddRow(i32 x, i32 y, i32 w, i32 h, const SKINRECT& skin, QuadBlockList* list = nullptr);
  // Like AddRow with whole tiles of the middle instead of a stretch; the row
  // is left-aligned and up to one tile shorter than w.
  i32 AddTiledRow(i32 x, i32 y, i32 w, i32 h, const SKINRECT& skin, QuadBlockList* list = nullptr);
  // A row w1 + w2 wide whose middle is split at x + w1 by a notch of `notch`
  // pixels (the last pixels of the middle, unscaled).
  void AddRowEx(i32 x, i32 y, i32 w1, i32 w2, i32 h, const SKINRECT& skin, i32 notch,
                QuadBlockList* list = nullptr);
  // A nine-slice frame h pixels high (h < 0: the skin's height) with the
  // middle repeated in bands of the middle height.
  void AddFrame(i32 x, i32 y, i32 w, i32 h, const SKINRECT& skin, QuadBlockList* list = nullptr);
  // The same with one middle band stretched to fill.
  void AddStretchedFrame(i32 x, i32 y, i32 w, i32 h, const SKINRECT& skin, QuadBlockList* list = nullptr);
  // A frame counted in units of the middle height (nothing below 1 unit).
  void AddFrameEx(i32 x, i32 y, i32 w, i32 units, const SKINRECT& skin, QuadBlockList* list = nullptr);
  // A strip of pieces of one texture side by side, h high (-1: the image's
  // height).
  void AddPieces(DXLTexture* texture, i32 x, i32 y, i32 h, QuadBlockList* list, i32 count, const SKINPIECE* pieces);

  QuadBlockList& GetBlocks() { return blocks_; }
  const QuadBlockList& GetBlocks() const { return blocks_; }

 private:
  // The content width for a negative width, or `fallback` while it is 0.
  i32 DefaultWidth(i32 w, i32 fallback) const;
  // Resolves kBelow and grows the content for a piece w x h at (x, y).
  void Place(i32 x, i32* y, i32 w, i32 h);
  // A band of the skin: rows [top, top + height) with its left and right borders.
  static SKINRECT Band(const SKINRECT& skin, i32 top, i32 height);
  // The top and bottom band heights of a frame h high that leaves no room
  // for a middle.
  static void ShrinkBands(const SKINRECT& skin, i32 h, i32* topPart, i32* bottomPart);
  QuadBlockList* Target(QuadBlockList* list) { return list ? list : &blocks_; }

  QuadBlockList blocks_;
  i32 contentWidth_ = 0;
  i32 contentHeight_ = 0;
};

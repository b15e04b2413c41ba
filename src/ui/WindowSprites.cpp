#include "ui/WindowSprites.h"

#include <algorithm>
#include <cmath>

#include "engine/DXLTexture.h"
#include "resources/GameDraw.h"

namespace {

constexpr u32 kWhite = 0xFFFFFFFFu;

// Source (sx, sy, sw, sh) of the texture drawn over (x, y, w, h).
void MakePart(DXLTexture* texture, DXLQUAD* quad, i32 x, i32 y, i32 w, i32 h, i32 sx, i32 sy, i32 sw, i32 sh) {
  texture->MakeQuadPartScaledInt(quad, x, y, w, h, sx, sy, sw, sh, kWhite);
}

bool Drawable(const SKINRECT& skin) { return skin.image && skin.width > 0 && skin.height > 0; }

}  // namespace

WindowSprites::~WindowSprites() { ClearQuads(nullptr); }

void WindowSprites::GetSize(i32* width, i32* height) const {
  if (width) *width = contentWidth_;
  if (height) *height = contentHeight_;
}

void WindowSprites::SetSize(i32 width, i32 height) {
  contentWidth_ = width;
  contentHeight_ = height;
}

SWINDOWSPRITE* WindowSprites::AddQuadBlock(DXLTexture* texture, i32 count, QuadBlockList* list) {
  if (count <= 0) return nullptr;
  auto* block = new SWINDOWSPRITE{texture, count, std::vector<DXLQUAD>(static_cast<size_t>(count))};
  Target(list)->Add(block);
  return block;
}

void WindowSprites::ClearQuads(QuadBlockList* list) { Target(list)->DeleteAll(); }

void WindowSprites::SetAlpha(u32 alpha, QuadBlockList* list) {
  QuadBlockList* blocks = Target(list);
  for (i32 i = 0; i < blocks->GetCount(); ++i) {
    SWINDOWSPRITE* block = blocks->Get(i);
    if (block->quads.empty()) continue;
    const u32 color = (block->quads[0].v[0].color & 0x00FFFFFFu) | (alpha & 0xFF000000u);
    for (DXLQUAD& q : block->quads)
      for (DXLVERTEX& v : q.v) v.color = color;
  }
}

void WindowSprites::DrawPieces(QuadBlockList* list) {
  QuadBlockList* blocks = Target(list);
  for (i32 i = 0; i < blocks->GetCount(); ++i) {
    SWINDOWSPRITE* block = blocks->Get(i);
    if (!block->texture) continue;
    BindDrawTexture(block->texture);
    for (const DXLQUAD& q : block->quads) DrawQuad(&q);
  }
}

i32 WindowSprites::DefaultWidth(i32 w, i32 fallback) const {
  if (w >= 0) return w;
  i32 width = 0;
  GetSize(&width, nullptr);
  return width != 0 ? width : fallback;
}

void WindowSprites::Place(i32 x, i32* y, i32 w, i32 h) {
  i32 width = 0, height = 0;
  GetSize(&width, &height);
  if (*y == kBelow) *y = height;
  if (x == 0) width = std::max(width, w);
  height = std::max(height, *y + h);
  SetSize(width, height);
}

SKINRECT WindowSprites::Band(const SKINRECT& skin, i32 top, i32 height) {
  return SKINRECT::InitSliced(skin.x, top, skin.width, height, skin.left, skin.rightBorder, 0, 0, skin.stepX,
                              skin.stepY, skin.image);
}

void WindowSprites::ShrinkBands(const SKINRECT& skin, i32 h, i32* topPart, i32* bottomPart) {
  const i32 both = skin.top + skin.bottomBorder;
  *topPart = skin.top >= 1 ? static_cast<i32>(std::floor(static_cast<double>(h) * skin.top / both + 0.5)) : 0;
  *bottomPart = h - *topPart;
}

void WindowSprites::AddPiece(i32 x, i32 y, i32 w, i32 h, const SKINRECT& skin, QuadBlockList* list) {
  w = DefaultWidth(w, skin.middleWidth);
  if (h < 0) h = skin.middleHeight;
  Place(x, &y, w, h);
  if (!skin.image || skin.middleWidth <= 0 || skin.middleHeight <= 0) return;
  SWINDOWSPRITE* block = AddQuadBlock(skin.image, 1, list);
  MakePart(skin.image, &block->quads[0], x, y, w, h, skin.x, skin.y, skin.middleWidth, skin.middleHeight);
}

// Quads in the order left cap, right cap, middle.
i32 WindowSprites::AddRow(i32 x, i32 y, i32 w, i32 h, const SKINRECT& skin, QuadBlockList* list) {
  w = DefaultWidth(w, skin.width);
  if (h < 0) h = skin.height;
  Place(x, &y, w, h);
  if (!Drawable(skin)) return h;
  const bool middle = skin.left + skin.rightBorder < w && skin.middleWidth > 0;
  const i32 count = (skin.left > 0) + (middle ? 1 : 0) + (skin.rightBorder > 0);
  SWINDOWSPRITE* block = AddQuadBlock(skin.image, count, list);
  if (!block) return h;
  DXLQUAD* q = block->quads.data();
  if (skin.left > 0) MakePart(skin.image, q++, x, y, skin.left, h, skin.x, skin.y, skin.left, skin.height);
  if (skin.rightBorder > 0) {
    MakePart(skin.image, q++, x + w - skin.rightBorder, y, skin.rightBorder, h, skin.right - skin.rightBorder,
             skin.y, skin.rightBorder, skin.height);
  }
  if (middle) {
    MakePart(skin.image, q, x + skin.left, y, w - skin.left - skin.rightBorder, h, skin.x + skin.left, skin.y,
             skin.middleWidth, skin.height);
  }
  return h;
}

// The outer tiles join the caps: the left part takes the first tile, the
// right part the last, and the tiles between follow the left part.
i32 WindowSprites::AddTiledRow(i32 x, i32 y, i32 w, i32 h, const SKINRECT& skin, QuadBlockList* list) {
  w = DefaultWidth(w, skin.width);
  if (h < 0) h = skin.height;
  Place(x, &y, w, h);
  if (!Drawable(skin)) return h;
  i32 tiles = 0;
  if (skin.left + skin.rightBorder < w && skin.middleWidth > 0)
    tiles = (w - skin.left - skin.rightBorder) / skin.middleWidth;
  i32 leftPart = skin.left, rightPart = skin.rightBorder;
  if (tiles > 0) {
    leftPart += skin.middleWidth;
    --tiles;
  }
  if (tiles > 0) {
    rightPart += skin.middleWidth;
    --tiles;
  }
  SWINDOWSPRITE* block = AddQuadBlock(skin.image, (leftPart > 0) + tiles + (rightPart > 0), list);
  if (!block) return h;
  DXLQUAD* q = block->quads.data();
  if (leftPart > 0) MakePart(skin.image, q++, x, y, leftPart, h, skin.x, skin.y, leftPart, skin.height);
  i32 at = x + leftPart;
  for (i32 i = 0; i < tiles; ++i, at += skin.middleWidth) {
    MakePart(skin.image, q++, at, y, skin.middleWidth, h, skin.x + skin.left, skin.y, skin.middleWidth,
             skin.height);
  }
  if (rightPart > 0) MakePart(skin.image, q, at, y, rightPart, h, skin.right - rightPart, skin.y, rightPart, skin.height);
  return h;
}

void WindowSprites::AddRowEx(i32 x, i32 y, i32 w1, i32 w2, i32 h, const SKINRECT& skin, i32 notch,
                             QuadBlockList* list) {
  const i32 total = w1 + w2;
  if (h < 0) h = skin.height;
  Place(x, &y, total, h);
  if (!Drawable(skin)) return;
  const i32 half = notch > 0 && (notch & 1) ? notch / 2 + 1 : notch / 2;
  const i32 second = w2 - (notch - half);
  const i32 tail = skin.middleWidth - notch;
  const i32 middleX = skin.x + skin.left;
  SWINDOWSPRITE* block = AddQuadBlock(skin.image, 5, list);
  DXLQUAD* q = block->quads.data();
  MakePart(skin.image, q++, x, y, skin.left, h, skin.x, skin.y, skin.left, skin.height);
  MakePart(skin.image, q++, x + total - skin.rightBorder, y, skin.rightBorder, h, skin.right - skin.rightBorder,
           skin.y, skin.rightBorder, skin.height);
  MakePart(skin.image, q++, x + skin.left, y, w1 - half - skin.left, h, middleX, skin.y, tail, skin.height);
  MakePart(skin.image, q++, x + total - second, y, second - skin.rightBorder, h, middleX, skin.y, tail,
           skin.height);
  MakePart(skin.image, q, x + w1 - half, y, notch, h, middleX + tail, skin.y, notch, skin.height);
}

void WindowSprites::AddFrame(i32 x, i32 y, i32 w, i32 h, const SKINRECT& skin, QuadBlockList* list) {
  if (h < 0) h = skin.height;
  if (y == kBelow) GetSize(nullptr, &y);
  i32 rest = h - skin.top - skin.bottomBorder;
  i32 topPart = skin.top, bottomPart = skin.bottomBorder;
  if (rest < 0) {
    ShrinkBands(skin, h, &topPart, &bottomPart);
  } else if (rest >= 1 && skin.middleHeight > 0) {
    const i32 more = std::min(rest, skin.middleHeight);
    topPart += more;
    rest -= more;
    if (rest > 0) {
      const i32 below = std::min(rest, skin.middleHeight);
      bottomPart += below;
      rest -= below;
    }
  }
  // A skin without a middle has nothing to repeat: the bands meet.
  if (skin.middleHeight <= 0) rest = 0;
  AddRow(x, y, w, topPart, Band(skin, skin.y, topPart), list);
  y += topPart;
  while (rest > 0) {
    const i32 rows = std::min(rest, skin.middleHeight);
    AddRow(x, y, w, rows, Band(skin, skin.y + skin.top, rows), list);
    y += rows;
    rest -= rows;
  }
  AddRow(x, y, w, bottomPart, Band(skin, skin.bottom - bottomPart, bottomPart), list);
}

void WindowSprites::AddStretchedFrame(i32 x, i32 y, i32 w, i32 h, const SKINRECT& skin, QuadBlockList* list) {
  if (h < 0) h = skin.height;
  if (y == kBelow) GetSize(nullptr, &y);
  const i32 rest = h - skin.top - skin.bottomBorder;
  i32 topPart = skin.top, bottomPart = skin.bottomBorder;
  if (rest < 0) ShrinkBands(skin, h, &topPart, &bottomPart);
  AddRow(x, y, w, topPart, Band(skin, skin.y, topPart), list);
  y += topPart;
  if (rest > 0) {
    AddRow(x, y, w, rest, Band(skin, skin.y + skin.top, skin.middleHeight), list);
    y += rest;
  }
  AddRow(x, y, w, bottomPart, Band(skin, skin.bottom - bottomPart, bottomPart), list);
}

// The top band takes one unit and, with units left, a middle band; the
// bottom band likewise while more than one unit is left; each unit after
// that is one middle band.
void WindowSprites::AddFrameEx(i32 x, i32 y, i32 w, i32 units, const SKINRECT& skin, QuadBlockList* list) {
  if (units <= 0) return;
  if (y == kBelow) GetSize(nullptr, &y);
  i32 topPart = skin.top;
  if (skin.top > 0) {
    --units;
    if (units > 0) topPart += skin.middleHeight;
  }
  AddRow(x, y, w, topPart, Band(skin, skin.y, topPart), list);
  y += topPart;
  i32 bottomPart = skin.bottomBorder;
  if (skin.bottomBorder > 0 && units > 1) {
    bottomPart += skin.middleHeight;
    --units;
  }
  while (--units > 0) {
    AddRow(x, y, w, skin.middleHeight, Band(skin, skin.y + skin.top, skin.middleHeight), list);
    y += skin.middleHeight;
  }
  AddRow(x, y, w, bottomPart, Band(skin, skin.bottom - bottomPart, bottomPart), list);
}

void WindowSprites::AddPieces(DXLTexture* texture, i32 x, i32 y, i32 h, QuadBlockList* list, i32 count,
                              const SKINPIECE* pieces) {
  if (!texture || count < 1 || !pieces) return;
  if (h == -1) h = texture->GetImageHeight();
  if (h <= 0) return;
  if (y == kBelow) GetSize(nullptr, &y);
  SWINDOWSPRITE* block = AddQuadBlock(texture, count, list);
  i32 advance = 0, sourceX = 0, sourceY = 0;
  for (i32 i = 0; i < count; ++i) {
    const SKINPIECE& p = pieces[i];
    const i32 sx = p.sourceX == -1 ? sourceX : p.sourceX;
    const i32 sy = p.sourceY == -1 ? sourceY : p.sourceY;
    const i32 sw = p.sourceWidth == -1 ? p.width : p.sourceWidth;
    MakePart(texture, &block->quads[static_cast<size_t>(i)], x + advance, y, p.width, h, sx, sy, sw, h);
    sourceX = sx + sw;
    sourceY = sy;
    advance += p.width;
  }
  Place(x, &y, advance, h);
}

#include "app/ScreenBorders.h"

#include <algorithm>

#include "engine/DXLTexture.h"
#include "resources/ResourceServices.h"

namespace {

// The four corners' texture coordinates, top-left first, clockwise.
struct Corners {
  float u[4], v[4];
};

void SetQuad(DXLQUAD* q, float x0, float y0, float x1, float y1, const Corners& c) {
  const float xs[4] = {x0, x1, x1, x0}, ys[4] = {y0, y0, y1, y1};
  for (int i = 0; i < 4; ++i) q->v[i] = DXLVERTEX{xs[i], ys[i], 0.0f, 0xFFFFFFFFu, c.u[i], c.v[i]};
}

// Columns [c0, c1) of the image as texture u, and its full height as v.
struct Span {
  float u0, u1, v1;
};

// The corners of a piece showing columns u0..u1 laid out for one side:
// 0 left (u runs to the right), 1 right (mirrored), 2 top (u runs down,
// turned a quarter), 3 bottom (u runs up, turned the other way).
Corners CornersFor(int side, const Span& s) {
  switch (side) {
    case 0: return Corners{{s.u0, s.u1, s.u1, s.u0}, {0, 0, s.v1, s.v1}};
    case 1: return Corners{{s.u1, s.u0, s.u0, s.u1}, {0, 0, s.v1, s.v1}};
    case 2: return Corners{{s.u0, s.u0, s.u1, s.u1}, {s.v1, 0, 0, s.v1}};
    default: return Corners{{s.u1, s.u1, s.u0, s.u0}, {0, s.v1, s.v1, 0}};
  }
}

}  // namespace

u32 MakeScreenBorderQuads(const BORDERIMAGE& image, i32 clientWidth, i32 clientHeight, const DXLRECT& game,
                          DXLQUAD* out) {
  if (!out || image.imageWidth <= 0 || image.imageHeight <= 0 || image.textureWidth <= 0 ||
      image.textureHeight <= 0)
    return 0;
  const bool sides = game.left > 0;
  if (!sides && game.top <= 0) return 0;
  const i32 edge = std::min(kBorderEdgeColumns, image.imageWidth);
  const i32 fillColumns = image.imageWidth - edge;
  const float tw = static_cast<float>(image.textureWidth);
  const float v1 = static_cast<float>(image.imageHeight) / static_cast<float>(image.textureHeight);
  // Along the side: from one pixel before the client area to one past it.
  const float along0 = -1.0f;
  const float along1 = static_cast<float>((sides ? clientHeight : clientWidth) + 1);
  const i32 depths[2] = {(sides ? game.left : game.top) + kBorderOverlap,
                         (sides ? clientWidth - game.right : clientHeight - game.bottom) + kBorderOverlap};
  u32 count = 0;
  for (int s = 0; s < 2; ++s) {
    const int side = (sides ? 0 : 2) + s;
    const i32 depth = depths[s];
    if (depth <= 0) continue;
    // Across the side: the edge piece lies against the game area, the fill
    // piece beyond it. `from` is the offset from the screen's edge.
    const i32 edgeWidth = std::min(edge, depth);
    const i32 fillWidth = depth - edgeWidth;
    const i32 clientAcross = sides ? clientWidth : clientHeight;
    auto across = [&](i32 from, i32 to, float* a0, float* a1) {
      // side 0/2: from the screen's left/top edge; side 1/3: from its right/bottom.
      if (s == 0) {
        *a0 = static_cast<float>(from);
        *a1 = static_cast<float>(to);
      } else {
        *a0 = static_cast<float>(clientAcross - to);
        *a1 = static_cast<float>(clientAcross - from);
      }
    };
    auto emit = [&](i32 from, i32 to, float u0, float u1) {
      float a0, a1;
      across(from, to, &a0, &a1);
      const Corners c = CornersFor(side, Span{u0, u1, v1});
      if (sides) SetQuad(&out[count++], a0, along0, a1, along1, c);
      else SetQuad(&out[count++], along0, a0, along1, a1, c);
    };
    // The edge columns, the innermost edgeWidth of them, nearest the game area.
    const float edgeU0 = static_cast<float>(image.imageWidth - edgeWidth) / tw;
    const float edgeU1 = static_cast<float>(image.imageWidth) / tw;
    // Each piece's corners run outward to inward for the first side of a
    // pair, so the second side's piece is the mirror of the first.
    emit(depth - edgeWidth, depth, edgeU0, edgeU1);
    if (fillWidth > 0 && fillColumns > 0) {
      const i32 used = std::min(fillColumns, fillWidth);
      emit(0, fillWidth, static_cast<float>(fillColumns - used) / tw, static_cast<float>(fillColumns) / tw);
    }
  }
  return count;
}

void BuildScreenBorders(i32 clientWidth, i32 clientHeight) {
  ResourceServices& g = GetResourceServices();
  SCREENBORDERS& b = g.borders;
  b.count = 0;
  b.quads = nullptr;
  DXLTexture* t = b.texture;
  if (!t || !t->IsReady()) return;
  const BORDERIMAGE image{t->GetImageWidth(), t->GetImageHeight(), t->GetWidth(), t->GetHeight()};
  b.count = MakeScreenBorderQuads(image, clientWidth, clientHeight, g.screen.rect, b.pieces);
  if (b.count) b.quads = b.pieces;
}

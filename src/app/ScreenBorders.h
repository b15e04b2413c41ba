// ScreenBorders - the pieces that cover the screen outside the game area
// when the display is wider or taller than it, cut from the border texture
// "Loading\screen_border.tga" and drawn by DrawScreenBorders at the end of
// every frame.
//
// With E = min(19, image width) edge columns (the texture's rightmost) and
// F = image width - E fill columns: a left margin gives a left and a right
// side, each an E wide edge piece against the game area (mirrored on the
// right) and, for the rest of the side, one fill piece stretched from at
// most F columns next to the edge. A top margin (only without a left one)
// gives a top and a bottom side from the texture turned a quarter one way
// and the other. Each side reaches 5 pixels into the game area and one
// pixel past the client area's ends. A texture of 19 columns or fewer has
// no fill columns: its sides are edge pieces only.
#pragma once

#include "base/Types.h"
#include "engine/DXLDrawTypes.h"
#include "engine/DXLRect.h"

class DXLTexture;

constexpr i32 kBorderEdgeColumns = 19;
constexpr i32 kBorderOverlap = 5;  // pixels a side reaches into the game area

// The border image and the texture it lies in (texture coordinates run
// over the texture's size).
struct BORDERIMAGE {
  i32 imageWidth = 0, imageHeight = 0;
  i32 textureWidth = 0, textureHeight = 0;
};

// Fills `out` (room for kScreenBorderPieces) with the pieces for a client
// area of clientWidth x clientHeight around the game rectangle `game`;
// returns how many (0: no margin or no image).
u32 MakeScreenBorderQuads(const BORDERIMAGE& image, i32 clientWidth, i32 clientHeight, const DXLRECT& game,
                          DXLQUAD* out);

// Rebuilds ResourceServices::borders from its texture (set by whoever loaded
// "Loading\screen_border.tga") and the game rectangle in the services, for
// a client area of the given size; no pieces while the texture is not ready.
void BuildScreenBorders(i32 clientWidth, i32 clientHeight);

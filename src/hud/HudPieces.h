// HudPieces - what the head-up display's sprite kinds share: their named
// pictures (the interface's own, sprite set 1), quads cut from a part of a
// picture, image sprites made centred on a point, and drawing either under
// the transform a screen sprite prepared.
//
// A picture that is not loaded gives zeroed quads and draws nothing.
#pragma once

#include <memory>

#include "base/Types.h"
#include "engine/DXLDrawTypes.h"
#include "resources/ImageSprite.h"

class Sprite;

constexpr u32 kHudSpriteSet = 1;

// The interface picture of that name; null when there is none.
Sprite* FindHudSprite(const wchar* name);
// The picture's part `piece` (relative to its first frame) over the
// rectangle (left, top, right, bottom).
void MakePieceQuad(const Sprite* sprite, DXLQUAD* out, float left, float top, float right, float bottom,
                   const DXLRECT& piece, u32 color);
// The picture's width and height (0 when not loaded).
i32 PictureWidth(const Sprite* sprite);
i32 PictureHeight(const Sprite* sprite);
// Writes the alpha byte into every vertex (RGB kept).
void SetQuadAlpha(DXLQUAD* quad, u32 alpha);
// The quads with the picture's texture under the viewer's current transform.
void DrawPieceQuads(const Sprite* sprite, const DXLQUAD* quads, i32 count);
// An image sprite of the picture pivoted at (pivotX, pivotY); null without one.
std::unique_ptr<ImageSprite> MakeImage(Sprite* sprite, float pivotX, float pivotY);
// The image at (x, y) under `base`; the viewer's transform is `base` again after.
void DrawImageAt(ImageSprite* image, float x, float y, const DXLMATRIX& base);
// The alpha byte of `alpha` with the colour's RGB.
inline u32 WithAlpha(u32 color, u32 alpha) { return (color & 0x00FFFFFFu) | (alpha & 0xFF000000u); }

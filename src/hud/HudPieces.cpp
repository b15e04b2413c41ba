#include "hud/HudPieces.h"

#include <cstring>

#include "engine/DXLTexture.h"
#include "engine/DXLViewer.h"
#include "resources/GameDraw.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"

Sprite* FindHudSprite(const wchar* name) { return GetSpriteByName(kHudSpriteSet, name); }

void MakePieceQuad(const Sprite* sprite, DXLQUAD* out, float left, float top, float right, float bottom,
                   const DXLRECT& piece, u32 color) {
  DXLRECT frame{};
  if (!sprite || !sprite->IsLoaded() || !sprite->GetTexture() || !sprite->GetFrameRect(0, &frame)) {
    std::memset(static_cast<void*>(out), 0, sizeof *out);
    return;
  }
  const DXLRECTF dest{left, top, right, bottom};
  const DXLRECTF source{static_cast<float>(frame.left + piece.left), static_cast<float>(frame.top + piece.top),
                        static_cast<float>(frame.left + piece.right), static_cast<float>(frame.top + piece.bottom)};
  sprite->GetTexture()->MakeQuadRectsF(out, dest, source, color, false, false);
}

i32 PictureWidth(const Sprite* sprite) { return sprite && sprite->IsLoaded() ? sprite->GetFrameWidth() : 0; }
i32 PictureHeight(const Sprite* sprite) { return sprite && sprite->IsLoaded() ? sprite->GetFrameHeight() : 0; }

void SetQuadAlpha(DXLQUAD* quad, u32 alpha) {
  for (DXLVERTEX& v : quad->v) v.color = WithAlpha(v.color, alpha);
}

void DrawPieceQuads(const Sprite* sprite, const DXLQUAD* quads, i32 count) {
  if (!sprite || !sprite->IsLoaded() || count <= 0) return;
  if (DXLViewer* viewer = GetGameViewer()) viewer->ApplyTransform(nullptr);
  BindDrawTexture(sprite->GetTexture());
  for (i32 i = 0; i < count; ++i) DrawQuad(&quads[i]);
}

std::unique_ptr<ImageSprite> MakeImage(Sprite* sprite, float pivotX, float pivotY) {
  if (!sprite) return nullptr;
  std::unique_ptr<ImageSprite> image(sprite->CreateImageSprite(false));
  if (image) image->SetPivot(pivotX, pivotY);
  return image;
}

void DrawImageAt(ImageSprite* image, float x, float y, const DXLMATRIX& base) {
  DXLViewer* viewer = GetGameViewer();
  if (!image || !viewer) return;
  viewer->SetTransform(&base);
  viewer->Translate(x, y);
  image->Draw();
  viewer->SetTransform(&base);
}

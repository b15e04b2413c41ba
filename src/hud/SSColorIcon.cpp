#include "hud/SSColorIcon.h"

#include "resources/Sprite.h"
#include "hud/HudPieces.h"
#include "hud/ScreenSpriteOwner.h"

namespace {

// The whole picture centred on the anchor.
void CentredQuad(const Sprite* sprite, DXLQUAD* out, u32 color) {
  const float w = static_cast<float>(PictureWidth(sprite)), h = static_cast<float>(PictureHeight(sprite));
  MakePieceQuad(sprite, out, -w / 2, -h / 2, w / 2, h / 2, DXLRECT{0, 0, PictureWidth(sprite), PictureHeight(sprite)},
                color);
}

}  // namespace

SSColorIcon::SSColorIcon(i32 x, i32 y, Sprite* icon, u32 plateColor, u32 borderColor)
    : ScreenSprite(x, y),
      plateColor_(plateColor),
      borderColor_(borderColor),
      plate_(FindHudSprite(u"level_ico_back")),
      border_(FindHudSprite(u"level_ico_border")),
      icon_(MakeImage(icon, 0.5f, 0.5f)) {
  CentredQuad(plate_, &plateQuad_, plateColor_);
  CentredQuad(border_, &borderQuad_, borderColor_);
  if (icon_) icon_->SetFrame(icon->GetFrameCount() > 1 ? 1 : 0);
}

SSColorIcon::~SSColorIcon() = default;

void SSColorIcon::OnShowChanged() {
  if (removeWhenHidden_ && told_) told_->OnScreenSpriteRemoving(this);
}

bool SSColorIcon::Draw() {
  if (!ScreenSprite::Draw()) return false;
  if (effectAlphaActive_) {
    ApplyAlpha(&plateQuad_);
    ApplyAlpha(&borderQuad_);
    if (icon_) icon_->SetColor(WithAlpha(icon_->GetColor(), GetAlpha()));
  }
  return true;
}

void SSColorIcon::DrawContent() {
  DrawPieceQuads(plate_, &plateQuad_, 1);
  DrawPieceQuads(border_, &borderQuad_, 1);
  DrawImageAt(icon_.get(), 0.0f, 0.0f, drawTransform_);
}

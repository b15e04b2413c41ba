#include "hud/SSProgressLine.h"

#include <algorithm>

#include "engine/DXLViewer.h"
#include "resources/ResourceServices.h"
#include "resources/SEffects.h"
#include "hud/HudPieces.h"
#include "ui/SkinTable.h"

namespace {

// Three pieces of a picture: a cap of `cap` (the skin's border) before
// `left`, the middle from `left` to `right`, a cap after it; vertically
// centred.
void ThreePieces(const Sprite* image, DXLQUAD* out, i32 cap, float left, float right, u32 color) {
  const i32 w = PictureWidth(image), h = PictureHeight(image);
  const float top = -static_cast<float>(h) / 2, bottom = static_cast<float>(h) / 2;
  const float c = static_cast<float>(cap);
  MakePieceQuad(image, &out[0], left - c, top, left, bottom, DXLRECT{0, 0, cap, h}, color);
  MakePieceQuad(image, &out[1], left, top, right, bottom, DXLRECT{cap, 0, w - cap, h}, color);
  MakePieceQuad(image, &out[2], right, top, right + c, bottom, DXLRECT{w - cap, 0, w, h}, color);
}

}  // namespace

SSProgressLine::SSProgressLine(i32 x, i32 y, i32 width, u32 mode)
    : ScreenSprite(x, y), width_(std::max(width, 32)), mode_(mode), progress_(mode ? 0.0f : 100.0f) {
  Sprite* border = FindHudSprite(u"progress_line_border");
  Sprite* indicator = FindHudSprite(mode ? u"progress_line_indicator" : u"progress_line_indicator_red");
  for (i32 i = 0; i < kQuads; ++i) images_[i] = i < 3 ? border : indicator;
  const float half = static_cast<float>(width_) / 2;
  ThreePieces(border, quads_, skins::kProgressBorder.left, -half, half, 0xFFFFFFFFu);
  glow_ = MakeImage(FindHudSprite(mode ? u"progress_glow" : u"progress_glow_red"), 0.5f, 0.5f);
  BuildIndicator();
}

SSProgressLine::~SSProgressLine() { DeleteSpriteEffects(&glowEffects_); }

void SSProgressLine::BuildIndicator() {
  const float half = static_cast<float>(width_) / 2;
  const float length = static_cast<float>(width_) * progress_ / 100.0f;
  const i32 cap = (mode_ ? skins::kProgressIndicator : skins::kProgressIndicatorRed).left;
  ThreePieces(images_[3], &quads_[3], cap, -half, -half + length, WithAlpha(0xFFFFFFFFu, GetAlpha()));
  glowX_ = -half + length + 1.0f;
}

void SSProgressLine::SetProgress(float percent) {
  if (finished_) return;
  progress_ = std::clamp(percent, 0.0f, 100.0f);
  BuildIndicator();
  const bool done = mode_ ? progress_ >= 100.0f : progress_ <= 0.0f;
  if (!done) return;
  finished_ = 1;
  if (!mode_) quadsToDraw_ = 3;
  AttachSpriteEffect(&glowEffects_, new SEffect_Scale(1.0f, 0.0f, 100, true, 0));
  AttachSpriteEffect(&glowEffects_, new SEffect_Alpha(1.0f, 0.0f, 100, true, 0));
}

bool SSProgressLine::Draw() {
  if (!ScreenSprite::Draw()) return false;
  if (effectAlphaActive_)
    for (DXLQUAD& q : quads_) ApplyAlpha(&q);
  return true;
}

void SSProgressLine::DrawContent() {
  for (i32 i = 0; i < quadsToDraw_; ++i) DrawPieceQuads(images_[i], &quads_[i], 1);
  DXLViewer* viewer = GetGameViewer();
  if (!glow_ || !viewer) return;
  viewer->SetTransform(&drawTransform_);
  viewer->Translate(glowX_, glowY_);
  UpdateSpriteEffects(&glowEffects_);
  if (finished_ && !glowEffects_) {  // faded out
    viewer->SetTransform(&drawTransform_);
    return;
  }
  const u32 glowAlpha = GetEffectColor(glowEffects_, 0xFFFFFFFFu) >> 24;
  const u32 alpha = (GetAlpha() >> 24) * glowAlpha / 255;
  glow_->SetColor(WithAlpha(glow_->GetColor(), alpha << 24));
  glow_->Draw();
  viewer->SetTransform(&drawTransform_);
}

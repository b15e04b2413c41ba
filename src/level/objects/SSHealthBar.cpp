#include "level/objects/SSHealthBar.h"

#include <algorithm>

#include "hud/HudPieces.h"

namespace {

// A run from left to right with its caps outside it; vertically centred.
void Run(const Sprite* image, DXLQUAD* out, float left, float right, u32 color) {
  const i32 w = PictureWidth(image), h = PictureHeight(image);
  const float top = -static_cast<float>(h) / 2, bottom = static_cast<float>(h) / 2;
  MakePieceQuad(image, &out[0], left - kHealthCapLeft, top, left, bottom, DXLRECT{0, 0, kHealthCapLeft, h}, color);
  MakePieceQuad(image, &out[1], left, top, right, bottom, DXLRECT{kHealthCapLeft, 0, w - kHealthCapRight, h}, color);
  MakePieceQuad(image, &out[2], right, top, right + kHealthCapRight, bottom, DXLRECT{w - kHealthCapRight, 0, w, h},
                color);
}

}  // namespace

SSHealthBar::SSHealthBar(i32 x, i32 y, i32 value, i32 maximum)
    : ScreenSprite(x, y),
      full_(FindHudSprite(u"vil_health_bar")),
      empty_(FindHudSprite(u"vil_health_back")),
      value_(0),
      maximum_(std::max(maximum, 1)) {
  keepSize_ = 1;
  const i32 half = GetWidth() / 2 + kHealthCapLeft;
  rect_ = DXLRECT{x - half, y - 8, x + half, y + 8};
  SetValue(value);
}

void SSHealthBar::SetValue(i32 value) {
  value_ = std::clamp(value, 0, maximum_);
  Build();
}

void SSHealthBar::GetRuns(float* filledLeft, float* filledRight, float* emptyLeft, float* emptyRight) const {
  const float left = -static_cast<float>(GetWidth()) / 2;
  const float split = left + static_cast<float>(value_ * kHealthSegment);
  *filledLeft = left;
  *filledRight = split;
  *emptyLeft = split;
  *emptyRight = -left;
}

void SSHealthBar::Build() {
  float fl, fr, el, er;
  GetRuns(&fl, &fr, &el, &er);
  const u32 color = WithAlpha(0xFFFFFFFFu, GetAlpha() | (effectAlphaActive_ ? 0 : 0xFF000000u));
  fullQuads_ = fr > fl ? 3 : 0;
  emptyQuads_ = er > el ? 3 : 0;
  if (fullQuads_) Run(full_, quads_, fl, fr, color);
  if (emptyQuads_) Run(empty_, quads_ + 3, el, er, color);
}

bool SSHealthBar::Draw() {
  if (!ScreenSprite::Draw()) return false;
  if (effectAlphaActive_)
    for (DXLQUAD& q : quads_) ApplyAlpha(&q);
  return true;
}

void SSHealthBar::DrawContent() {
  if (fullQuads_) DrawPieceQuads(full_, quads_, fullQuads_);
  if (emptyQuads_) DrawPieceQuads(empty_, quads_ + 3, emptyQuads_);
}

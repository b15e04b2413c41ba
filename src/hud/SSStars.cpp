#include "hud/SSStars.h"

#include <algorithm>

#include "hud/HudPieces.h"
#include "ui/SkinTable.h"

SSStars::SSStars(i32 x, i32 y, i32 maximum, i32 count)
    : ScreenSprite(x, y), maximum_(std::clamp(maximum, 1, 4)), image_(FindHudSprite(u"stars")) {
  SetCount(count);
}

void SSStars::SetCount(i32 count) {
  count = std::clamp(count, 1, maximum_);
  if (count == count_) return;
  count_ = count;
  if (maximum_ <= 1) return;
  // The rows of three stars serve two as well, by their left half.
  const SkinPiece& rows = maximum_ == 4 ? skins::kStarsFour : skins::kStarsThree;
  const i32 width = maximum_ == 2 ? rows.frameWidth / 2 : rows.frameWidth;
  const i32 top = rows.y + (count - 1) * rows.stepY;
  const DXLRECT piece{rows.x, top, rows.x + width, top + rows.frameHeight};
  const float w = static_cast<float>(piece.right - piece.left), h = static_cast<float>(piece.bottom - piece.top);
  MakePieceQuad(image_, &quad_, -w / 2, -h / 2, w / 2, h / 2, piece, WithAlpha(0xFFFFFFFFu, GetAlpha()));
  quadCount_ = 1;
}

bool SSStars::Draw() {
  if (!ScreenSprite::Draw()) return false;
  if (effectAlphaActive_) ApplyAlpha(&quad_);
  return true;
}

void SSStars::DrawContent() { DrawPieceQuads(image_, &quad_, quadCount_); }

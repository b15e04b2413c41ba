#include "ui/SSStars.h"

#include <algorithm>

#include "ui/HudPieces.h"

namespace {

// The rows of two, three and four stars in "stars" (the first row all
// unlit but one), and how far apart the rows lie.
struct StarRows {
  DXLRECT first;
  i32 step;
};
constexpr StarRows kRows[3] = {{{59, 1, 81, 23}, 23}, {{59, 1, 103, 23}, 23}, {{1, 1, 58, 28}, 28}};

}  // namespace

SSStars::SSStars(i32 x, i32 y, i32 maximum, i32 count)
    : ScreenSprite(x, y), maximum_(std::clamp(maximum, 1, 4)), image_(FindHudSprite(u"stars")) {
  SetCount(count);
}

void SSStars::SetCount(i32 count) {
  count = std::clamp(count, 1, maximum_);
  if (count == count_) return;
  count_ = count;
  if (maximum_ <= 1) return;
  const StarRows& row = kRows[maximum_ - 2];
  DXLRECT piece = row.first;
  piece.top += (count - 1) * row.step;
  piece.bottom += (count - 1) * row.step;
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

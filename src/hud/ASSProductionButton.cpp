#include "hud/ASSProductionButton.h"

#include <algorithm>

#include "hud/HudPieces.h"
#include "ui/SkinTable.h"

namespace {

// The pieces of "prod_button": single, first, middle, last.
constexpr const SkinPiece* kPieces[4] = {&skins::kProdSingle, &skins::kProdFirst, &skins::kProdMiddle,
                                         &skins::kProdLast};

}  // namespace

ASSProductionButton::ASSProductionButton(const PRODUCT* product, i32 x, i32 y, i32 index, i32 count, Sprite* icon)
    : ActiveScreenSprite(kCode, x, y),
      product_(product),
      image_(FindHudSprite(u"prod_button")),
      icon_(MakeImage(icon, 0.5f, 0.5f)) {
  count = std::max(count, 1);
  const i32 start = count == 1 ? -17 : -((count - 2) * 32 + 66) / 2;
  const i32 left = index <= 0 ? start : start + (index - 1) * 32 + 33;
  const SkinPiece& piece = *kPieces[count == 1 ? 0 : index <= 0 ? 1 : index >= count - 1 ? 3 : 2];
  width_ = piece.frameWidth;
  layoutX_ = static_cast<float>(left);
  const i32 height = piece.frameHeight;
  const float l = layoutX_, t = layoutY_, r = l + static_cast<float>(width_), b = t + static_cast<float>(height);
  for (i32 s = 0; s < 4; ++s) {
    const i32 top = piece.y + s * piece.stepY;
    MakePieceQuad(image_, &quads_[s], l, t, r, b, DXLRECT{piece.x, top, piece.x + width_, top + height}, 0xFFFFFFFFu);
  }
  iconX_ = l + static_cast<float>(width_) / 2;
  iconY_ = t + static_cast<float>(height) / 2.0f;
  rect_ = DXLRECT{x + left, y - 17, x + left + width_, y + 17};
}

ASSProductionButton::~ASSProductionButton() = default;

bool ASSProductionButton::Draw() {
  if (!ActiveScreenSprite::Draw()) return false;
  if (effectAlphaActive_) {
    for (DXLQUAD& q : quads_) ApplyAlpha(&q);
    if (icon_) icon_->SetColor(WithAlpha(icon_->GetColor(), GetAlpha()));
  }
  return true;
}

void ASSProductionButton::DrawContent() {
  DrawPieceQuads(image_, &quads_[state_ & 3], 1);
  if (icon_) icon_->SetFrame(static_cast<i32>(std::min<u32>(state_, 2)));
  DrawImageAt(icon_.get(), iconX_, iconY_, drawTransform_);
}

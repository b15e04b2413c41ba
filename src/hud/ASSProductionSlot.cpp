#include "hud/ASSProductionSlot.h"

#include <algorithm>
#include <cmath>

#include "base/Maths.h"
#include "content/ProductList.h"
#include "gametext/GameLanguage.h"
#include "gametext/GameLanguageHost.h"
#include "ui/CaptionHintWindow.h"
#include "hud/HudPieces.h"
#include "ui/SkinTable.h"

namespace {

constexpr const SkinPiece& kSlot = skins::kProdSlot;      // the states
constexpr const SkinPiece& kFill = skins::kProdSlotFill;  // the fills of states 1 to 3
constexpr i32 kCell = kSlot.frameWidth;

}  // namespace

ASSProductionSlot::ASSProductionSlot(i32 x, i32 y, i32 index, i32 count)
    : ActiveScreenSprite(kCode, x, y), index_(index), image_(FindHudSprite(u"prod_slot")) {
  layoutX_ = static_cast<float>(index * 32 - (count * 32 / 2 + 1));
  const float l = layoutX_, t = layoutY_;
  for (i32 s = 0; s < 4; ++s) {
    const i32 c = kSlot.x + s * kSlot.stepX;
    MakePieceQuad(image_, &quads_[s], l, t, l + kCell, t + kCell, DXLRECT{c, kSlot.y, c + kCell, kSlot.y + kCell},
                  0xFFFFFFFFu);
  }
  const i32 left = x + static_cast<i32>(layoutX_);
  rect_ = DXLRECT{left, y - 17, left + kCell, y + 17};
  auto* hint = new CaptionHintWindow(this);
  hint->SetFrame(0, 0, 0, 0, 1, 0);  // centred, above
  SetHintEnabled(false);
  OnStateChanged();
}

ASSProductionSlot::~ASSProductionSlot() = default;

void ASSProductionSlot::OnStateChanged() {
  if (state_ == 0) return;
  const i32 column = static_cast<i32>(state_) + 3;
  if (column == fillColumn_) return;
  fillColumn_ = column;
  BuildFill();
}

void ASSProductionSlot::BuildFill() {
  if (fillColumn_ < 0) return;
  const i32 h = PictureHeight(image_) - 6;
  const float exact = fill_ <= 0.0f ? static_cast<float>(h)
                                    : static_cast<float>(h) - (static_cast<float>(h - 3) * fill_ + 1.0f);
  const i32 y0 = fill_ <= 0.0f ? h : kis::CeilToInt(exact);
  const u32 rest = static_cast<u32>(std::clamp(kis::RoundToInt((static_cast<float>(y0) - exact) * 255.0f), 0, 255));
  const i32 c = kFill.x + (fillColumn_ - static_cast<i32>(kSlot.frames)) * kFill.stepX;
  const float l = layoutX_, r = layoutX_ + kCell, t = layoutY_;
  const u32 alpha = GetAlpha();
  MakePieceQuad(image_, &fillQuads_[0], l, t + static_cast<float>(y0), r, t + static_cast<float>(h),
                DXLRECT{c, y0, c + kCell, h}, WithAlpha(0xFFFFFFFFu, alpha));
  MakePieceQuad(image_, &fillQuads_[1], l, t + static_cast<float>(y0 - 1), r, t + static_cast<float>(y0),
                DXLRECT{c, y0 - 1, c + kCell, y0}, WithAlpha(0xFFFFFFFFu, ((alpha >> 24) * rest / 255) << 24));
}

void ASSProductionSlot::SetSlot(const PRODUCT* product) {
  if (product == product_) return;
  product_ = product;
  AddPendingRefresh(kHintRefreshProduct);
  SetHintEnabled(product != nullptr);
  Sprite* icon = product ? product->icon : nullptr;
  if (icon != iconSprite_) {
    iconSprite_ = icon;
    icon_ = MakeImage(icon, 0.5f, 0.5f);
  }
  SetFill(0.0f);
}

void ASSProductionSlot::SetFill(float fraction) {
  fill_ = fraction;
  BuildFill();
}

void ASSProductionSlot::RefreshHint() {
  if (GetPendingRefresh() & kHintRefreshProduct) {
    pendingRefresh_ &= ~kHintRefreshProduct;
    auto* hint = static_cast<CaptionHintWindow*>(GetHintWindow());
    const GameLanguage* language = GetGameLanguage();
    if (hint && product_ && language) hint->SetText(language->GetTextByName(u"Products", product_->name, true));
  }
  ActiveScreenSprite::RefreshHint();
}

bool ASSProductionSlot::Draw() {
  if (!ActiveScreenSprite::Draw()) return false;
  if (effectAlphaActive_) {
    for (DXLQUAD& q : quads_) ApplyAlpha(&q);
    BuildFill();
    if (icon_) icon_->SetColor(WithAlpha(icon_->GetColor(), GetAlpha()));
  }
  return true;
}

void ASSProductionSlot::DrawContent() {
  DrawPieceQuads(image_, &quads_[state_ & 3], 1);
  if (fillColumn_ >= 0) DrawPieceQuads(image_, fillQuads_, 2);
  if (icon_) icon_->SetFrame(static_cast<i32>(std::min<u32>(state_, 2)));
  DrawImageAt(icon_.get(), layoutX_ + kCell / 2.0f, 0.0f, drawTransform_);
}

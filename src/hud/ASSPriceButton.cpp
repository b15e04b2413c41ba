#include "hud/ASSPriceButton.h"

#include <algorithm>

#include "engine/DXLViewer.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"
#include "ui/GameDigitalText.h"
#include "hud/HudPieces.h"
#include "ui/SkinTable.h"
#include "ui/WindowManager.h"

namespace {

constexpr i32 kPriceLift = 34;
constexpr const SkinPiece& kSkin = skins::kPriceButton;  // a column a state
constexpr i32 kDigitFont = 3;
constexpr i32 kPriceDigits = 5;
constexpr u32 kDigitColors[4] = {0xFFE8E8E8u, 0xFFD4FFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};

}  // namespace

ASSPriceButton::ASSPriceButton(u32 actionCode, i32 x, i32 y, Sprite* icon, u32 price)
    : ActiveScreenSprite(actionCode, x, y),
      baseX_(x),
      baseY_(y),
      skin_(FindHudSprite(u"price_button")),
      priceValue_(price),
      icon_(MakeImage(icon, 0.5f, 0.5f)),
      arrow_(MakeImage(FindHudSprite(u"button_arrow"), 0.5f, 0.0f)) {
  WindowManager* manager = GetWindowManager();
  price_ = std::make_unique<GameDigitalText>(manager ? manager->FindFont(kDigitFont) : nullptr, 0, kPriceDigits,
                                             false, 0);
  price_->SetNumber(static_cast<i32>(price));
  price_->SetColor(kDigitColors[state_]);
  SetKeepSize(true);
  BuildQuads();
  Relayout();
  effectAlphaActive_ = 1;  // the first draw colours every part
}

ASSPriceButton::~ASSPriceButton() = default;

void ASSPriceButton::BuildQuads() {
  width_ = price_->GetWidth() + 52;
  height_ = kSkin.frameHeight;
  const float left = -static_cast<float>(width_ / 2), top = -static_cast<float>(height_ / 2);
  const float right = left + static_cast<float>(width_), bottom = top + static_cast<float>(height_);
  for (i32 s = 0; s < 4; ++s) {
    const i32 c = kSkin.x + s * kSkin.stepX, r = c + kSkin.frameWidth, y = kSkin.y, h = kSkin.y + height_;
    MakePieceQuad(skin_, &quads_[s][0], left, top, left + kSkin.left, bottom, DXLRECT{c, y, c + kSkin.left, h},
                  0xFFFFFFFFu);
    MakePieceQuad(skin_, &quads_[s][1], left + kSkin.left, top, right - kSkin.right, bottom,
                  DXLRECT{c + kSkin.left, y, r - kSkin.right, h}, 0xFFFFFFFFu);
    MakePieceQuad(skin_, &quads_[s][2], right - kSkin.right, top, right, bottom, DXLRECT{r - kSkin.right, y, r, h},
                  0xFFFFFFFFu);
  }
  digitX_ = left + 42.0f;
  digitY_ = static_cast<float>(-price_->GetHeight() / 2 + 1);
  iconX_ = left + 20.0f;
  iconY_ = 0.0f;
}

void ASSPriceButton::Relayout() {
  ActiveScreenSprite::Relayout();
  StandAbove(baseX_, baseY_, kPriceLift, ScaledLength(width_) / 2, ScaledLength(height_) / 2);
}

void ASSPriceButton::OnStateChanged() { price_->SetColor(kDigitColors[state_ & 3]); }

bool ASSPriceButton::Draw() {
  if (!ActiveScreenSprite::Draw()) return false;
  if (effectAlphaActive_) {
    for (auto& row : quads_)
      for (DXLQUAD& q : row) ApplyAlpha(&q);
    price_->SetColor(WithAlpha(kDigitColors[state_ & 3], GetAlpha()));
    if (icon_) icon_->SetColor(WithAlpha(icon_->GetColor(), GetAlpha()));
    if (arrow_) arrow_->SetColor(WithAlpha(arrow_->GetColor(), GetAlpha()));
  }
  return true;
}

void ASSPriceButton::DrawContent() {
  DrawImageAt(arrow_.get(), arrowX_, arrowY_, drawTransform_);
  DrawPieceQuads(skin_, quads_[state_ & 3], 3);
  if (DXLViewer* viewer = GetGameViewer()) {
    viewer->SetTransform(&drawTransform_);
    viewer->Translate(digitX_, digitY_);
    price_->Draw();
    viewer->SetTransform(&drawTransform_);
  }
  if (icon_) icon_->SetFrame(static_cast<i32>(std::min<u32>(state_, 2)));
  DrawImageAt(icon_.get(), iconX_, iconY_, drawTransform_);
}

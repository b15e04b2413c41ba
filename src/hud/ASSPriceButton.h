// ASSPriceButton - a wide head-up display button showing a product icon and
// a price in digits, on the three-part "price_button" skin (a column per
// state), with a pointer arrow under it. It stands 34 pixels above its
// anchor, keeps its pixel size and stays above the level panel. The digits
// take the state's colour: disabled 0xFFE8E8E8, normal 0xFFD4FFFF, lit and
// pressed white.
#pragma once

#include <memory>

#include "hud/ActiveScreenSprite.h"

class GameDigitalText;
class ImageSprite;
class Sprite;

class ASSPriceButton : public ActiveScreenSprite {
 public:
  ASSPriceButton(u32 actionCode, i32 x, i32 y, Sprite* icon, u32 price);
  ~ASSPriceButton() override;

  void Relayout() override;
  bool Draw() override;
  void DrawContent() override;

  i32 GetButtonWidth() const { return width_; }
  i32 GetButtonHeight() const { return height_; }
  const DXLQUAD* GetStateQuads(u32 state) const { return quads_[state & 3]; }
  GameDigitalText* GetPriceText() const { return price_.get(); }
  u32 GetPrice() const { return priceValue_; }
  float GetDigitX() const { return digitX_; }
  float GetDigitY() const { return digitY_; }
  float GetIconX() const { return iconX_; }
  ImageSprite* GetIcon() const { return icon_.get(); }
  i32 GetBaseX() const { return baseX_; }  // the anchor it stands above
  i32 GetBaseY() const { return baseY_; }

 protected:
  void OnStateChanged() override;

 private:
  void BuildQuads();

  i32 baseX_, baseY_;
  i32 width_ = 0, height_ = 0;
  Sprite* skin_;
  DXLQUAD quads_[4][3] = {};
  std::unique_ptr<GameDigitalText> price_;
  u32 priceValue_;
  float digitX_ = 0.0f, digitY_ = 0.0f;
  std::unique_ptr<ImageSprite> icon_;
  float iconX_ = 0.0f, iconY_ = 0.0f;
  std::unique_ptr<ImageSprite> arrow_;
  float arrowX_ = 0.0f, arrowY_ = 16.0f;
};

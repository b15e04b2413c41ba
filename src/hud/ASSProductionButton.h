// ASSProductionButton - one button of a factory's row of product buttons:
// `count` buttons of 34 pixels height joined seamlessly around the anchor
// ("prod_button": a single button 34 wide, or a first and a last of 33 with
// middles of 32 between, one row per state), the product's icon centred on
// each.
#pragma once

#include <memory>

#include "hud/ActiveScreenSprite.h"

class ImageSprite;
class Sprite;
struct PRODUCT;

class ASSProductionButton : public ActiveScreenSprite {
 public:
  static constexpr u32 kCode = ScreenTag('P', 'r', 'o', 'd');

  ASSProductionButton(const PRODUCT* product, i32 x, i32 y, i32 index, i32 count, Sprite* icon);
  ~ASSProductionButton() override;

  bool Draw() override;
  void DrawContent() override;

  const PRODUCT* GetProduct() const { return product_; }
  const DXLQUAD& GetStateQuad(u32 state) const { return quads_[state & 3]; }
  float GetLayoutX() const { return layoutX_; }
  i32 GetButtonWidth() const { return width_; }

 private:
  const PRODUCT* product_;
  Sprite* image_;
  DXLQUAD quads_[4] = {};
  std::unique_ptr<ImageSprite> icon_;
  float layoutX_ = 0.0f, layoutY_ = -17.0f;
  i32 width_ = 34;
  float iconX_ = 0.0f, iconY_ = 0.0f;
};

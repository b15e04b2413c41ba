// ASSProductionSlot - one production slot of a factory: a 34 x 34 cell of
// the "prod_slot" picture (a 35-pixel column per state), filled from the
// bottom by a column of the fill pictures as the product in it is made, its
// product's icon on top, and a caption hint (the product's name, centred
// above the slot) that is enabled only while the slot holds a product.
//
// The fill's top edge is drawn at a fraction of a pixel: a one-pixel line
// above the filled rows carries the fractional rest as its alpha.
#pragma once

#include <memory>

#include "hud/ActiveScreenSprite.h"

class ImageSprite;
class Sprite;
struct PRODUCT;

class ASSProductionSlot : public ActiveScreenSprite {
 public:
  static constexpr u32 kCode = ScreenTag('P', 'r', 'S', 'l');

  ASSProductionSlot(i32 x, i32 y, i32 index, i32 count);
  ~ASSProductionSlot() override;

  bool Draw() override;
  void DrawContent() override;
  void RefreshHint() override;

  // The product in the slot (null: empty).
  void SetSlot(const PRODUCT* product);
  void SetFill(float fraction);

  const PRODUCT* GetSlot() const { return product_; }
  float GetFill() const { return fill_; }
  i32 GetIndex() const { return index_; }
  i32 GetFillColumn() const { return fillColumn_; }
  const DXLQUAD& GetStateQuad(u32 state) const { return quads_[state & 3]; }
  const DXLQUAD& GetFillQuad(i32 i) const { return fillQuads_[i]; }
  float GetLayoutX() const { return layoutX_; }
  ImageSprite* GetIcon() const { return icon_.get(); }

 protected:
  void OnStateChanged() override;

 private:
  void BuildFill();

  i32 index_;
  Sprite* image_;
  DXLQUAD quads_[4] = {};
  i32 fillColumn_ = -1;
  DXLQUAD fillQuads_[2] = {};
  float layoutX_ = 0.0f, layoutY_ = -17.0f;
  const PRODUCT* product_ = nullptr;
  const Sprite* iconSprite_ = nullptr;
  std::unique_ptr<ImageSprite> icon_;
  float fill_ = 0.0f;
};

// ProductionHint - the hover hint of a factory's product button: the
// recipe's name as its caption, the button's text under it, then one line
// per ingredient (its icon and name, green when the stock holds the amount
// the recipe takes, red when not). The texts are bracketed names the
// item-description mark-up expands for the recipe (kItemTagRecipe); the
// ingredient lines are expanded again whenever the hint is refreshed with
// kHintRefreshGlobal, which the owner's refresh mask then always carries, so
// the lines follow the stock each time the hint shows.
#pragma once

#include "content/ProductList.h"
#include "ui/CaptionHintWindow.h"

class ProductionHint : public CaptionHintWindow {
 public:
  // Becomes the owner's hint window (centred above it).
  ProductionHint(GameHint* owner, const wchar* text, const PRODUCT* product);

  // The caption on top, the text under it, each ingredient line one pixel
  // below the one before; the bounds are their union.
  void GetItemsBounds(DXLRECT* out) override;
  void Relayout(u32 flags) override;

  const PRODUCT* GetProduct() const { return product_; }
  HIText* GetText() const { return text_; }
  i32 GetIngredientLineCount() const { return lineCount_; }
  HIText* GetIngredientLine(i32 i) const { return i >= 0 && i < lineCount_ ? lines_[i] : nullptr; }

 private:
  const PRODUCT* product_;
  HIText* text_ = nullptr;
  HIText* lines_[kMaxIngredients] = {};
  i32 lineCount_ = 0;
};

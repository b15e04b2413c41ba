#include "level/scene/HudLabels.h"

#include "ui/ScreenSpriteList.h"

void HudLabels::ShowFlyingIcon(const PRODUCT* product, i32 amount, float x, float y, float yOffset, u32 delay,
                               float endOffset) {
  if (list_) list_->ShowFlyingIcon(product, amount, x, y, yOffset, delay, endOffset);
}

void HudLabels::ShowFlyingCoins(i32 amount, float x, float y, float yOffset, u32 delay) {
  if (list_) list_->ShowFlyingCoins(amount, x, y, yOffset, delay);
}

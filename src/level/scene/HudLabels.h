// HudLabels - the level's flying labels shown by its head-up display: the
// level rules' LevelLabels answered by the level's screen-sprite list. The
// level scene makes one over its list and hands it to the rules
// (LevelHooks::labels).
#pragma once

#include "level/scene/LevelLabels.h"

class ScreenSpriteList;

class HudLabels : public LevelLabels {
 public:
  explicit HudLabels(ScreenSpriteList* list) : list_(list) {}

  void ShowFlyingIcon(const PRODUCT* product, i32 amount, float x, float y, float yOffset, u32 delay,
                      float endOffset) override;
  void ShowFlyingCoins(i32 amount, float x, float y, float yOffset, u32 delay) override;

 private:
  ScreenSpriteList* list_;
};

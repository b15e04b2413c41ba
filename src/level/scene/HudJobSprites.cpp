#include "level/scene/HudJobSprites.h"

#include "ui/SSColorIcon.h"

namespace {

constexpr u32 kIconBorder = 0xFFFFFFFFu;

class HudJobIcon : public SSColorIcon, public JobIcon {
 public:
  HudJobIcon(i32 x, i32 y, Sprite* sprite, u32 color) : SSColorIcon(x, y, sprite, color, kIconBorder) {}
  void Show(bool instant, u32 delay, u32 style, u32 duration) override {
    ScreenSprite::Show(instant, delay, style, duration);
  }
  void Hide(bool removeWhenHidden, bool instant, u32 delay, u32 style, u32 duration) override {
    ScreenSprite::Hide(removeWhenHidden, instant, delay, style, duration);
  }
  void SetProgress(float) override {}
  void SetOffset(i32 dx, i32 dy) override {
    offsetX_ = dx;
    offsetY_ = dy;
  }
};

}  // namespace

JobIcon* HudJobSprites::MakeJobIcon(i32 x, i32 y, Sprite* sprite, u32 color, bool buildEffect) {
  auto* icon = new HudJobIcon(x, y, sprite, color);
  icon->Show(!buildEffect, 0, kSpritePop, kSpriteShowTime);
  return icon;
}

#include "level/scene/HudPointSprites.h"

#include "content/ContentArchive.h"
#include "resources/SpriteSet.h"
#include "ui/ASSArrowButton.h"
#include "ui/ASSPriceButton.h"
#include "ui/SSProgressLine.h"
#include "ui/SSStars.h"
#include "ui/ScreenSpriteHost.h"

namespace {

// A screen sprite of the kind that is also the point's sprite.
template <class Kind>
class PointScreenSprite : public Kind, public PointSprite {
 public:
  using Kind::Kind;
  void Show(bool instant, u32 delay, u32 style, u32 duration) override {
    ScreenSprite::Show(instant, delay, style, duration);
  }
  void Hide(bool removeWhenHidden, bool instant, u32 delay, u32 style, u32 duration) override {
    ScreenSprite::Hide(removeWhenHidden, instant, delay, style, duration);
  }
  void SetProgress(float) override {}
};

class HudProgressLine : public PointScreenSprite<SSProgressLine> {
 public:
  using PointScreenSprite::PointScreenSprite;
  void SetProgress(float percent) override { SSProgressLine::SetProgress(percent); }
};

using HudStars = PointScreenSprite<SSStars>;

// The button is its own handler owner: it holds the price and hands the
// click on to its point.
class HudPriceButton : public PointScreenSprite<ASSPriceButton>, public ScreenSpriteOwner {
 public:
  HudPriceButton(u32 code, i32 x, i32 y, Sprite* icon, u32 price, BaseLevelPoint* point, PointClickProc onClick)
      : PointScreenSprite(code, x, y, icon, price), price_(price), point_(point), onClick_(onClick) {
    SetHandler(this, &Clicked, &ActiveScreenSprite::IsPriceUnaffordable);
  }
  i32 GetScreenPrice() const override { return static_cast<i32>(price_); }

 private:
  static u32 Clicked(ActiveScreenSprite*, ScreenSpriteOwner* owner, u32) {
    auto* button = static_cast<HudPriceButton*>(owner);
    return button->onClick_ ? button->onClick_(button, button->point_) : 0;
  }

  u32 price_;
  BaseLevelPoint* point_;
  PointClickProc onClick_;
};

// The arrow button hands its click on to its point, like the price button.
class HudArrowButton : public PointScreenSprite<ASSArrowButton>, public ScreenSpriteOwner {
 public:
  HudArrowButton(u32 code, i32 x, i32 y, Sprite* icon, Sprite* arrow, BaseLevelPoint* point, PointClickProc onClick)
      : PointScreenSprite(code, x, y, icon, nullptr, arrow), point_(point), onClick_(onClick) {
    SetHandler(this, &Clicked, nullptr);
  }

 private:
  static u32 Clicked(ActiveScreenSprite*, ScreenSpriteOwner* owner, u32) {
    auto* button = static_cast<HudArrowButton*>(owner);
    return button->onClick_ ? button->onClick_(button, button->point_) : 0;
  }

  BaseLevelPoint* point_;
  PointClickProc onClick_;
};

}  // namespace

PointSprite* HudPointSprites::MakeProgressLine(i32 x, i32 y, i32 width, u32 mode) {
  return new HudProgressLine(x, y, width, mode);
}

PointSprite* HudPointSprites::MakeStars(i32 x, i32 y, i32 maximum, i32 count) {
  return new HudStars(x, y, maximum, count);
}

PointSprite* HudPointSprites::MakePriceButton(u32 code, i32 x, i32 y, const wchar* icon, u32 price,
                                              BaseLevelPoint* owner, PointClickProc onClick) {
  return new HudPriceButton(code, x, y, GetSpriteByName(kIconSpriteSet, icon), price, owner, onClick);
}

PointSprite* HudPointSprites::MakeArrowButton(u32 code, i32 x, i32 y, const wchar* icon, const wchar* arrow,
                                              const wchar* glow, float glowScale, u32 glowColor,
                                              BaseLevelPoint* owner, PointClickProc onClick) {
  auto* button = new HudArrowButton(code, x, y, GetSpriteByName(kIconSpriteSet, icon),
                                    GetSpriteByName(kIconSpriteSet, arrow), owner, onClick);
  if (glow) button->SetGlow(GetSpriteByName(kEffectSpriteSet, glow), glowScale, glowColor);
  return button;
}

// ActiveScreenSprite - a screen sprite that takes the mouse: hover, press
// and click, a disabled state and a hover hint. The level's screen-sprite
// list routes the pointer to it (ScreenSpriteList.h).
//
// States (ControlState ids): 0 disabled, 1 normal, 2 hover (lit), 3
// pressed. A hovered sprite lights up once the pointer has stood still over
// it for 30 ms of updates; its hint follows after the hint delay. A sprite
// takes no hover while its show or hide effect runs or once it is marked to
// go. A disabled sprite can still be hovered, and a release after a press
// over it still reaches its click callback.
//
// The click callback's result: bit 1 (kScreenClickRemove) marks the sprite
// to go when hidden, bit 2 (kScreenClickSound) plays the click sound. The
// callback may delete the sprite.
#pragma once

#include "ui/GameHint.h"
#include "ui/LifeGuard.h"
#include "hud/ScreenSprite.h"

class ActiveScreenSprite;
class ScreenSpriteOwner;

constexpr u32 kScreenClickRemove = 1;
constexpr u32 kScreenClickSound = 2;

constexpr u32 kScreenHoverSettle = 30;  // ms of a still pointer before the highlight

using ScreenClickProc = u32 (*)(ActiveScreenSprite* sprite, ScreenSpriteOwner* owner, u32 button);
using ScreenDisabledProc = u8 (*)(ActiveScreenSprite* sprite, ScreenSpriteOwner* owner);

// Packs a four-letter tag high byte first ('PrSl').
constexpr u32 ScreenTag(char a, char b, char c, char d) {
  return static_cast<u32>(static_cast<u8>(a)) << 24 | static_cast<u32>(static_cast<u8>(b)) << 16 |
         static_cast<u32>(static_cast<u8>(c)) << 8 | static_cast<u32>(static_cast<u8>(d));
}

class ActiveScreenSprite : public ScreenSprite, public GameHint {
 public:
  ActiveScreenSprite(u32 actionCode, i32 x, i32 y);
  ~ActiveScreenSprite() override;  // leaves hover and the active list

  void OnShowChanged() override;
  void Update() override;

  // Visible, not marked to go, no show or hide effect running.
  virtual bool IsActive() const;
  virtual bool HitTest(i32 x, i32 y) const;
  virtual bool SetDisabled(bool disabled);
  virtual bool SetHover(bool enter);
  virtual bool Highlight();
  virtual void OnUnhighlight() {}
  virtual bool SetPressed(bool pressed);
  virtual void OnClick();

  // The hint stands by the sprite's screen rectangle grown by 8 pixels.
  void PlaceHint() override;

  void SetHandler(ScreenSpriteOwner* owner, ScreenClickProc onClick, ScreenDisabledProc isDisabled);
  void RefreshEnabled();

  u32 GetActionCode() const { return actionCode_; }
  u32 GetState() const { return state_; }
  bool IsHovered() const { return hovered_ != 0; }
  u32 GetHintDelayLeft() const { return hintDelay_; }
  u32 GetClickCooldown() const { return clickCooldown_; }
  void SetClickCooldown(u32 ms) { clickCooldown_ = ms; }
  u32 GetButtons() const { return buttons_; }
  void SetButtons(u32 mask) { buttons_ = mask; }
  u32 GetPressButton() const { return pressButton_; }
  void SetPressButton(u32 button) { pressButton_ = button; }
  ScreenSpriteOwner* GetHandlerOwner() const { return handlerOwner_; }
  ScreenClickProc GetClickHandler() const { return onClick_; }

  // The stock disabled test: the level's money is below the owner's price.
  static u8 IsPriceUnaffordable(ActiveScreenSprite* sprite, ScreenSpriteOwner* owner);

 protected:
  // Called when the state changes (kinds recolour their parts).
  virtual void OnStateChanged() {}
  void SetState(u32 state);

  u32 actionCode_;
  u32 hintDelay_ = 0;
  u32 clickCooldown_ = 0;
  u32 state_ = 1;
  u32 hovered_ = 0;
  ScreenSpriteOwner* handlerOwner_ = nullptr;
  ScreenClickProc onClick_ = nullptr;
  ScreenDisabledProc isDisabled_ = nullptr;
  u32 buttons_ = 1;
  u32 pressButton_ = 0;
  i32 lastPointerX_ = -1, lastPointerY_ = -1;
  Lifetime lifetime_;
};

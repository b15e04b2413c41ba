// ASSArrowButton - an icon button (radius 18, background "icon_btn" unless
// named) with a pointer arrow ("button_arrow" unless given) under it, that
// stands 32 pixels above its anchor, keeps its pixel size and stays above
// the level panel. It may carry a glow that pulses between 1.0 and 1.25 of
// its size once a second.
#pragma once

#include "hud/ASSIconButton.h"

class ASSArrowButton : public ASSIconButton {
 public:
  ASSArrowButton(u32 actionCode, i32 x, i32 y, Sprite* icon, const wchar* background, Sprite* arrow);
  ~ASSArrowButton() override;

  void Relayout() override;
  bool Draw() override;
  void DrawContent() override;

  // Replaces the glow (null: none); the colour's alpha is the glow's own.
  void SetGlow(Sprite* glow, float scale, u32 color);
  ImageSprite* GetArrow() const { return arrow_.get(); }
  i32 GetBaseX() const { return baseX_; }  // the anchor it stands above
  i32 GetBaseY() const { return baseY_; }
  ImageSprite* GetGlow() const { return glow_.get(); }
  SpriteEffectList* GetGlowEffects() const { return glowEffects_; }

 private:
  i32 baseX_, baseY_;
  std::unique_ptr<ImageSprite> arrow_;
  float arrowX_ = 0.0f, arrowY_ = 14.0f;
  std::unique_ptr<ImageSprite> glow_;
  SpriteEffectList* glowEffects_ = nullptr;
  u32 glowAlpha_ = 0xFF;
};

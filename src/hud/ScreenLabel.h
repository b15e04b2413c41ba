// ScreenLabel - a flying label of the level: a small icon with a signed
// number (or a ready text) that rises from, or sinks into, a point of the
// map when money is earned or goods are stored or used. It belongs to the
// level's screen-sprite list, which steps and draws it after the sprites and
// deletes it once its effects have ended. Labels always keep their pixel
// size, whatever the zoom of the level view.
//
// Rising: up 100 units (less endOffset) over 2 s, fading out over the last
// half second, popping in as it starts. Sinking: fades in over 200 ms while
// it falls from 50 units above (less endOffset) over 1 s, shrinking to
// nothing over the last 200 ms.
#pragma once

#include <memory>

#include "base/Types.h"
#include "engine/DXLDrawTypes.h"
#include "resources/SpriteEffect.h"

class KGECustomText;
class ScreenSpriteList;
class Sprite;

class ScreenLabel {
 public:
  ScreenLabel(ScreenSpriteList* owner, float x, float y);  // joins the owner's labels
  ScreenLabel(const ScreenLabel&) = delete;
  ScreenLabel& operator=(const ScreenLabel&) = delete;
  ~ScreenLabel();  // leaves the owner's labels

  // A loaded sprite's frame as the icon (else no icon); an icon width below
  // 0 takes the sprite's. The shadow lies 2 pixels right and down.
  void SetIcon(Sprite* sprite, i32 frame, bool shadow, i32 iconWidth);
  // The value in a game font: "+5", "-3".
  void SetText(u32 font, i32 value, i32 gap, u32 color);
  // A ready text with a black outline, in a game font; its bracket tags
  // are the item descriptions' (an "[icon NAME]" shows a picture).
  void SetSpriteText(u32 font, const wchar* text, u32 color);
  void StartFly(bool rising, u32 delay, float endOffset);

  // Steps the effects with the transform at the anchor; false once they
  // have ended (the label is then dead).
  bool Update();
  void Draw();

  bool IsDead() const { return dead_ != 0; }
  float GetX() const { return x_; }  // the anchor
  float GetY() const { return y_; }
  i32 GetValue() const { return value_; }  // the number shown (0 for a ready text)
  bool IsRising() const { return rising_ != 0; }
  u32 GetDelay() const { return delay_; }
  float GetEndOffset() const { return endOffset_; }
  const DXLRECT& GetLayout() const { return layout_; }  // left, top, width, height
  Sprite* GetIcon() const { return icon_; }
  const DXLQUAD& GetIconQuad() const { return iconQuad_; }
  bool HasShadow() const { return shadow_ != nullptr; }
  const DXLQUAD* GetShadowQuad() const { return shadow_; }  // null without a shadow
  float GetIconX() const { return iconX_; }
  float GetIconY() const { return iconY_; }
  float GetTextX() const { return textX_; }
  float GetTextY() const { return textY_; }
  KGECustomText* GetText() const { return text_.get(); }
  u32 GetColor() const { return color_; }
  SpriteEffectList* GetEffects() const { return effects_; }

 private:
  void Layout();
  void ColorQuads();

  ScreenSpriteList* owner_;
  u8 dead_ = 0;
  float x_, y_;
  DXLRECT layout_{0, 0, 0, 0};
  Sprite* icon_ = nullptr;
  DXLQUAD iconQuad_{};
  DXLQUAD shadowQuad_{};
  DXLQUAD* shadow_ = nullptr;
  float iconX_ = 0.0f, iconY_ = 0.0f;
  i32 iconWidth_ = 0;
  std::unique_ptr<KGECustomText> text_;
  float textX_ = 0.0f, textY_ = 0.0f;
  i32 gap_ = 0;
  i32 value_ = 0;
  u8 rising_ = 0;
  u32 delay_ = 0;
  float endOffset_ = 0.0f;
  u32 color_ = 0xFF000000u;
  SpriteEffectList* effects_ = nullptr;
  DXLMATRIX drawTransform_{};
};

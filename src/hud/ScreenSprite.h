// ScreenSprite - one element of the level's head-up display (a marker, an
// icon, a progress line, a button) standing at a point of the level. It
// registers with the running level's screen-sprite list when made and leaves
// it when deleted; the list updates, draws and deletes it.
//
// Visibility runs through show and hide: Show makes it visible and, unless
// instant, fades, scales or pops it in (SEffect_SSShowHide); Hide runs the
// same backwards and leaves it invisible when the effect ends. A sprite
// marked to go when hidden disappears at its next draw (after any effect)
// and is deleted by the list's next update.
//
// Draw sets the viewer's transform to the level view moved to the anchor
// (with keepSize and the view zoomed out, at the game area's own scale so
// the sprite keeps its pixel size), steps the effects and tells whether the
// kind is to draw its parts; when an effect drove the alpha (effectAlpha),
// the kind copies GetAlpha into its parts' vertex colours.
#pragma once

#include "base/Types.h"
#include "engine/DXLDrawTypes.h"
#include "resources/SpriteEffect.h"

class ScreenSpriteList;

// Show and hide styles.
constexpr u32 kShowFade = 1;
constexpr u32 kShowScale = 2;
constexpr u32 kShowPop = 4;

constexpr u32 kShowSettled = 0;
constexpr u32 kShowShowing = 1;
constexpr u32 kShowHiding = 2;

class ScreenSprite {
 public:
  ScreenSprite(i32 x, i32 y);
  ScreenSprite(const ScreenSprite&) = delete;
  ScreenSprite& operator=(const ScreenSprite&) = delete;

  virtual void OnShowChanged() {}
  virtual ~ScreenSprite();  // deletes the effects, leaves the list
  virtual void SetKeepSize(bool keep) { keepSize_ = keep ? 1 : 0; }
  // After the level view changed size.
  virtual void Relayout() {}
  // Prepares the transform and steps the effects; true when the parts are to be drawn.
  virtual bool Draw();
  virtual void DrawContent() = 0;
  virtual void Update() {}  // once per frame

  void Show(bool instant, u32 delay, u32 style, u32 duration);
  void Hide(bool removeWhenHidden, bool instant, u32 delay, u32 style, u32 duration);
  void AddEffect(SpriteEffect* effect);
  // Moves the picture from its anchor (icons that share a place).
  void SetOffset(i32 dx, i32 dy) {
    offsetX_ = dx;
    offsetY_ = dy;
  }
  // The hit rectangle's corners on the screen.
  void GetScreenRect(DXLRECT* out) const;
  // keepSize while the level view is zoomed out.
  bool IsScaledDown() const;
  // What the list calls to draw the sprite.
  void Render();

  ScreenSpriteList* GetOwnerList() const { return owner_; }
  bool IsVisible() const { return visible_ != 0; }
  bool IsRemoveWhenHidden() const { return removeWhenHidden_ != 0; }
  void SetRemoveWhenHidden() { removeWhenHidden_ = 1; }
  u32 GetShowState() const { return showState_; }
  i32 GetX() const { return x_; }
  i32 GetY() const { return y_; }
  i32 GetOffsetX() const { return offsetX_; }
  i32 GetOffsetY() const { return offsetY_; }
  const DXLRECT& GetRect() const { return rect_; }
  SpriteEffectList* GetEffects() const { return effects_; }
  const DXLMATRIX& GetDrawTransform() const { return drawTransform_; }
  u32 GetAlpha() const { return color_ & 0xFF000000u; }
  bool IsEffectAlphaActive() const { return effectAlphaActive_ != 0; }
  bool GetKeepSize() const { return keepSize_ != 0; }

 protected:
  // Writes the sprite's alpha into the quad's vertices (RGB kept).
  void ApplyAlpha(DXLQUAD* quad) const;
  // A length in pixels as level units: divided by the view scale (rounded
  // up) while scaled down, else as it is.
  i32 ScaledLength(i32 pixels) const;
  // Stands `lift` pixels above (baseX, baseY), never above level y 32, with
  // the hit rectangle of the given half sizes centred there; then moves up
  // out of the level panel's way (KeepAbovePanel).
  void StandAbove(i32 baseX, i32 baseY, i32 lift, i32 halfWidth, i32 halfHeight);
  // When the screen rectangle, shrunk by 8 on each side, meets the level
  // panel, moves the sprite so its top comes 8 pixels above the panel's line.
  void KeepAbovePanel();

  u32 keepSize_ = 0;
  ScreenSpriteList* owner_ = nullptr;
  u32 visible_ = 0;
  u32 removeWhenHidden_ = 0;
  u32 showState_ = kShowSettled;
  i32 x_, y_;
  i32 offsetX_ = 0, offsetY_ = 0;
  DXLRECT rect_;
  SpriteEffectList* effects_ = nullptr;
  DXLMATRIX drawTransform_{};
  u32 color_ = 0xFF000000u;
  u32 effectAlphaActive_ = 0;
};

// Shows or hides a screen sprite: fades (style bit 0), scales (bit 1) or
// pops (bit 2: grows to 1.25 at three quarters of the way, then settles at
// 1), forwards when showing, backwards when hiding.
class SEffect_SSShowHide : public SpriteEffect {
 public:
  SEffect_SSShowHide(bool hide, u32 style, u32 delay, u32 duration, bool removeWhenDone);
  SpriteEffect* Clone() const override;
  bool Step() override;
  // The scale of the pop at v (0..1 of the way in).
  static float PopScale(float v);
  bool IsHide() const { return hide_ != 0; }
  u32 GetStyle() const { return style_; }

 private:
  u8 hide_;
  u32 style_;
  u32 startDelay_;
};

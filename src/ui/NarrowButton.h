// NarrowButton - a button on the narrow skin of the level sheet (four
// frames of 62 x 42, caps of 10) that drops in with a show effect and
// leaves with a hide effect. It ignores the mouse from Show until its show
// effect ends, and is no longer drawn once its hide effect ends; its owner
// then deletes it (IsDone).
//
// Show takes the three values of the window show effect: the offset at
// which the button starts (out of sight), the duration and the delay in ms;
// Hide runs the matching lift-out with the same offset and duration.
#pragma once

#include "ui/ImageButton.h"

class SpriteEffectList;

class NarrowButton : public ImageButton {
 public:
  // Into the parent's own controls at (0, 0). plain: a caption in game font
  // 1 with state colours; otherwise game font 3 with a blue outline.
  NarrowButton(GameWindow* parent, u32 id, i32 width, const wchar* text, bool plain);
  ~NarrowButton() override;

  bool BeginDraw() override;

  using ImageButton::Show;  // the state's visibility
  void Show(float distance, u32 duration, u32 delay);  // nothing while hiding
  void Hide();                                         // nothing while hiding
  // Hiding and its effect has ended.
  bool IsDone() const { return hiding_ != 0 && !effects_; }
  bool IsHiding() const { return hiding_ != 0; }
  SpriteEffectList* GetEffects() const { return effects_; }

 private:
  SpriteEffectList* effects_ = nullptr;  // owned
  u32 hiding_ = 0;
  float showDistance_ = 0.0f;
  u32 showDuration_ = 0;
};

#include "ui/ActiveButton.h"

#include "ui/GameWindow.h"
#include "ui/WindowManager.h"

void ActiveButton::TakeEvent() {
  if (WindowManager* manager = GetWindowManager()) manager->SetEventControl(this);
}

bool ActiveButton::OnMouseDown(i32 x, i32 y, u32 button, u32 /*keys*/) {
  if (locked_ || !HitTest(x, y)) return false;
  TakeEvent();
  pressed_ = 1;
  doubleClicked_ = 0;
  if (!IsEnabled() || button != kMouseLeft) return true;
  SetState(kStatePressed, true, fadeInTime_);
  return true;
}

bool ActiveButton::OnMouseMove(i32 x, i32 y, u32 /*buttons*/, u32 /*keys*/) {
  if (locked_) return false;
  bool hit;
  if (parent_ && parent_->State().GetEnableBits() >= kStatePressed) {
    if (!pressed_) return false;
    hit = true;
  } else {
    hit = HitTest(x, y);
  }
  const u32 base = state_.GetEnableBits();
  if (hit) {
    TakeEvent();
    if (base == kStateNormal) SetState(kStateHover, false, fadeInTime_);
  } else if (base == kStateHover) {
    SetState(kStateNormal, false, fadeOutTime_);
  }
  return hit;
}

// The click comes before the button settles; when its handler deleted the
// button, nothing more is done with it.
bool ActiveButton::OnMouseUp(i32 x, i32 y, u32 button, u32 /*keys*/) {
  if (locked_ || button != kMouseLeft) return false;
  const bool hit = HitTest(x, y);
  if (hit) TakeEvent();
  if (!pressed_ && !doubleClicked_) return false;
  if (hit && state_.GetEnableBits() == kStatePressed && pressed_) {
    LifeGuard guard(lifetime_);
    Click();
    if (!guard.Alive()) return hit;
  }
  if (state_.GetEnableBits() == kStatePressed) SetState(hit ? kStateHover : kStateNormal, false, fadeInTime_);
  pressed_ = 0;
  doubleClicked_ = 0;
  return hit;
}

bool ActiveButton::OnDoubleClick(i32 x, i32 y, u32 keys) {
  if (!doubleClickEnabled_) return OnMouseDown(x, y, kMouseLeft, keys);
  if (locked_ || !HitTest(x, y)) return false;
  TakeEvent();
  doubleClicked_ = 1;
  if (IsEnabled()) {
    SetState(kStatePressed, true, fadeInTime_);
    if (parent_) parent_->OnControlPress(this);
  }
  return true;
}

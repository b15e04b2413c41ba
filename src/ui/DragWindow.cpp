#include "ui/DragWindow.h"

#include <algorithm>
#include <cmath>

#include "resources/CurrentLevel.h"
#include "resources/ResourceServices.h"
#include "resources/SpriteEffect.h"
#include "resources/TutorialHooks.h"
#include "ui/WindowEffects.h"

namespace {

// The level while the application runs one.
CurrentLevel* RunningLevel() {
  ResourceServices& services = GetResourceServices();
  return services.appState == kGameStateLevel ? services.level : nullptr;
}

// One axis of a drag step: off the screen the window goes to the edge; back
// on it, it follows the pointer's travel, from the edge when the last step
// was off the screen.
i32 DragAxis(i32 at, i32 pointer, i32 last, i32 limit) {
  if (pointer < 0) return 0;
  if (pointer >= limit) return limit;
  if (last < 0) return at + pointer;
  if (last >= limit) return at + 1 + (pointer - limit);
  return at + (pointer - last);
}

}  // namespace

DragWindow::DragWindow(u32 id, bool modal) : GameWindow(id, modal) {
  if (CurrentLevel* level = RunningLevel()) level->OnWindowOpened(id);
}

DragWindow::~DragWindow() {
  Unregister();
  if (CurrentLevel* level = RunningLevel()) level->OnWindowClosed(id_);
}

bool DragWindow::InTitle(i32 x, i32 y) const {
  return kis::PointInRectXY(x, y, titleRect_.left, titleRect_.top, titleRect_.right, titleRect_.bottom);
}

bool DragWindow::GrabTitle(i32 x, i32 y, u32 button) {
  if (button != kMouseLeft || !InTitle(x, y) || titleState_.GetEnableBits() == kStateHidden) return false;
  if (!TutorialAllowAction(kTutorialActionTitle, id_, this)) return false;
  titleState_.SetState(kStatePressed, true, 0);
  dragX_ = x + rect_.left;
  dragY_ = y + rect_.top;
  return true;
}

bool DragWindow::OnMouseDown(i32 x, i32 y, u32 button, u32 keys) {
  if (GrabTitle(x, y, button)) return true;
  return GameWindow::OnMouseDown(x, y, button, keys);
}

bool DragWindow::OnDoubleClick(i32 x, i32 y, u32 button) {
  GrabTitle(x, y, kMouseLeft);
  return GameWindow::OnDoubleClick(x, y, button);
}

void DragWindow::OnMouseMove(i32 x, i32 y, u32 buttons, u32 keys) {
  const u32 title = titleState_.GetEnableBits();
  const bool over = title == kStatePressed || (!(buttons & kMouseLeft) && InTitle(x, y));
  const bool hovered = over && TutorialAllowAction(kTutorialActionTitle, id_, this);
  if (hovered && title == kStateNormal) {
    titleState_.SetState(kStateHover, false, kTitleFadeIn);
  } else if (!hovered && title == kStateHover) {
    titleState_.SetState(kStateNormal, false, kTitleFadeOut);
  } else if (title == kStatePressed) {
    DragTo(x + rect_.left, y + rect_.top);
  }
  GameWindow::OnMouseMove(x, y, buttons, keys);
}

void DragWindow::OnMouseUp(i32 x, i32 y, u32 button, u32 keys) {
  if (button == kMouseLeft && titleState_.GetEnableBits() == kStatePressed) {
    if (InTitle(x, y) && TutorialAllowAction(kTutorialActionTitle, id_, this)) {
      titleState_.SetState(kStateHover, false, kTitleFadeIn);
    } else {
      titleState_.SetState(kStateNormal, false, kTitleFadeOut);
    }
  }
  GameWindow::OnMouseUp(x, y, button, keys);
}

bool DragWindow::SetActive(u32 state) {
  const bool changed = GameWindow::SetActive(state);
  if (changed && (state & kStateBaseMask) < kStatePressed && titleState_.GetEnableBits() == kStatePressed)
    titleState_.SetState(kStateNormal, false, kTitleFadeOut);
  return changed;
}

u32 DragWindow::GetCursor() {
  switch (titleState_.GetEnableBits()) {
    case kStateHover:
      return kCursorPan;
    case kStatePressed:
      return kCursorPanOn;
    default:
      return GameWindow::GetCursor();
  }
}

void DragWindow::GetDefaultPos(i32* x, i32* y) const {
  const GAMESCREENAREA& screen = GetResourceServices().screen;
  const i32 top = (screen.height - height_) / 2 - 20;
  if (x) *x = (screen.width - width_) / 2;
  if (y) *y = top < 1 ? 0 : top;
}

void DragWindow::ClampToScreen() {
  const GAMESCREENAREA& screen = GetResourceServices().screen;
  x_ = std::min(std::max(x_, 0), screen.width + kScreenSlack - width_);
  y_ = std::min(std::max(y_, 0), screen.height + kScreenSlack - height_);
  rect_ = DXLRECT{x_, y_, x_ + width_, y_ + height_};
}

void DragWindow::DragTo(i32 px, i32 py) {
  const GAMESCREENAREA& screen = GetResourceServices().screen;
  x_ = DragAxis(x_, px, dragX_, screen.width + kScreenSlack);
  y_ = DragAxis(y_, py, dragY_, screen.height + kScreenSlack);
  ClampToScreen();
  dragX_ = px;
  dragY_ = py;
  moved_ = 1;
}

void DragWindow::OnScreenResize() {
  if (!moved_) GetDefaultPos(&x_, &y_);
  ClampToScreen();
}

// A lift-out that interrupts a drop-in starts where the drop-in had got to:
// the share of the show already run is the share of the hide still to run.
void DragWindow::Close() {
  if (closing_) return;
  const SpriteEffect* first = effects_ ? effects_->Get(0) : nullptr;
  const u32 shown = first ? static_cast<u32>(std::floor(kHideTime * first->GetProgress() + 0.5f)) : 0;
  DeleteSpriteEffects(&effects_);
  auto* hide = new SEffect_HideWindow(-static_cast<float>(y_ + height_), kHideTime, 0);
  AddEffect(hide);
  if (shown != 0) hide->SetElapsed(kHideTime - shown);
  closing_ = 1;
}

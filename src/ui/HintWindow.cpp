#include "ui/HintWindow.h"

#include <algorithm>

#include "resources/ResourceServices.h"
#include "ui/GameHint.h"
#include "ui/WindowManager.h"

// An owner has one balloon: one it had goes first (hidden, its hint let
// go), or it would stay on the screen owned by no one.
HintWindow::HintWindow(GameHint* owner) : owner_(owner) {
  if (!owner_) return;
  delete owner_->hintWindow_;
  owner_->hintWindow_ = this;
}

HintWindow::~HintWindow() {
  if (owner_) {
    if (owner_->hintWindow_ == this) owner_->hintWindow_ = nullptr;
    owner_->ReleaseHint();
  }
  Hide();
}

void HintWindow::Relayout(u32 /*flags*/) {
  Measure();
  Place();
}

void HintWindow::Show() {
  WindowManager* manager = GetWindowManager();
  if (shown_ || !manager) return;
  shown_ = 1;
  manager->HintWindows().Add(this);
}

void HintWindow::Hide() {
  if (!shown_) return;
  shown_ = 0;
  if (WindowManager* manager = GetWindowManager()) manager->HintWindows().Remove(this);
}

void HintWindow::SetFrame(i32 left, i32 top, i32 right, i32 bottom, u32 alignX, u32 alignY) {
  anchor_ = DXLRECT{left, top, right, bottom};
  alignX_ = alignX;
  alignY_ = alignY;
}

namespace {

// Where a window of `size` starts on one axis next to [start, end).
i32 Start(i32 start, i32 end, i32 size, u32 align) {
  switch (align) {
    case 0:
      return start - size;
    case 1:
      return (start + end) / 2 - (size + 1) / 2;
    default:
      return end;
  }
}

// One axis: the placement, flipped when it leaves the area [low, high) (a
// part of the screen) on the side it opens to, then pushed inside the area.
i32 PlaceAxis(i32 start, i32 end, i32 size, u32 align, i32 low, i32 high) {
  i32 at = Start(start, end, size, align);
  if (align == 0 && at < low) {
    at = Start(start, end, size, 2);
  } else if (align != 0 && align != 1 && at + size > high) {
    at = Start(start, end, size, 0);
  }
  if (at < low) {
    at = low;
  } else if (at + size > high) {
    at = high - size;
  }
  return at;
}

}  // namespace

void HintWindow::Place() {
  const GAMESCREENAREA& screen = GetResourceServices().screen;
  DXLRECT area{0, 0, screen.width, screen.height};
  if (hasArea_)
    area = DXLRECT{std::max(area_.left, 0), std::max(area_.top, 0), std::min(area_.right, screen.width),
                   std::min(area_.bottom, screen.height)};
  posX_ = static_cast<float>(PlaceAxis(anchor_.left, anchor_.right, width_, alignX_, area.left, area.right));
  posY_ = static_cast<float>(PlaceAxis(anchor_.top, anchor_.bottom, height_, alignY_, area.top, area.bottom));
}

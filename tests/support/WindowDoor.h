// The mouse as the game hands it to its windows: every event goes through
// the window manager's entry points in game coordinates, and the window is
// placed away from the screen's corner first (kAwayX, kAwayY), so that a
// handler that turns a point into window coordinates twice, or not at all,
// misses what it aims at instead of hiding at (0, 0).
//
// A double click is what the mouse sends: press, release, double click (in
// place of the second press), release.
#pragma once

#include "base/Maths.h"
#include "engine/DXLMouse.h"
#include "engine/DXLTexture.h"
#include "resources/ResourceServices.h"
#include "ui/DragWindow.h"
#include "ui/GameButton.h"
#include "ui/GameWindow.h"
#include "ui/WindowManager.h"

namespace testsupport {

constexpr i32 kAwayX = 137;
constexpr i32 kAwayY = 91;

namespace windowdoor {

// Reaches the place a window keeps without a setter of its own: the game
// moves windows only by their titles or by the screen's size.
struct PlaceAccess : DragWindow {
  static void Place(GameWindow& w, i32 x, i32 y) {
    if (auto* drag = dynamic_cast<DragWindow*>(&w)) {
      drag->*(&PlaceAccess::x_) = x;
      drag->*(&PlaceAccess::y_) = y;
      drag->*(&PlaceAccess::moved_) = 1;  // kept there when the screen changes
      drag->ClampToScreen();
      return;
    }
    DXLRECT& r = w.*(&PlaceAccess::rect_);
    r = DXLRECT{x, y, x + (r.right - r.left), y + (r.bottom - r.top)};
  }
};

}  // namespace windowdoor

// An interface picture installed for the scope: the toolkit's buttons
// (close, sell, check boxes) are as big as their pieces of it once it is
// there, and without it no click lands on one. Nothing is loaded into it:
// the tests that use it read no pixels of those buttons.
class InterfacePicture {
 public:
  InterfacePicture() { GetResourceServices().interfaceImage = &texture_; }
  ~InterfacePicture() {
    if (GetResourceServices().interfaceImage == &texture_) GetResourceServices().interfaceImage = nullptr;
  }
  InterfacePicture(const InterfacePicture&) = delete;
  InterfacePicture& operator=(const InterfacePicture&) = delete;

 private:
  DXLTexture texture_;
};

// The window's top left corner at (x, y) of the game screen, its size kept.
inline void PlaceWindow(GameWindow& w, i32 x = kAwayX, i32 y = kAwayY) { windowdoor::PlaceAccess::Place(w, x, y); }

// Runs the window's effects (its drop-in) to their end on the game clock: a
// window with effects running takes no mouse.
inline void Settle(GameWindow& w) {
  for (int i = 0; i < 1000 && w.GetEffects(); ++i) {
    GetResourceServices().clock += 10;
    w.UpdateEffects();
  }
}

// A point of the window's own coordinates on the game screen.
inline kis::IntPoint OnScreen(const GameWindow& w, i32 x, i32 y) {
  kis::IntPoint p{};
  w.ClientToScreen(&p, x, y);
  return p;
}

// The middle of a control on the game screen (its rectangle is in its
// window's coordinates).
inline kis::IntPoint MiddleOf(const GameButton& b) {
  const DXLRECT& r = b.GetRect();
  return OnScreen(*b.GetParent(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

inline void ClickAt(WindowManager& m, kis::IntPoint p, u32 button = kMouseLeft, u32 keys = 0) {
  m.OnMouseMove(p.x, p.y, 0, keys);
  m.OnMouseDown(p.x, p.y, button, keys);
  m.OnMouseUp(p.x, p.y, button, keys);
}

inline void DoubleClickAt(WindowManager& m, kis::IntPoint p) {
  ClickAt(m, p);
  m.OnDoubleClick(p.x, p.y, kMouseLeft);
  m.OnMouseUp(p.x, p.y, kMouseLeft, 0);
}

// Pressed at `from`, moved to `to` with the left button held, released there.
inline void DragFromTo(WindowManager& m, kis::IntPoint from, kis::IntPoint to) {
  m.OnMouseMove(from.x, from.y, 0, 0);
  m.OnMouseDown(from.x, from.y, kMouseLeft, 0);
  m.OnMouseMove(to.x, to.y, kMouseLeft, 0);
  m.OnMouseUp(to.x, to.y, kMouseLeft, 0);
}

inline void Click(WindowManager& m, const GameButton& b) { ClickAt(m, MiddleOf(b)); }
inline void DoubleClick(WindowManager& m, const GameButton& b) { DoubleClickAt(m, MiddleOf(b)); }

// True when the pointer moved over the control's middle makes it the
// control the manager holds as hovered (and so the one a hint belongs to).
inline bool HoversAt(WindowManager& m, const GameButton& b) {
  const kis::IntPoint p = MiddleOf(b);
  m.OnMouseMove(p.x, p.y, 0, 0);
  return m.GetHoverControl() == &b;
}

}  // namespace testsupport

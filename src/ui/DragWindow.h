// DragWindow - a window with a size and a place that the user moves by its
// title rectangle: centred on the game screen by default, kept on it (up to
// 4 pixels past the right and bottom edges), re-centred when the screen size
// changes until the user has moved it, and closed with a 200 ms lift-out
// that starts where an unfinished drop-in had got to. The window manager
// deletes a closed window once its effect has ended.
//
// The title's own state: 1 normal, 2 the pointer over it (the pan cursor),
// 3 dragging (the pressed pan cursor). The running tutorial is asked before
// every title action. While a level runs, the level is told when the window
// opens and when it goes.
#pragma once

#include "ui/GameWindow.h"

class DragWindow : public GameWindow {
 public:
  static constexpr u32 kHideTime = 200;    // ms of the lift-out
  static constexpr u32 kTitleFadeIn = 100;
  static constexpr u32 kTitleFadeOut = 500;
  static constexpr i32 kScreenSlack = 4;   // pixels a window may reach past the screen

  DragWindow(u32 id, bool modal);
  ~DragWindow() override;

  bool OnMouseDown(i32 x, i32 y, u32 button, u32 keys) override;
  void OnMouseMove(i32 x, i32 y, u32 buttons, u32 keys) override;
  void OnMouseUp(i32 x, i32 y, u32 button, u32 keys) override;
  bool OnDoubleClick(i32 x, i32 y, u32 button) override;
  bool SetActive(u32 state) override;
  void OnScreenResize() override;
  u32 GetCursor() override;

  // Centred on the game screen, 20 pixels high of the middle (not above 0).
  virtual void GetDefaultPos(i32* x, i32* y) const;
  // Starts the lift-out (nothing when closing already); from then on the
  // window is busy.
  virtual void Close();

  // Keeps the place within the screen and sets the rectangle from it.
  void ClampToScreen();

  const DXLRECT& GetTitleRect() const { return titleRect_; }
  i32 GetWidth() const { return width_; }
  i32 GetHeight() const { return height_; }
  i32 GetX() const { return x_; }
  i32 GetY() const { return y_; }
  ControlState& TitleState() { return titleState_; }
  const ControlState& TitleState() const { return titleState_; }
  bool IsMoved() const { return moved_ != 0; }

 protected:
  // A press on the title (or a double click) that starts a drag; false when
  // the title is not there, off, or refused.
  bool GrabTitle(i32 x, i32 y, u32 button);
  bool InTitle(i32 x, i32 y) const;
  // One drag step to the pointer (game coordinates).
  void DragTo(i32 px, i32 py);

  DXLRECT titleRect_{0, 0, 0, 0};
  i32 width_ = 0;
  i32 height_ = 0;
  i32 x_ = 0;
  i32 y_ = 0;
  ControlState titleState_;
  i32 dragX_ = 0;
  i32 dragY_ = 0;
  u8 moved_ = 0;
};

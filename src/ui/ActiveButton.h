// ActiveButton - the mouse of every concrete button. A left press on the
// button shows it pressed at once; moving onto it fades it to hover over its
// fade-in time and off it back to normal over its fade-out time; a left
// release on it after a press clicks and fades it back to hover (or to
// normal when released outside, with no click). A press with another mouse
// button marks the press but changes nothing. Disabled buttons take presses
// (they become the event control) but never change or click. While the
// button's window is dragged, only a pressed button keeps its hover.
//
// A double click acts as a second press, unless double clicks are enabled:
// then it shows the button pressed and tells the window (OnControlPress),
// and its release never clicks.
#pragma once

#include "ui/GameButton.h"

class ActiveButton : public GameButton {
 public:
  ActiveButton(GameWindow* parent, ButtonList* buttonList, u32 id) : GameButton(parent, buttonList, id) {}

  bool OnMouseDown(i32 x, i32 y, u32 button, u32 keys) override;
  bool OnMouseMove(i32 x, i32 y, u32 buttons, u32 keys) override;
  bool OnMouseUp(i32 x, i32 y, u32 button, u32 keys) override;
  bool OnDoubleClick(i32 x, i32 y, u32 keys) override;

 protected:
  void TakeEvent();  // becomes the window manager's event control
};

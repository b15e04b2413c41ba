// GameControls - an owning group of buttons that a window, or a panel shown
// inside a window, offers mouse events to. Buttons are kept in drawing order
// (the last is the top); events go from the last to the first, and only to
// buttons the running tutorial lets the player use. A press or a double
// click stops at the first button that takes it; moves and releases reach
// every button.
//
// A button's handler may delete buttons of the group, or the group itself
// (with its window): the walk goes on with the buttons still there and ends
// when the group is gone.
#pragma once

#include "base/Types.h"
#include "engine/DXLDrawTypes.h"
#include "ui/GameButton.h"
#include "ui/LifeGuard.h"

class GameControls : public ButtonList {
 public:
  GameControls() = default;
  ~GameControls() override;  // deletes its buttons

  bool OnMouseDown(i32 x, i32 y, u32 button, u32 keys);
  bool OnDoubleClick(i32 x, i32 y, u32 button);
  void OnMouseMove(i32 x, i32 y, u32 buttons, u32 keys);
  void OnMouseUp(i32 x, i32 y, u32 button, u32 keys);
  // The last button with the id and, unless tag is 0, the tag; null for none.
  GameButton* FindControl(u32 id, i32 tag) const;
  // Every button from the first to the last, each under `transform`.
  void Draw(const DXLMATRIX& transform);
  void Update() {}
  void DeleteAll();  // deletes every button

 private:
  enum class Event { Down, DoubleClick, Move, Up };
  // Offers the event from the last button down; a press or double click
  // stops at the first taker. True when one took it.
  bool Offer(Event event, i32 x, i32 y, u32 button, u32 keys);

  Lifetime lifetime_;
};

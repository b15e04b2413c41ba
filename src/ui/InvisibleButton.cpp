#include "ui/InvisibleButton.h"

InvisibleButton::InvisibleButton(GameWindow* parent, ButtonList* buttonList, u32 id, i32 x, i32 y, i32 width,
                                 i32 height)
    : ActiveButton(parent, buttonList, id), width_(width), height_(height), x_(x), y_(y) {
  rect_ = DXLRECT{x, y, x + width, y + height};
  cursorId_ = kCursorNone;
  soundId_ = 0;
}

void InvisibleButton::SetPosition(i32 x, i32 y) {
  x_ = x;
  y_ = y;
  rect_ = DXLRECT{x, y, x + width_, y + height_};
}

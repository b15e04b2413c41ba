// InvisibleButton - a click area without any drawing: no cursor of its own
// and no click sound.
#pragma once

#include "ui/ActiveButton.h"

class InvisibleButton : public ActiveButton {
 public:
  InvisibleButton(GameWindow* parent, ButtonList* buttonList, u32 id, i32 x, i32 y, i32 width, i32 height);

  void Draw() override {}
  virtual void SetPosition(i32 x, i32 y);  // the area moves with it

  i32 GetWidth() const { return width_; }
  i32 GetHeight() const { return height_; }
  i32 GetX() const { return x_; }
  i32 GetY() const { return y_; }

 private:
  i32 width_;
  i32 height_;
  i32 x_;
  i32 y_;
};

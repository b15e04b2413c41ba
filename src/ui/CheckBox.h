// CheckBox - a 32 x 32 box of the interface image in eight frames (the four
// states unchecked, then checked) with its caption to the right of it. The
// owner checks it through SetFlag; it never takes part in radio groups. The
// caption (with its gap and paddings) is part of the hit area, unless a
// fixed width is given.
#pragma once

#include "ui/ImageButton.h"

class CheckBox : public ImageButton {
 public:
  // fixedWidth above 0 fixes the width of the hit area.
  CheckBox(GameWindow* parent, ButtonList* buttonList, u32 id, i32 x, i32 y, i32 fixedWidth);

  // The box, then the caption after the gap (and the left padding while the
  // caption may shrink).
  void LayoutContent() override;

  i32 GetBoxWidth() const { return boxWidth_; }
  i32 GetBoxHeight() const { return boxHeight_; }

 private:
  i32 boxWidth_;
  i32 boxHeight_;
  i32 fixedWidth_;
};

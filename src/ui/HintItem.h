// HintItem - one piece of a hint window's content: a rectangle in the
// window's item coordinates that measures itself, takes the window's alpha
// and draws itself at its place under the transform the window prepared.
// An item joins its window's item list as it is made (the window then owns
// it) and leaves it as it goes. The kinds: a text (HIText), a picture
// (HISprite) and a separator line (HILine).
#pragma once

#include "base/Types.h"
#include "engine/DXLRect.h"

class BaseHintWindow;

class HintItem {
 public:
  explicit HintItem(BaseHintWindow* owner);
  HintItem(const HintItem&) = delete;
  HintItem& operator=(const HintItem&) = delete;
  virtual ~HintItem();

  // Stores place and size (a size below 1 is 0); kinds take -1 as their
  // natural size.
  virtual void SetRect(i32 x, i32 y, i32 width, i32 height);
  virtual void SetAlpha(u32 alpha) = 0;  // the top byte of an ARGB value
  virtual void Draw() = 0;               // at its place, relative to the current transform

  void SetPos(i32 x, i32 y) { SetRect(x, y, width_, height_); }
  void SetSize(i32 width, i32 height) { SetRect(x_, y_, width, height); }
  // Grows the rectangle to cover the item (whatever either's size).
  void UniteBounds(DXLRECT* rect) const;
  // Places the item in the rectangle per axis: 0 at the start, 1 centred,
  // 2 at the end.
  void AlignIn(i32 left, i32 top, i32 right, i32 bottom, i32 alignX, i32 alignY);

  BaseHintWindow* GetOwner() const { return owner_; }
  i32 GetX() const { return x_; }
  i32 GetY() const { return y_; }
  i32 GetWidth() const { return width_; }
  i32 GetHeight() const { return height_; }
  const DXLRECT& GetRect() const { return rect_; }

 protected:
  // Moves the viewer's current transform to the item's place.
  void MoveToPlace() const;

  BaseHintWindow* owner_;
  i32 x_ = 0;
  i32 y_ = 0;
  i32 width_ = 0;
  i32 height_ = 0;
  DXLRECT rect_{0, 0, 0, 0};
  float posX_ = 0.0f;
  float posY_ = 0.0f;
};

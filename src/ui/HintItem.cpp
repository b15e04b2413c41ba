#include "ui/HintItem.h"

#include <algorithm>

#include "engine/DXLViewer.h"
#include "resources/ResourceServices.h"
#include "ui/BaseHintWindow.h"

HintItem::HintItem(BaseHintWindow* owner) : owner_(owner) {
  if (owner_) owner_->Items().Add(this);
}

HintItem::~HintItem() {
  if (owner_) owner_->Items().Remove(this);
}

void HintItem::SetRect(i32 x, i32 y, i32 width, i32 height) {
  x_ = x;
  y_ = y;
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  rect_ = DXLRECT{x_, y_, x_ + width_, y_ + height_};
  posX_ = static_cast<float>(x_);
  posY_ = static_cast<float>(y_);
}

void HintItem::UniteBounds(DXLRECT* rect) const {
  if (!rect) return;
  rect->left = std::min(rect->left, rect_.left);
  rect->top = std::min(rect->top, rect_.top);
  rect->right = std::max(rect->right, rect_.right);
  rect->bottom = std::max(rect->bottom, rect_.bottom);
}

namespace {

i32 Align(i32 start, i32 end, i32 size, i32 align) {
  switch (align) {
    case 0:
      return start;
    case 1:
      return start + (end - start - size) / 2;
    default:
      return end - size;
  }
}

}  // namespace

void HintItem::AlignIn(i32 left, i32 top, i32 right, i32 bottom, i32 alignX, i32 alignY) {
  SetPos(Align(left, right, width_, alignX), Align(top, bottom, height_, alignY));
}

void HintItem::MoveToPlace() const {
  if (DXLViewer* viewer = GetGameViewer()) viewer->Translate(posX_, posY_);
}

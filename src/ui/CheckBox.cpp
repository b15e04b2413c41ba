#include "ui/CheckBox.h"

#include <algorithm>

#include "gametext/KGEBaseTextSprite.h"
#include "ui/SkinTable.h"

CheckBox::CheckBox(GameWindow* parent, ButtonList* buttonList, u32 id, i32 x, i32 y, i32 fixedWidth)
    : ImageButton(parent, buttonList, id, SkinOf(skins::kCheckBox, kInterfaceImage), -1, skins::kCheckBox.Vertical(),
                  static_cast<i32>(skins::kCheckBox.frames), skins::kCheckBox.Gap(), x, y, nullptr),
      boxWidth_(width_),
      boxHeight_(height_),
      fixedWidth_(fixedWidth) {
  if (fixedWidth_ > 0) {
    width_ = fixedWidth_;
    SetPosition(x_, y_);
  }
  state_.EnableFlag(true);
  group_ = -1;
}

void CheckBox::LayoutContent() {
  width_ = boxWidth_;
  height_ = boxHeight_;
  if (caption_) {
    width_ = boxWidth_ + gap_;
    captionX_ = static_cast<float>(width_);
    captionY_ = static_cast<float>((height_ - caption_->GetHeight()) / 2);
    lastCaptionColour_ = 0xFFFFFFFFu;
    if (!noShrink_) {
      width_ += padLeft_ + padRight_;
      captionX_ += static_cast<float>(padLeft_);
    }
    width_ += caption_->GetWidth();
  }
  width_ = fixedWidth_ > 0 ? fixedWidth_ : std::max(width_, boxWidth_);
  rect_ = DXLRECT{x_, y_, x_ + width_, y_ + height_};
}

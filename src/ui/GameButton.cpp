#include "ui/GameButton.h"

#include "base/Maths.h"
#include "resources/SoundSettings.h"
#include "ui/WindowManager.h"

GameButton::GameButton(GameWindow* parent, ButtonList* buttonList, u32 id)
    : parent_(parent), id_(id), soundId_(GetStandardSound(kSoundClick)) {
  SetButtonList(buttonList);
}

GameButton::~GameButton() {
  if (loopChannel_ != 0) GetSoundSettings().StopSound(loopChannel_);
  SetButtonList(nullptr);
  ReleaseHint();
  if (WindowManager* manager = GetWindowManager()) manager->ForgetControl(this);
}

void GameButton::SetButtonList(ButtonList* list) {
  if (list == buttonList_) return;
  if (buttonList_) buttonList_->Remove(this);
  buttonList_ = list;
  if (buttonList_) buttonList_->Add(this);
}

bool GameButton::HitTest(i32 x, i32 y) const {
  return kis::PointInRectXY(x, y, rect_.left, rect_.top, rect_.right, rect_.bottom);
}

u32 GameButton::GetCursorId() const { return IsEnabled() ? cursorId_ : kCursorArrow; }

void GameButton::PlayClickSound() { GetSoundSettings().PlaySound(soundId_, kSoundGroupClick, -1); }

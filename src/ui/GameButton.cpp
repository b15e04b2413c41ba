#include "ui/GameButton.h"

#include <vector>

#include "base/Maths.h"
#include "resources/SoundSettings.h"
#include "resources/StandardSounds.h"
#include "resources/TutorialHooks.h"
#include "ui/GameWindow.h"
#include "ui/HintWindow.h"
#include "ui/WindowManager.h"

// Each button reads the click sound when it is made rather than all taking
// the first button's: the standard sounds are filled when the sound data is
// read and cleared when the sound settings shut down, so a handle kept from
// a button made before (or in an earlier world: the tests build one a case)
// would be silence or a stale sample.
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

void GameButton::PlaceHint() {
  HintWindow* hint = GetHintWindow();
  if (!hint) return;
  DXLRECT r = rect_;
  if (parent_) {
    kis::IntPoint origin{};
    parent_->ClientToScreen(&origin, 0, 0);
    r.left += origin.x;
    r.right += origin.x;
    r.top += origin.y;
    r.bottom += origin.y;
  }
  hint->SetFrame(r.left - hintMargin_, r.top - hintMargin_, r.right + hintMargin_, r.bottom + hintMargin_,
                 hint->GetAlignX(), hint->GetAlignY());
}

// Everything the click does after the handler is done with what was read
// before it, or skipped, when the handler deleted the button; the tutorial
// then hears of the click without the button.
void GameButton::Click() {
  LifeGuard guard(lifetime_);
  GameWindow* parent = parent_;
  const u32 parentId = parent ? parent->GetId() : 0;
  const u32 sound = soundId_;
  u32 result = parent ? parent->OnCommand(this) : kCommandNothing;
  const bool alive = guard.Alive();
  if (result & kCommandSilent) {
    result &= ~kCommandSilent;
  } else if (alive) {
    PlayClickSound();
  } else {
    GetSoundSettings().PlaySound(sound, kSoundGroupClick, -1);
  }
  if (alive && result == kCommandRadio && group_ >= 0 && state_.IsFlagEnabled() && buttonList_) {
    const std::vector<GameButton*> others(buttonList_->Data(), buttonList_->Data() + buttonList_->GetCount());
    for (GameButton* other : others) {
      if (other == this || other->group_ != group_ || !other->state_.GetFlag() || other->locked_) continue;
      other->SetFlag(false, false, fadeInTime_);
    }
  }
  if (alive && result == kCommandRelease && state_.GetState() != kStateHidden)
    SetState(kStateNormal, false, fadeOutTime_);
  TutorialNotify(kTutorialEventClick, parentId, alive ? this : nullptr);
}

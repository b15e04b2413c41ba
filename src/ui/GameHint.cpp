#include "ui/GameHint.h"

#include "resources/ResourceServices.h"
#include "ui/HintWindow.h"
#include "ui/WindowManager.h"

GameHint::~GameHint() {
  ReleaseHint();
  delete hintWindow_;  // its destructor clears the slot
}

bool GameHint::IsHintOwner() const {
  const WindowManager* manager = GetWindowManager();
  return manager && manager->GetHintOwner() == this;
}

void GameHint::ShowHint() {
  WindowManager* manager = GetWindowManager();
  if (!hintWindow_ || !manager || manager->GetHintOwner() == this) return;
  if (GameHint* previous = manager->GetHintOwner()) previous->ReleaseHint();
  manager->SetHintOwner(this, kHintDelay, GameClock());
}

void GameHint::RefreshHint() {
  if (!hintWindow_) return;
  const u32 pending = pendingRefresh_;
  pendingRefresh_ = 0;
  hintWindow_->Relayout(pending);
}

void GameHint::ReleaseHint() {
  WindowManager* manager = GetWindowManager();
  if (!manager || manager->GetHintOwner() != this) return;
  manager->SetHintOwner(nullptr, manager->GetHintDelay(), manager->GetHintDelayStart());
  if (hintWindow_) hintWindow_->Hide();
}

void GameHint::SetHintEnabled(bool enabled) {
  const u32 value = enabled ? 1 : 0;
  if (value == enabled_) return;
  enabled_ = value;
  if (hintWindow_) hintWindow_->Hide();
}

// The delay counts from the manager's start time, which pointer moves push
// on; the window is placed and rebuilt just before it shows.
void GameHint::UpdateHint() {
  if (!hintWindow_) return;
  if (hintWindow_->IsShown()) {
    if (pendingRefresh_ != 0) RefreshHint();
    return;
  }
  const WindowManager* manager = GetWindowManager();
  if (!enabled_ || !manager) return;
  if (manager->GetHintDelay() > 0 && GameClock() - manager->GetHintDelayStart() <= manager->GetHintDelay()) return;
  PlaceHint();
  pendingRefresh_ |= refreshMask_;
  RefreshHint();
  if (hintWindow_) hintWindow_->Show();
}

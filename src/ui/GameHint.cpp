#include "ui/GameHint.h"

#include "resources/GameServices.h"
#include "ui/WindowManager.h"

GameHint::~GameHint() { ReleaseHint(); }

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
  if (hintWindow_) pendingRefresh_ = 0;
}

void GameHint::ReleaseHint() {
  WindowManager* manager = GetWindowManager();
  if (!manager || manager->GetHintOwner() != this) return;
  manager->SetHintOwner(nullptr, manager->GetHintDelay(), manager->GetHintDelayStart());
}

void GameHint::SetHintEnabled(bool enabled) {
  const u32 value = enabled ? 1 : 0;
  if (value == enabled_) return;
  enabled_ = value;
}

void GameHint::UpdateHint() {}

#include "tutorials/TutorialLayer.h"

#include <vector>

#include "engine/DXLMouse.h"
#include "resources/ResourceServices.h"
#include "tutorials/GameTutorial.h"
#include "tutorials/TutorialArrow.h"
#include "tutorials/TutorialInfo.h"
#include "tutorials/TutorialTargets.h"
#include "ui/WindowManager.h"
#include "windows/MenuWindow.h"

TutorialLayer::TutorialLayer(TutorialStep* step, u32 layerCode)
    : GameWindow(kTutorialWindowLayer, false), step_(step), tutorial_(step ? step->GetTutorial() : nullptr) {
  FitToScreen();
  if (step_) {
    delete step_->GetLayer();
    step_->SetLayer(this);
  }
  if (manager_) manager_->InsertWindowAfter(this, layerCode, kTutorialWindowLayer);
  if (tutorial_) tutorial_->Layers().Add(this);
}

TutorialLayer::~TutorialLayer() {
  Unregister();
  while (arrows_.GetCount() > 0) {
    TutorialArrow* arrow = arrows_.Last();
    arrows_.Delete(arrows_.GetCount() - 1);
    arrow->Forget();
    delete arrow;
  }
  while (texts_.GetCount() > 0) {
    TutorialInfo* text = texts_.Last();
    texts_.Delete(texts_.GetCount() - 1);
    text->Forget();
    delete text;
  }
  if (step_ && step_->GetLayer() == this) step_->SetLayer(nullptr);
  if (tutorial_) tutorial_->Layers().Remove(this);
}

void TutorialLayer::FitToScreen() {
  const GAMESCREENAREA& screen = GetResourceServices().screen;
  rect_ = DXLRECT{0, 0, screen.width, screen.height};
}

void TutorialLayer::SetState(u32 state) {
  if (state <= layerState_) return;
  if (state >= kLayerHiding && step_) {
    if (step_->GetLayer() == this) step_->SetLayer(nullptr);
    step_ = nullptr;
  }
  layerState_ = state;
  for (i32 i = 0; i < arrows_.GetCount(); ++i) arrows_.Get(i)->SetState(state);
  for (i32 i = 0; i < texts_.GetCount(); ++i) texts_.Get(i)->SetState(state);
  if (layerState_ >= kLayerHiding) clicks_ = 0;
}

void TutorialLayer::CatchClicks() {
  if (layerState_ < kLayerHiding && step_) ++clicks_;
}

TutorialArrow* TutorialLayer::FindArrow(u32 tag) const {
  for (i32 i = arrows_.GetCount() - 1; i >= 0; --i)
    if (arrows_.Get(i)->GetTag() == tag && arrows_.Get(i)->GetState() < kLayerHiding) return arrows_.Get(i);
  return nullptr;
}

void TutorialLayer::HideArrow(u32 tag) {
  if (TutorialArrow* arrow = FindArrow(tag)) arrow->SetState(kLayerHiding);
}

void TutorialLayer::ShowArrow(TutorialArrow* arrow) {
  if (arrow) arrow->SetState(kLayerShowing);
}

void TutorialLayer::MoveOn(u32 elapsed) {
  for (i32 i = 0; i < arrows_.GetCount(); ++i) {
    TutorialArrow* arrow = arrows_.Get(i);
    if (arrow->GetState() >= kLayerShowing && arrow->GetState() < kLayerGone) arrow->Update(elapsed);
  }
  for (i32 i = 0; i < texts_.GetCount(); ++i) texts_.Get(i)->OnLayerUpdate();
  if (layerState_ == kLayerHiding && arrows_.GetCount() == 0 && texts_.GetCount() == 0) layerState_ = kLayerGone;
}

void TutorialLayer::PlaceItems() {
  for (i32 i = 0; i < arrows_.GetCount(); ++i)
    if (arrows_.Get(i)->GetState() < kLayerGone) arrows_.Get(i)->UpdateTarget();
  for (i32 i = 0; i < texts_.GetCount(); ++i)
    if (texts_.Get(i)->GetState() < kLayerGone) texts_.Get(i)->UpdateTarget();
}

bool TutorialLayer::IsDrawn() const {
  const auto drawn = [](u32 state, const TutorialTarget* target) {
    return state >= kLayerShowing && state < kLayerHiding && target && target->IsValid();
  };
  if (layerState_ == kLayerNew || layerState_ >= kLayerHiding || IsCovered()) return false;
  for (i32 i = 0; i < arrows_.GetCount(); ++i)
    if (drawn(arrows_.Get(i)->GetState(), arrows_.Get(i)->GetTarget())) return true;
  for (i32 i = 0; i < texts_.GetCount(); ++i)
    if (drawn(texts_.Get(i)->GetState(), texts_.Get(i)->GetTarget())) return true;
  return false;
}

bool TutorialLayer::HitTest(i32 x, i32 y) const {
  return clicks_ != 0 && step_ && (step_->CatchesUnseen() || IsDrawn()) && step_->CatchesPointAt(x, y);
}

bool TutorialLayer::IsBusy() const {
  if (clicks_ == 0) return true;
  return layerState_ == kLayerNew || layerState_ >= kLayerHiding;
}

void TutorialLayer::OnMouseUp(i32 x, i32 y, u32 button, u32 keys) {
  GameWindow::OnMouseUp(x, y, button, keys);
  if (button == kMouseLeft && State().GetEnableBits() == kStatePressed && step_) step_->OnLayerClicked();
}

void TutorialLayer::DeleteGone() {
  for (i32 i = arrows_.GetCount() - 1; i >= 0; --i)
    if (arrows_.Get(i)->GetState() >= kLayerGone) delete arrows_.Get(i);
  for (i32 i = texts_.GetCount() - 1; i >= 0; --i)
    if (texts_.Get(i)->GetState() >= kLayerGone) delete texts_.Get(i);
}

// A window opened over the layer that holds the player (the level's menu, a
// modal window such as the level window on the map) hides the hint: its
// arrow and note would stand beside that window, or show through round it,
// pointing at what cannot be reached now.
bool TutorialLayer::IsCovered() const {
  if (!manager_) return false;
  const kis::list<GameWindow*>& stack = manager_->GetStack();
  bool above = false;
  for (i32 i = 0; i < stack.GetCount(); ++i) {
    const GameWindow* window = stack[i];
    if (window == this) {
      above = true;
    } else if (above && !window->IsClosing() && (window->IsModal() || window->GetId() == kMenuWindowId)) {
      return true;
    }
  }
  return false;
}

// Arrows and texts move on here: a finished fade leaves them shown, or gone.
// Under a covering window nothing is drawn; what was fading out is gone at
// once, what fades in waits for the window to close.
void TutorialLayer::Draw() {
  if (layerState_ == kLayerNew || layerState_ >= kLayerGone) return;
  if (IsCovered()) {
    for (i32 i = 0; i < arrows_.GetCount(); ++i)
      if (arrows_.Get(i)->GetState() == kLayerHiding) arrows_.Get(i)->SetState(kLayerGone);
    for (i32 i = 0; i < texts_.GetCount(); ++i)
      if (texts_.Get(i)->GetState() == kLayerHiding) texts_.Get(i)->SetState(kLayerGone);
    DeleteGone();
    if (layerState_ == kLayerHiding && arrows_.GetCount() == 0 && texts_.GetCount() == 0) layerState_ = kLayerGone;
    return;
  }
  for (i32 i = 0; i < arrows_.GetCount(); ++i) {
    TutorialArrow* arrow = arrows_.Get(i);
    if (arrow->GetState() >= kLayerShowing && arrow->GetState() < kLayerGone) arrow->Draw();
  }
  for (i32 i = 0; i < texts_.GetCount(); ++i) {
    TutorialInfo* text = texts_.Get(i);
    if (text->GetState() >= kLayerShowing && text->GetState() < kLayerGone) text->Draw();
  }
  DeleteGone();
  if (layerState_ == kLayerHiding && arrows_.GetCount() == 0 && texts_.GetCount() == 0) layerState_ = kLayerGone;
}

#include "windows/NoticeQueue.h"

#include <algorithm>

#include "engine/DXLViewer.h"
#include "resources/GameEffect.h"
#include "resources/ResourceServices.h"
#include "resources/SEffects.h"
#include "resources/Sprite.h"
#include "resources/SpriteEffect.h"
#include "ui/HISprite.h"
#include "ui/HIText.h"
#include "ui/HintTextParams.h"
#include "ui/WindowManager.h"

// --- The panel -------------------------------------------------------------------------------------

// The icon's height centres the text and the text's the icon; without an
// icon the text starts at the left margin.
DNewAwardWindow::DNewAwardWindow(Sprite* icon, i32 frame, const wchar* text, u32 argKind, uintptr_t arg) {
  margins_.top += 2;
  margins_.bottom += 2;
  i32 textX = 0, iconH = 0;
  HISprite* iconItem = nullptr;
  if (icon) icon->Init();  // loaded on first use
  if (icon && icon->IsLoaded()) {
    // An icon with fewer frames than tiers shows its last.
    const i32 last = std::max(icon->GetFrameCount() - 1, 0);
    iconItem = new HISprite(this, icon, std::clamp(frame, 0, last), 0xFFFFFFFFu);
    textX = iconItem->GetWidth() + 8;
    iconH = iconItem->GetHeight();
  }
  KGETEXTPARAMS params;
  InitBodyTextParams(&params, kKGERect, kWrap - margins_.left - margins_.right - textX, argKind, arg);
  HIText* textItem = AddTextItem(&params, text ? text : u"", false);
  const i32 textH = textItem ? textItem->GetHeight() : 0;
  if (textItem) textItem->SetPos(textX, textH < iconH ? (iconH - textH) / 2 : 0);
  if (iconItem && textH > iconH) iconItem->SetPos(0, (textH - iconH) / 2);
  Measure();
  pivotX_ = -(width_ / 2);
  pivotY_ = -(height_ / 2);
  SetPos(static_cast<float>(pivotX_), static_cast<float>(pivotY_));
}

// --- The notice ------------------------------------------------------------------------------------

NoticeWindow::NoticeWindow(u32 id, NoticeQueueCore* queue, Sprite* icon, i32 frame, const wchar* text, u32 argKind,
                           uintptr_t arg)
    : GameWindow(id, false), queue_(queue), panel_(icon, frame, text, argKind, arg) {}

NoticeWindow::~NoticeWindow() {
  Unregister();
  if (queue_) queue_->Leave(this);
}

void NoticeWindow::Enter(u32 lifetime) {
  Reposition();
  AddEffect(new SEffect_Scale(0.75f, 1.0f, kEffectTime, true, 0));
  AddEffect(new SEffect_Alpha(0.0f, 1.0f, kEffectTime, true, 0));
  lifeMs_ = kNoExpiry;
  elapsed_ = 0;
  SetLifetime(lifetime, false);
  if (!queue_) return;
  GameWindow* below = queue_->GetCount() > 0 ? queue_->GetNotice(queue_->GetCount() - 1) : queue_->GetAnchor();
  if (WindowManager* manager = GetWindowManager()) manager->PlaceWindowAbove(this, below);
  queue_->Join(this);
  queue_->SetRestack();
}

float NoticeWindow::SlideRest() const {
  if (slideStart_ == 0) return 0.0f;
  return slideDistance_ -
         static_cast<float>(slideCurrent_ - slideStart_) * slideDistance_ / static_cast<float>(kSlideTime);
}

void NoticeWindow::Reposition() {
  const GAMESCREENAREA& screen = GetResourceServices().screen;
  const i32 w = panel_.GetWidth(), h = panel_.GetHeight();
  const i32 margin = queue_ ? queue_->GetMargin() : 0;
  x_ = PanelLeft() - static_cast<float>(panel_.GetPivotX());
  y_ = static_cast<float>(screen.height - margin - h + offset_ - panel_.GetPivotY()) + SlideRest();
  const i32 left = static_cast<i32>(x_ + static_cast<float>(panel_.GetPivotX()));
  const i32 top = static_cast<i32>(y_ + static_cast<float>(panel_.GetPivotY()));
  rect_ = DXLRECT{left, top, left + w, top + h};
}

void NoticeWindow::SlideTo(i32 offset) {
  if (!IsLive()) {
    slideStart_ = 0;
    return;
  }
  if (slideStart_ != 0) offset_ += static_cast<i32>(SlideRest());
  slideDistance_ = static_cast<float>(offset_ - offset);
  offset_ = offset;
  slideStart_ = slideCurrent_ = GameFrameTime();
  if (slideStart_ == 0) slideStart_ = slideCurrent_ = 1;  // 0 means no slide
}

void NoticeWindow::SetLifetime(u32 ms, bool pulse) {
  if (!IsLive()) return;
  lifeMs_ = ms;
  elapsed_ = 0;
  if (ms == 0) {
    Close();
    return;
  }
  if (pulse && !effects_) {
    AddEffect(new SEffect_PPScale(1.0f, 1.2f, kEffectTime, true, 0));
    if (!highlighted_) {
      highlighted_ = 1;
      if (queue_) queue_->SetRestack();
    }
  }
}

void NoticeWindow::Close() {
  if (!IsLive()) return;
  DeleteSpriteEffects(&effects_);
  AddEffect(new SEffect_Scale(1.0f, 0.75f, kEffectTime, true, 0));
  AddEffect(new SEffect_Alpha(1.0f, 0.0f, kEffectTime, true, 0));
  closing_ = 1;
  if (highlighted_) {
    highlighted_ = 0;
    if (queue_) queue_->SetRestack();
  }
  if (queue_) queue_->Arrange();
}

bool NoticeWindow::Update() {
  if (IsLive() && lifeMs_ != kNoExpiry && queue_ && queue_->GetTimeStep() != 0) {
    elapsed_ += queue_->GetTimeStep();
    if (elapsed_ >= lifeMs_) Close();
  }
  return false;
}

// The panel takes the effects' alpha while a colour effect runs and is
// opaque once none is left; a pulse that has ended lets the notice fall
// back among the others.
bool NoticeWindow::UpdateEffects() {
  const bool running = UpdateSpriteEffects(&effects_);
  bool colour = !running;
  if (running)
    for (i32 i = 0; i < effects_->GetCount(); ++i) colour = colour || effects_->Get(i)->GetKind() == kEffectColor;
  if (colour) panel_.SetColor(GetEffectColor(effects_, 0xFFFFFFFFu));
  if (!running && highlighted_) {
    highlighted_ = 0;
    if (queue_) queue_->SetRestack();
  }
  return running;
}

void NoticeWindow::Draw() {
  if (slideStart_ != 0) {
    slideCurrent_ = GameFrameTime();
    if (!IsLive() || slideCurrent_ - slideStart_ >= kSlideTime) slideStart_ = 0;
    Reposition();
  }
  DXLViewer* viewer = GetGameViewer();
  if (viewer) viewer->Translate(x_, y_);
  UpdateEffects();
  if (!IsLive() && !effects_) return;
  if (viewer) panel_.Draw();
}

// --- The queue -------------------------------------------------------------------------------------

NoticeQueueCore::~NoticeQueueCore() { ClearAll(); }

void NoticeQueueCore::ClearAll() {
  while (notices_.GetCount() > 0) delete notices_.Last();
}

void NoticeQueueCore::CloseAll() {
  Lock();
  for (i32 i = notices_.GetCount() - 1; i >= 0; --i) notices_.Get(i)->Close();
  Unlock();
}

void NoticeQueueCore::Unlock() {
  if (hold_ <= 0) return;
  if (--hold_ == 0) Arrange();
}

i32 NoticeQueueCore::CountLive() const {
  i32 n = 0;
  for (i32 i = 0; i < notices_.GetCount(); ++i) n += notices_.Get(i)->IsLive() ? 1 : 0;
  return n;
}

void NoticeQueueCore::LimitLive() {
  if (notices_.GetCount() <= 2) return;
  i32 kept = 0;
  for (i32 i = notices_.GetCount() - 1; i >= 0; --i) {
    NoticeWindow* notice = notices_.Get(i);
    if (!notice->IsLive()) continue;
    if (kept < 2)
      ++kept;
    else
      notice->Close();
  }
}

void NoticeQueueCore::Arrange() {
  if (hold_ > 0) return;
  i32 offset = 0;
  for (i32 i = notices_.GetCount() - 1; i >= 0; --i) {
    NoticeWindow* notice = notices_.Get(i);
    if (!notice->IsLive()) continue;
    notice->SlideTo(offset);
    offset -= notice->Panel().GetHeight();
  }
  Restack();
}

void NoticeQueueCore::Restack() {
  if (!restack_) return;
  restack_ = 0;
  WindowManager* manager = GetWindowManager();
  if (notices_.GetCount() < 2 || !manager) return;
  GameWindow* below = GetAnchor();
  for (u32 pass = 0; pass < 2; ++pass) {
    for (i32 i = 0; i < notices_.GetCount(); ++i) {
      NoticeWindow* notice = notices_.Get(i);
      if (notice->IsHighlighted() != (pass == 1)) continue;
      manager->PlaceWindowAbove(notice, below);
      below = notice;
    }
  }
}

void NoticeQueueCore::SetHostCore(GameWindow*, i32 margin) {
  if (margin != margin_) {
    margin_ = margin;
    UpdateAllPositions();
  }
  for (i32 i = 0; i < notices_.GetCount(); ++i)
    if (notices_.Get(i)->IsLive()) notices_.Get(i)->RestartElapsed();
  restack_ = 1;
  Restack();
}

void NoticeQueueCore::UpdateTimeStep() {
  const ResourceServices& s = GetResourceServices();
  const WindowManager* manager = GetWindowManager();
  const bool held = (s.effect && s.effect->IsRunning()) || (manager && manager->GetModalCount() != 0);
  timeStep_ = held ? 0 : s.frameElapsed;
  Restack();
}

void NoticeQueueCore::UpdateAllPositions() {
  for (i32 i = 0; i < notices_.GetCount(); ++i) notices_.Get(i)->Reposition();
}

#include "ui/GameWindow.h"

#include <vector>

#include "engine/DXLViewer.h"
#include "platform/gfx/GfxTypes.h"
#include "resources/ResourceServices.h"
#include "resources/SpriteEffect.h"
#include "ui/GameEdit.h"
#include "ui/GameScrollbar.h"
#include "ui/WindowManager.h"

GameWindow::GameWindow(u32 id, bool modal)
    : id_(id), modal_(modal ? 1 : 0), cursorId_(kCursorArrow), transform_(plat::gfx::IdentityMatrix()),
      manager_(GetWindowManager()) {
  state_.SetState(kStateNormal, true, 0);
  if (manager_) manager_->RegisterWindow(this);
}

GameWindow::~GameWindow() {
  Unregister();
  lifetime_.End();
  DeleteSpriteEffects(&effects_);
  controls_.DeleteAll();
  SetScrollbar(nullptr);
  SetEditBox(nullptr);
}

void GameWindow::SetScrollbar(GameScrollbar* bar) {
  GameScrollbar* old = scrollBar_;
  scrollBar_ = bar;
  if (old != bar) delete old;
}

void GameWindow::SetEditBox(GameEdit* edit) {
  GameEdit* old = editBox_;
  editBox_ = edit;
  if (old != edit) delete old;
}

void GameWindow::Unregister() {
  if (manager_) manager_->UnregisterWindow(this);
}

// --- Events in window coordinates -----------------------------------------------------------

namespace {

// Offers an event to the groups from the last, over the groups there were
// when it began; true when `offer` took it or the window went away meanwhile.
template <class Offer>
bool OfferGroups(Lifetime& lifetime, const kis::list<GameControls*>& groups, Offer offer) {
  LifeGuard guard(lifetime);
  const std::vector<GameControls*> snapshot(groups.Data(), groups.Data() + groups.GetCount());
  for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
    if (groups.IndexOf(*it) < 0) continue;
    if (offer(*it) || !guard.Alive()) return true;
  }
  return false;
}

}  // namespace

// The scroll bar and the edit box see the mouse before the buttons; either
// may take a press or a double click.
bool GameWindow::OnMouseDown(i32 x, i32 y, u32 button, u32 keys) {
  if (scrollBar_ && scrollBar_->OnMouseDown(x, y, BaseScrollbar::BarButtons(button))) return true;
  if (editBox_ && editBox_->OnMouseDown(x, y, button, keys & kEditModifiers)) return true;
  if (OfferGroups(lifetime_, controlGroups_, [&](GameControls* g) { return g->OnMouseDown(x, y, button, keys); }))
    return true;
  return controls_.OnMouseDown(x, y, button, keys);
}

void GameWindow::OnMouseMove(i32 x, i32 y, u32 buttons, u32 keys) {
  if (scrollBar_) scrollBar_->OnMouseMove(x, y, BaseScrollbar::BarButtons(buttons));
  if (editBox_) editBox_->OnMouseMove(x, y, buttons, keys & kEditModifiers);
  if (OfferGroups(lifetime_, controlGroups_, [&](GameControls* g) {
        g->OnMouseMove(x, y, buttons, keys);
        return false;
      }))
    return;
  controls_.OnMouseMove(x, y, buttons, keys);
}

void GameWindow::OnMouseUp(i32 x, i32 y, u32 button, u32 keys) {
  if (scrollBar_) scrollBar_->OnMouseUp(x, y, BaseScrollbar::BarButtons(button));
  if (editBox_ && button == kMouseLeft) editBox_->OnMouseSelect(kEditMouseRelease, keys & kEditModifiers);
  if (OfferGroups(lifetime_, controlGroups_, [&](GameControls* g) {
        g->OnMouseUp(x, y, button, keys);
        return false;
      }))
    return;
  controls_.OnMouseUp(x, y, button, keys);
}

bool GameWindow::OnDoubleClick(i32 x, i32 y, u32 button) {
  if (scrollBar_ && scrollBar_->OnDoubleClick(x, y)) return true;
  if (editBox_ && editBox_->OnDoubleClick(x, y, 0)) return true;
  if (OfferGroups(lifetime_, controlGroups_, [&](GameControls* g) { return g->OnDoubleClick(x, y, button); }))
    return true;
  return controls_.OnDoubleClick(x, y, button);
}

// The wheel's first value is its turn, the second the buttons and keys held.
bool GameWindow::OnMouseWheel(i32 x, i32 y, i32 a, i32 b, i32 /*c*/) {
  kis::IntPoint screen{};
  ClientToScreen(&screen, x, y);
  if (!modal_ && !HitTest(screen.x, screen.y)) return false;
  if (scrollBar_) scrollBar_->OnMouseWheel(x, y, a, static_cast<u32>(b));
  return true;
}

// The edit box gets the keys first (the editing keys while it is active).
bool GameWindow::OnKeyDown(u16 key, u32 extra) {
  if (editBox_ && editBox_->OnKeyDown(key, extra & kEditModifiers)) return true;
  return modal_ != 0;
}
bool GameWindow::OnKeyUp(u16 /*key*/, u32 /*extra*/) { return modal_ != 0; }
bool GameWindow::OnChar(u16 character, u32 /*extra*/) {
  if (editBox_ && editBox_->OnChar(static_cast<wchar>(character))) return true;
  return modal_ != 0;
}

// --- Life ------------------------------------------------------------------------------------

bool GameWindow::IsBusy() const { return effects_ != nullptr || closing_ != 0; }

bool GameWindow::UpdateEffects() { return UpdateSpriteEffects(&effects_); }

bool GameWindow::SetActive(u32 state) {
  if (state == state_.GetState()) return false;
  state_.SetState(state, true, 0);
  return true;
}

bool GameWindow::Update() {
  if (scrollBar_) scrollBar_->Update();
  controls_.Update();
  return modal_ != 0;
}

// --- Geometry --------------------------------------------------------------------------------

bool GameWindow::HitTest(i32 x, i32 y) const {
  return kis::PointInRectXY(x, y, rect_.left, rect_.top, rect_.right, rect_.bottom);
}

void GameWindow::ClientToScreen(kis::IntPoint* out, i32 x, i32 y) const {
  if (out) *out = kis::IntPoint{x + rect_.left, y + rect_.top};
}

void GameWindow::ScreenToClient(kis::IntPoint* out, i32 x, i32 y) const {
  if (out) *out = kis::IntPoint{x - rect_.left, y - rect_.top};
}

u32 GameWindow::GetCursor() {
  if (scrollBar_ && (scrollBar_->GetHeldButtons() & BaseScrollbar::kLeft)) {
    const i32 part = scrollBar_->GetPress(0).part;
    if (part == BaseScrollbar::kFirstArrow || part == BaseScrollbar::kSecondArrow) return kCursorHand;
  }
  if (editBox_ && editBox_->IsMouseOver()) return kCursorIBeam;
  return cursorId_;
}

// --- Screen entries ----------------------------------------------------------------------------

void GameWindow::OnScreenMouseDown(i32 x, i32 y, u32 button, u32 keys) {
  LifeGuard guard(lifetime_);
  kis::IntPoint p{};
  ScreenToClient(&p, x, y);
  OnMouseDown(p.x, p.y, button, keys);
  if (guard.Alive() && button == kMouseLeft) state_.SetState(kStatePressed, true, 0);
}

void GameWindow::OnScreenMouseMove(i32 x, i32 y, u32 buttons, u32 keys) {
  kis::IntPoint p{};
  ScreenToClient(&p, x, y);
  OnMouseMove(p.x, p.y, buttons, keys);
}

void GameWindow::OnScreenMouseUp(i32 x, i32 y, u32 button, u32 keys) {
  LifeGuard guard(lifetime_);
  WindowManager* manager = manager_;
  kis::IntPoint p{};
  ScreenToClient(&p, x, y);
  OnMouseUp(p.x, p.y, button, keys);
  if (!guard.Alive() || button != kMouseLeft) return;
  if (state_.GetEnableBits() > kStateNormal) state_.SetState(HitTest(x, y) ? kStateHover : kStateNormal, true, 0);
  if (manager) manager->FindWindowAt(x, y);
}

void GameWindow::OnScreenDoubleClick(i32 x, i32 y, u32 button) {
  LifeGuard guard(lifetime_);
  kis::IntPoint p{};
  ScreenToClient(&p, x, y);
  OnDoubleClick(p.x, p.y, button);
  if (guard.Alive()) state_.SetState(kStatePressed, true, 0);
}

bool GameWindow::OnScreenMouseWheel(i32 x, i32 y, i32 a, i32 b, i32 c) {
  if (effects_) return modal_ != 0;
  kis::IntPoint p{};
  ScreenToClient(&p, x, y);
  return OnMouseWheel(p.x, p.y, a, b, c);
}

u32 GameWindow::OnCommand(GameButton* /*control*/) { return 0; }

// --- Effects and controls ----------------------------------------------------------------------

void GameWindow::AddEffect(SpriteEffect* effect) {
  if (effect) AttachSpriteEffect(&effects_, effect);
}

void GameWindow::AddControlGroup(GameControls* group) {
  if (group) controlGroups_.AddUnique(group);
}

void GameWindow::RemoveControlGroup(GameControls* group) {
  if (group) controlGroups_.Remove(group);
}

GameButton* GameWindow::FindControl(u32 id, i32 tag) const {
  if (GameButton* b = controls_.FindControl(id, tag)) return b;
  for (i32 i = controlGroups_.GetCount() - 1; i >= 0; --i)
    if (GameButton* b = controlGroups_.Get(i)->FindControl(id, tag)) return b;
  return nullptr;
}

void GameWindow::DrawControls() {
  if (editBox_) {
    if (DXLViewer* viewer = GetGameViewer()) viewer->SetTransform(&transform_);
    editBox_->Draw();
  }
  if (scrollBar_) scrollBar_->Draw(transform_);
  for (i32 i = controlGroups_.GetCount() - 1; i >= 0; --i) controlGroups_.Get(i)->Draw(transform_);
  controls_.Draw(transform_);
}

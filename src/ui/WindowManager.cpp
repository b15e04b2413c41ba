#include "ui/WindowManager.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/Strings.h"
#include "engine/DXLViewer.h"
#include "engine/image/GlyphEffects.h"
#include "engine/text/DigitalFont.h"
#include "gametext/KGETextParams.h"
#include "resources/GameDraw.h"
#include "resources/GameEffect.h"
#include "resources/ImageSprite.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"
#include "resources/TutorialHooks.h"
#include "ui/BaseDialogWindow.h"
#include "ui/DragWindow.h"
#include "ui/GameButton.h"
#include "ui/GameControls.h"
#include "ui/GameWindow.h"
#include "ui/HintWindow.h"
#include "ui/UiServices.h"
#include "ui/WindowQueues.h"

namespace {

constexpr u32 kMedalSpriteSet = 1;  // the interface's own pictures
constexpr const wchar* kMedalNames[4] = {u"level_uncompl", u"gold_medal", u"silver_medal", u"bronze_medal"};

// A window's four-character id as it reads ("Wrhs").
std::string IdText(u32 id) {
  std::string s;
  for (i32 shift = 24; shift >= 0; shift -= 8) {
    const char c = static_cast<char>(id >> shift & 0xFF);
    s += c > ' ' && c < 127 ? c : '?';
  }
  return s;
}

// A busy window answers keys with its modal flag, unseen.
bool OfferKey(GameWindow* window, bool (GameWindow::*handler)(u16, u32), u16 key, u32 extra) {
  if (window->IsBusy()) return window->IsModal();
  return (window->*handler)(key, extra);
}

}  // namespace

WindowManager* GetWindowManager() { return GetUiServices().windowManager; }

// --- Walks --------------------------------------------------------------------------------

WindowManager::Walk::Walk(WindowManager* owner)
    : manager(owner), windows(owner->stack_.Data(), owner->stack_.Data() + owner->stack_.GetCount()),
      next(owner->walks_) {
  owner->walks_ = this;
}

WindowManager::Walk::~Walk() {
  for (Walk** at = &manager->walks_; *at; at = &(*at)->next) {
    if (*at == this) {
      *at = next;
      break;
    }
  }
}

// --- Lifetime ------------------------------------------------------------------------------

WindowManager::WindowManager() = default;

WindowManager::~WindowManager() {
  while (stack_.GetCount() > 0) {
    GameWindow* window = stack_.Last();
    UnregisterWindow(window);
    delete window;
  }
  buttons_.DeleteAll();
  fonts_.DeleteAll();
  delete messages_;
  delete awards_;
  for (Sprite* medal : medals_)
    if (medal) medal->Release(false);
  for (auto& named : interfaceSprites_)
    if (named.second) named.second->Release(false);
}

void WindowManager::SetQueues(MessageWindowQueue* messages, AwardWindowQueue* awards) {
  if (messages != messages_) delete messages_;
  if (awards != awards_) delete awards_;
  messages_ = messages;
  awards_ = awards;
}

void WindowManager::RegisterWindow(GameWindow* window) {
  if (!window) return;
  stack_.Add(window);
  if (window->IsModal()) ++modalCount_;
}

void WindowManager::UnregisterWindow(GameWindow* window) {
  if (!window || !stack_.Remove(window)) return;
  if (window->IsModal()) --modalCount_;
  if (active_ == window) active_ = nullptr;
  if (messages_ && messages_->GetHost() == window) messages_->SetHost(nullptr);
  if (awards_ && awards_->GetHost() == window) awards_->SetHost(nullptr);
  if (std::erase_if(told_, [window](const auto& told) { return told.first == window; }) > 0)
    TellGone("window " + IdText(window->GetId()));
  for (Walk* walk = walks_; walk; walk = walk->next)
    for (GameWindow*& w : walk->windows)
      if (w == window) w = nullptr;
}

// --- Per frame ----------------------------------------------------------------------------

void WindowManager::Update() {
  if (dialog_) dialog_->OnFrame();
  if (messages_) messages_->UpdateOrigin();
  if (awards_) awards_->UpdateOrigin();
  {
    Walk walk(this);
    for (auto it = walk.windows.rbegin(); it != walk.windows.rend(); ++it) {
      if (*it && (*it)->Update()) break;
    }
  }
  if (hintOwner_) hintOwner_->UpdateHint();
}

void WindowManager::Draw() {
  DXLViewer* viewer = GetGameViewer();
  DXLMATRIX saved{};
  if (viewer) viewer->GetTransform(&saved);
  {
    Walk walk(this);
    for (GameWindow*& window : walk.windows) {
      if (!window) continue;
      if (viewer) viewer->SetTransform(&saved);
      window->Draw();
      if (window) TellPlaces(*window);
      if (window && window->IsClosing() && !window->GetEffects()) delete window;
    }
  }
  // A hint window that leaves the list while it is drawn is followed by the
  // one that takes its place.
  for (i32 i = 0; i < hintWindows_.GetCount();) {
    HintWindow* hint = hintWindows_.Get(i);
    if (viewer) viewer->SetTransform(&saved);
    hint->Draw();
    if (hintWindows_.Get(i) == hint) ++i;
  }
  if (viewer) viewer->SetTransform(&saved);
  UnbindDrawTexture();
}

// Under the developer switch "Places": a window's place, its title's (the
// drag area of a window that has one) and its buttons' that take a click
// (the window's own and its panels', enabled and not locked while they
// slide in), once its show has ended and again whenever one of them
// changes; a button's line names the window, the button's id in hex and its
// tag. Nothing is told while a screen change's fade holds the mouse: a line
// says where a click lands now. A window told of is told gone as it leaves
// the stack.
void WindowManager::TellPlaces(GameWindow& window) {
  if (!GetResourceServices().tellPlaces || window.IsBusy()) return;
  if (const GameEffect* effect = GetGameEffect(); effect && (effect->GetInstalledFlags() & kHookMouse)) return;
  const DXLRECT& at = window.GetRect();
  const std::string id = IdText(window.GetId());
  std::vector<std::pair<std::string, DXLRECT>> places{{"window " + id, at}};
  if (const auto* drag = dynamic_cast<const DragWindow*>(&window)) {
    const DXLRECT& t = drag->GetTitleRect();
    if (t.right > t.left && t.bottom > t.top)
      places.emplace_back("title " + id,
                          DXLRECT{at.left + t.left, at.top + t.top, at.left + t.right, at.top + t.bottom});
  }
  const auto add = [&](const ButtonList& buttons) {
    for (i32 i = 0; i < buttons.GetCount(); ++i) {
      const GameButton* b = buttons.Get(i);
      if (!b || !b->IsEnabled() || b->IsLocked()) continue;
      const DXLRECT& r = b->GetRect();
      char name[48];
      std::snprintf(name, sizeof name, "button %s %08X %d", id.c_str(), b->GetId(), b->GetTag());
      places.emplace_back(name, DXLRECT{at.left + r.left, at.top + r.top, at.left + r.right, at.top + r.bottom});
    }
  };
  add(window.Controls());
  for (i32 i = 0; i < window.ControlGroups().GetCount(); ++i)
    if (GameControls* group = window.ControlGroups().Get(i)) add(*group);
  std::string seen;
  for (const auto& [what, r] : places)
    seen += what + " " + std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
            std::to_string(r.bottom) + "\n";
  auto told = told_.begin();
  while (told != told_.end() && told->first != &window) ++told;
  if (told != told_.end() && told->second == seen) return;
  if (told == told_.end()) told = told_.emplace(told_.end(), &window, std::string());
  told->second = seen;
  for (const auto& [what, r] : places) TellPlace(what, r);
}

bool WindowManager::GetCursor(u32* id) {
  if (hovered_) {
    if (id) *id = hovered_->GetCursorId();
    return true;
  }
  if (active_ && !active_->IsBusy()) {
    const u32 cursor = active_->GetCursor();
    if (id) *id = cursor;
    return true;
  }
  return false;
}

void WindowManager::OnScreenResize() {
  {
    Walk walk(this);
    for (GameWindow* window : walk.windows)
      if (window) window->OnScreenResize();
  }
  if (messages_) messages_->UpdatePositions();
  if (awards_) awards_->UpdatePositions();
}

// --- Mouse -----------------------------------------------------------------------------------

GameWindow* WindowManager::FindWindowAt(i32 x, i32 y) {
  GameWindow* found = nullptr;
  for (i32 i = stack_.GetCount() - 1; i >= 0 && !found; --i) {
    GameWindow* w = stack_.Get(i);
    if (w->IsModal() || w->State().GetEnableBits() == kStatePressed || w->HitTest(x, y)) found = w;
  }
  if (found != active_) {
    GameWindow* old = active_;
    active_ = found;
    if (old) old->SetActive(kStateNormal);
  }
  if (active_) {
    const u32 state = active_->State().GetEnableBits();
    active_->SetActive(state < kStatePressed ? kStateHover : state);
  }
  return active_;
}

bool WindowManager::MouseEvent(Mouse kind, i32 x, i32 y, u32 button, u32 keys) {
  eventControl_ = nullptr;
  GameWindow* window = FindWindowAt(x, y);
  const bool taken = window != nullptr;
  if (window && !window->IsBusy()) {
    switch (kind) {
      case Mouse::Down:
        window->OnScreenMouseDown(x, y, button, keys);
        break;
      case Mouse::Move:
        window->OnScreenMouseMove(x, y, button, keys);
        break;
      case Mouse::Up:
        window->OnScreenMouseUp(x, y, button, keys);
        break;
      case Mouse::DoubleClick:
        window->OnScreenDoubleClick(x, y, button);
        break;
    }
  }
  const bool press = kind == Mouse::Down || kind == Mouse::Up;
  if (!press || button == kMouseLeft) SetHoverControl(eventControl_);
  if (kind == Mouse::Move) {
    // Only a move of 2 pixels or more restarts the hint's delay.
    if (hintOwner_ && hintDelay_ > 0 && (std::abs(x - lastX_) >= 2 || std::abs(y - lastY_) >= 2))
      delayStart_ = GameClock();
    lastX_ = x;
    lastY_ = y;
  }
  return taken;
}

bool WindowManager::OnMouseDown(i32 x, i32 y, u32 button, u32 keys) { return MouseEvent(Mouse::Down, x, y, button, keys); }

bool WindowManager::OnMouseMove(i32 x, i32 y, u32 buttons, u32 keys) {
  return MouseEvent(Mouse::Move, x, y, buttons, keys);
}

bool WindowManager::OnMouseUp(i32 x, i32 y, u32 button, u32 keys) { return MouseEvent(Mouse::Up, x, y, button, keys); }

bool WindowManager::OnDoubleClick(i32 x, i32 y, u32 button) { return MouseEvent(Mouse::DoubleClick, x, y, button, 0); }

// No modal stop here: a modal window takes the wheel through its own handler.
bool WindowManager::OnMouseWheel(i32 x, i32 y, i32 a, i32 b, i32 c) {
  Walk walk(this);
  for (auto it = walk.windows.rbegin(); it != walk.windows.rend(); ++it) {
    if (!*it || (*it)->IsBusy()) continue;
    if ((*it)->OnScreenMouseWheel(x, y, a, b, c)) return true;
  }
  return false;
}

void WindowManager::SetHoverControl(GameButton* control) {
  if (control == hovered_) return;
  if (GameButton* old = hovered_) {
    hovered_ = nullptr;
    old->ReleaseHint();
    if (old->State().GetEnableBits() >= kStateHover) old->SetState(kStateNormal, false, old->GetFadeOutTime());
  }
  hovered_ = control;
  if (control) control->ShowHint();
}

void WindowManager::ForgetControl(GameButton* control) {
  if (!control) return;
  if (hovered_ == control) hovered_ = nullptr;
  if (eventControl_ == control) eventControl_ = nullptr;
}

// --- Keys ------------------------------------------------------------------------------------

// The tutorial may keep a key from a window; a modal window still ends the
// walk and takes it.
bool WindowManager::OnKeyDown(u16 key, u32 extra) {
  Walk walk(this);
  for (auto it = walk.windows.rbegin(); it != walk.windows.rend(); ++it) {
    GameWindow* window = *it;
    if (!window) continue;
    const bool modal = window->IsModal();
    if (TutorialAllowAction(kTutorialActionKey, key, window) && *it &&
        OfferKey(window, &GameWindow::OnKeyDown, key, extra))
      return true;
    if (modal) return true;
  }
  return false;
}

bool WindowManager::OnKeyUp(u16 key, u32 extra) {
  Walk walk(this);
  for (auto it = walk.windows.rbegin(); it != walk.windows.rend(); ++it) {
    if (*it && OfferKey(*it, &GameWindow::OnKeyUp, key, extra)) return true;
  }
  return false;
}

bool WindowManager::OnChar(u16 character, u32 extra) {
  Walk walk(this);
  for (auto it = walk.windows.rbegin(); it != walk.windows.rend(); ++it) {
    if (*it && OfferKey(*it, &GameWindow::OnChar, character, extra)) return true;
  }
  return false;
}

// --- Stack queries and edits -------------------------------------------------------------------

GameWindow* WindowManager::FindWindow(u32 id) const {
  for (i32 i = stack_.GetCount() - 1; i >= 0; --i)
    if (stack_.Get(i)->GetId() == id) return stack_.Get(i);
  return nullptr;
}

void WindowManager::MoveWindowTo(GameWindow* window, i32 target) {
  const i32 at = stack_.IndexOf(window);
  if (at < 0) {
    stack_.Insert(target, window);
    if (window->IsModal()) ++modalCount_;
    return;
  }
  if (target < stack_.GetCount()) stack_.Move(at, target);
}

void WindowManager::InsertWindowAfter(GameWindow* window, u32 afterId, u32 skipId) {
  if (!window || window->GetId() == afterId) return;
  i32 target = stack_.GetCount();
  if (afterId != 0) {
    for (i32 i = 0; i < stack_.GetCount(); ++i) {
      if (stack_.Get(i)->GetId() != afterId) continue;
      target = i + 1;
      while (skipId != 0 && target < stack_.GetCount() && stack_.Get(target)->GetId() == skipId) ++target;
      break;
    }
  }
  MoveWindowTo(window, target);
}

void WindowManager::PlaceWindowAbove(GameWindow* window, GameWindow* ref) {
  if (!window || window == ref) return;
  const i32 at = ref ? stack_.IndexOf(ref) : -1;
  MoveWindowTo(window, at >= 0 ? at + 1 : stack_.GetCount());
}

void WindowManager::AddFont(DigitalFont* font) {
  if (font) fonts_.Add(font);
}

DigitalFont* WindowManager::FindFont(u32 id) const {
  for (i32 i = 0; i < fonts_.GetCount(); ++i)
    if (fonts_.Get(i) && fonts_.Get(i)->GetHeaderValue() == id) return fonts_.Get(i);
  return nullptr;
}

// --- Shared styles ---------------------------------------------------------------------------

Sprite* WindowManager::GetMedal(u32 index) {
  if (!medalsLooked_) {
    medalsLooked_ = true;
    for (u32 i = 0; i < 4; ++i) {
      Sprite* s = GetSpriteByName(kMedalSpriteSet, kMedalNames[i]);
      if (!s) continue;
      s->Init();
      if (s->IsLoaded()) medals_[i] = s;
    }
  }
  return index < 4 ? medals_[index] : nullptr;
}

Sprite* WindowManager::GetInterfaceSprite(const wchar* name) {
  if (!name) return nullptr;
  for (const auto& named : interfaceSprites_)
    if (kis::StrICompareW(named.first.c_str(), name) == 0) return named.second;
  Sprite* sprite = GetSpriteByName(kMedalSpriteSet, name);
  if (sprite) {
    sprite->Init();
    if (!sprite->IsLoaded()) sprite = nullptr;
  }
  if (sprite) interfaceSprites_.emplace_back(name, sprite);  // a miss is asked again (the sets may come later)
  return sprite;
}

bool GetCaptionOutline(i32 index, DXLOUTLINE* out) {
  if (index != 0 || !out) return false;
  DXLMakeOutline(out, 1, 1.0f, 0xFF442200u, 32, 0);
  return true;
}

void SetBox(KGESPRITEPARAMS* params, i32 index) {
  if (!params) return;
  if (GetCaptionOutline(index, &params->outline)) {
    params->flags |= kKGESpriteOutline;
  } else {
    params->flags &= ~kKGESpriteOutline;
  }
}

ImageSprite* GetMedalSprite(i32 medal, float* x, float* y) {
  WindowManager* manager = GetWindowManager();
  if (!manager) return nullptr;
  const u32 index = medal < 3 ? 0 : medal == 6 ? 1 : medal == 5 ? 2 : 3;
  Sprite* sprite = manager->GetMedal(index);
  if (!sprite || !sprite->GetSet()) return nullptr;
  ImageSprite* image = sprite->GetSet()->CreateImageSprite(sprite, false);
  if (!image) return nullptr;
  if (index == 0) {
    image->SetScale(0.5f, 0.5f);
    if (x) *x += 43.0f;
    if (y) *y += 42.0f;
  } else {
    const float w = static_cast<float>(sprite->GetFrameWidth()), h = static_cast<float>(sprite->GetFrameHeight());
    image->SetScale(w > 0 ? 42.0f / w : 1.0f, h > 0 ? 54.0f / h : 1.0f);
    if (x) *x += 46.0f;
    if (y) *y += 49.0f;
  }
  return image;
}

void HintRefreshOnLevelChange() {
  WindowManager* manager = GetWindowManager();
  GameHint* owner = manager ? manager->GetHintOwner() : nullptr;
  if (owner && (owner->GetRefreshMask() & kHintRefreshLevel)) owner->AddPendingRefresh(kHintRefreshLevel);
}

void HintRefreshOnGlobalChange(u32 /*ignored*/) {
  WindowManager* manager = GetWindowManager();
  GameHint* owner = manager ? manager->GetHintOwner() : nullptr;
  if (owner && (owner->GetRefreshMask() & kHintRefreshGlobal)) owner->AddPendingRefresh(kHintRefreshGlobal);
}

#include "hud/ScreenSpriteList.h"

#include "content/ContentArchive.h"
#include "content/ProductList.h"
#include "gametext/GameLanguage.h"
#include "gametext/GameLanguageHost.h"
#include "resources/GameDraw.h"
#include "resources/SpriteSet.h"
#include "resources/TutorialHooks.h"
#include "hud/ActiveScreenSprite.h"
#include "hud/ScreenLabel.h"
#include "resources/CurrentLevel.h"
#include "hud/ScreenSpriteOwner.h"
#include "ui/WindowManager.h"

namespace {

constexpr i32 kLabelFont = 7;
constexpr i32 kLabelIconFrame = 3;
constexpr i32 kLabelIconWidth = 22;

}  // namespace

Sprite* GetFlyingCoinSprite() {
  SpriteSet* set = GetSpriteSet(kIconSpriteSet);
  return set ? set->FindSprite(u"small_ico_coin") : nullptr;
}

ScreenSpriteList::~ScreenSpriteList() { DeleteAll(); }

// Each one leaves the list before it goes, so whatever its destructor does
// (deleting sprites of its own, leaving hover) finds the lists consistent.
void ScreenSpriteList::DeleteAll() {
  while (ScreenSprite* sprite = sprites_.Last()) {
    sprites_.Delete(sprites_.GetCount() - 1);
    delete sprite;
  }
  sprites_.Clear();
  while (ScreenLabel* label = labels_.Last()) {
    labels_.Delete(labels_.GetCount() - 1);
    delete label;
  }
  labels_.Clear();
  active_.Clear();
  hovered_ = nullptr;
}

void ScreenSpriteList::RefreshEnabled() {
  for (i32 i = active_.GetCount() - 1; i >= 0; --i) active_[i]->RefreshEnabled();
}

bool ScreenSpriteList::MayHover(ActiveScreenSprite* sprite, i32 x, i32 y) const {
  return sprite->HitTest(x, y) &&
         TutorialAllowAction(kTutorialActionHover, sprite->GetActionCode(), static_cast<const void*>(sprite));
}

void ScreenSpriteList::UpdateHover(i32 x, i32 y) {
  ActiveScreenSprite* next = nullptr;
  const WindowManager* manager = GetWindowManager();
  const CurrentLevel* host = GetCurrentLevel();
  const bool blocked = (manager && manager->GetActiveWindow()) || (host && !host->IsPointerOverView());
  if (!blocked) {
    if (hovered_ && MayHover(hovered_, x, y)) {
      next = hovered_;
    } else {
      for (i32 i = active_.GetCount() - 1; i >= 0 && !next; --i)
        if (ActiveScreenSprite* s = active_.Get(i); s && MayHover(s, x, y)) next = s;
    }
  }
  if (next == hovered_) return;
  if (hovered_) hovered_->SetHover(false);
  if (next) next->SetHover(true);
}

bool ScreenSpriteList::MouseDown(i32 x, i32 y, u32 button, u32) {
  UpdateHover(x, y);
  ActiveScreenSprite* s = hovered_;
  if (!s) return false;
  if (s->GetPressButton() != 0 || s->GetClickCooldown() != 0 || (s->GetButtons() & button) != button) return true;
  s->SetPressButton(button);
  if (s->GetState() == 1) s->Highlight();
  if (s->GetState() == 2) s->SetPressed(true);
  return true;
}

void ScreenSpriteList::MouseUp(i32, i32, u32 button, u32) {
  ActiveScreenSprite* s = hovered_;
  if (!s || s->GetPressButton() != button) return;
  if (s->GetState() == 3 || s->GetState() == 0) s->OnClick();
  // The click may have deleted the sprite (which leaves hover as it goes).
  if (ActiveScreenSprite* still = hovered_) {
    still->SetPressed(false);
    still->SetPressButton(0);
  }
}

void ScreenSpriteList::UpdateAll() {
  for (i32 i = 0; i < sprites_.GetCount();) {
    ScreenSprite* sprite = sprites_.Get(i);
    sprite->Update();
    if (sprites_.Get(i) != sprite) continue;  // it went during its update
    if (sprite->IsRemoveWhenHidden() && !sprite->IsVisible()) {
      delete sprite;
      continue;
    }
    ++i;
  }
}

void ScreenSpriteList::RelayoutAll() {
  for (i32 i = sprites_.GetCount() - 1; i >= 0; --i)
    if (ScreenSprite* s = sprites_.Get(i)) s->Relayout();
}

void ScreenSpriteList::DrawAll() {
  ActiveScreenSprite* top = hovered_;
  for (i32 i = 0; i < sprites_.GetCount(); ++i) {
    ScreenSprite* s = sprites_.Get(i);
    if (s && s != static_cast<ScreenSprite*>(top)) s->Render();
  }
  if (top && hovered_ == top) top->Render();
  for (i32 i = 0; i < labels_.GetCount();) {
    ScreenLabel* label = labels_.Get(i);
    if (!label->Update()) {
      delete label;
      continue;
    }
    label->Draw();
    ++i;
  }
  UnbindDrawTexture();
}

void ScreenSpriteList::MoveTo(ScreenSprite* sprite, ScreenSprite* target) {
  if (!sprite || !target || sprite == target) return;
  const i32 from = sprites_.IndexOf(sprite);
  const i32 to = sprites_.IndexOf(target);
  if (from < 0 || to < 0) return;
  sprites_.Move(from, to);
}

void ScreenSpriteList::ShowFlyingCoins(i32 amount, float x, float y, float yOffset, u32 delay) {
  if (amount == 0) return;
  auto* label = new ScreenLabel(this, x, y + yOffset);
  label->SetIcon(GetFlyingCoinSprite(), kLabelIconFrame, false, kLabelIconWidth);
  label->SetText(kLabelFont, amount, 3, 0xFFFFFF80u);
  label->StartFly(true, delay, 0.0f);
}

void ScreenSpriteList::ShowFlyingIcon(const PRODUCT* product, i32 amount, float x, float y, float yOffset, u32 delay,
                                      float endOffset, bool secondIcon) {
  if (!product || amount == 0) return;
  auto* label = new ScreenLabel(this, x, y + yOffset);
  label->SetIcon(secondIcon ? product->icon2 : product->icon, kLabelIconFrame, false, kLabelIconWidth);
  label->SetText(kLabelFont, amount, 1, amount < 0 ? 0xFFFF8080u : 0xFFFFFFFFu);
  label->StartFly(amount >= 1, delay, endOffset);
}

void ScreenSpriteList::ShowFlyingText(const wchar* section, const wchar* key, float x, float y) {
  const GameLanguage* language = GetGameLanguage();
  const wchar* text = language ? language->GetTextByName(section, key, false) : nullptr;
  if (!text) return;
  auto* label = new ScreenLabel(this, x, y);
  label->SetSpriteText(kLabelFont, text, 0xFFFFFFFFu);
  label->StartFly(true, 0, 0.0f);
}

// ScreenSpriteList - the level's head-up display: every screen sprite of the
// level in drawing order (owned), the mouse-sensitive ones in creation order,
// the one under the pointer, and the flying labels (owned).
//
// The level offers each mouse event to it after the window stack declined
// it and before its own objects see it; calls UpdateAll once per frame,
// DrawAll after its objects, and RelayoutAll after the view changed size.
//
// Hover goes to the sprite created last among those under the pointer that
// the running tutorial lets the player hover (action 100); nothing is
// hovered while a window is active or the pointer is off the level view. A
// press is taken whenever a sprite is hovered, but only starts when the
// sprite has no press running, no click cooldown and the button is in its
// mask; the release of that button clicks it when pressed or disabled. A
// click callback may delete its own sprite.
#pragma once

#include "base/List.h"
#include "base/Types.h"

class ActiveScreenSprite;
class ScreenLabel;
class ScreenSprite;
class Sprite;
struct PRODUCT;

class ScreenSpriteList {
 public:
  ScreenSpriteList() = default;
  ScreenSpriteList(const ScreenSpriteList&) = delete;
  ScreenSpriteList& operator=(const ScreenSpriteList&) = delete;
  ~ScreenSpriteList();  // DeleteAll

  // Deletes every sprite, then every label, last first; nothing is hovered.
  void DeleteAll();
  // Every mouse-sensitive sprite asks again whether it is enabled, the one
  // made last first (after the level's money or locks changed unseen).
  void RefreshEnabled();
  void UpdateHover(i32 x, i32 y);
  bool MouseDown(i32 x, i32 y, u32 button, u32 keys);
  void MouseUp(i32 x, i32 y, u32 button, u32 keys);
  void UpdateAll();
  void RelayoutAll();
  void DrawAll();
  // Moves the sprite to the target's place in the drawing order.
  void MoveTo(ScreenSprite* sprite, ScreenSprite* target);

  // A coin with the amount rising from (x, y + yOffset); nothing for 0.
  void ShowFlyingCoins(i32 amount, float x, float y, float yOffset, u32 delay);
  // The product's icon (its record's second icon when asked) with the
  // amount: rising for 1 or more, else sinking.
  void ShowFlyingIcon(const PRODUCT* product, i32 amount, float x, float y, float yOffset, u32 delay,
                      float endOffset, bool secondIcon = false);
  // The language's text of the section and key, outlined, rising from
  // (x, y); nothing when the language has no such text.
  void ShowFlyingText(const wchar* section, const wchar* key, float x, float y);

  // What sprites and labels call as they come and go.
  void AddSprite(ScreenSprite* sprite) { sprites_.Add(sprite); }
  void RemoveSprite(ScreenSprite* sprite) { sprites_.Remove(sprite); }
  void AddActive(ActiveScreenSprite* sprite) { active_.Add(sprite); }
  void RemoveActive(ActiveScreenSprite* sprite) { active_.Remove(sprite); }
  void AddLabel(ScreenLabel* label) { labels_.Add(label); }
  void RemoveLabel(ScreenLabel* label) { labels_.Remove(label); }
  ActiveScreenSprite* GetHovered() const { return hovered_; }
  void SetHovered(ActiveScreenSprite* sprite) { hovered_ = sprite; }

  const kis::list<ScreenSprite*>& Sprites() const { return sprites_; }
  const kis::list<ActiveScreenSprite*>& Active() const { return active_; }
  const kis::list<ScreenLabel*>& Labels() const { return labels_; }

 private:
  bool MayHover(ActiveScreenSprite* sprite, i32 x, i32 y) const;

  kis::list<ScreenSprite*> sprites_;
  kis::list<ActiveScreenSprite*> active_;
  ActiveScreenSprite* hovered_ = nullptr;
  kis::list<ScreenLabel*> labels_;
};

// The coin of the flying money labels (set 2, "small_ico_coin"), looked up once.
Sprite* GetFlyingCoinSprite();

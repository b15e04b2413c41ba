// ScreenSpriteHost and ScreenSpriteOwner - what the head-up display's
// sprites ask of the level they stand on, and of the object that made them.
//
// The level scene implements ScreenSpriteHost and puts itself into the game
// services (GameServices::hud) while it runs; a screen sprite made while no
// host is set belongs to no list. Positions are level coordinates unless
// said otherwise; screen positions are pixels of the game area.
//
// A ScreenSpriteOwner is what a level point or level object hands to its
// sprites' callbacks: the price a price button shows the player, and the
// word that a coloured icon has been marked for removal.
#pragma once

#include "base/Types.h"
#include "engine/DXLDrawTypes.h"

class ScreenSprite;
class ScreenSpriteList;

class ScreenSpriteHost {
 public:
  virtual ~ScreenSpriteHost() = default;
  // The level's screen-sprite list (new sprites register with it).
  virtual ScreenSpriteList* GetScreenSprites() = 0;
  // The level's view transform: level coordinates to screen pixels.
  virtual const DXLMATRIX& GetViewTransform() const = 0;
  // Whether the view is zoomed (scaling on) and by how much.
  virtual bool IsViewScaling() const = 0;
  virtual float GetViewScale() const = 0;
  virtual void MapToScreen(float x, float y, float* sx, float* sy) const = 0;
  virtual void ScreenToMap(float sx, float sy, float* x, float* y) const = 0;
  // The pointer position the level keeps (level coordinates), and whether
  // it is over the level view.
  virtual void GetPointer(i32* x, i32* y) const = 0;
  virtual bool IsPointerOverView() const = 0;
  // The level panel's rectangle in screen pixels (false without a panel)
  // and the screen line above which price and arrow buttons stand.
  virtual bool GetPanelRect(DXLRECT* out) const = 0;
  virtual i32 GetPanelLine() const = 0;
  // The level's money is at least `amount`.
  virtual bool HasMoney(i32 amount) const = 0;
};

// The running level's host; null outside levels.
ScreenSpriteHost* GetScreenSpriteHost();

class ScreenSpriteOwner {
 public:
  virtual ~ScreenSpriteOwner() = default;
  // The price its price buttons ask (IsPriceUnaffordable).
  virtual i32 GetScreenPrice() const { return 0; }
  // A sprite of its own was marked to go (SSColorIcon).
  virtual void OnScreenSpriteRemoving(ScreenSprite* /*sprite*/) {}
};

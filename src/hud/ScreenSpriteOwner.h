// ScreenSpriteOwner - what a level point or level object hands to its head-up
// display sprites' callbacks: the price a price button shows the player, and
// the word that a coloured icon has been marked for removal. The running
// level the sprites stand on is the resource services' running level (resources/CurrentLevel.h).
#pragma once

#include "base/Types.h"

class ScreenSprite;

class ScreenSpriteOwner {
 public:
  virtual ~ScreenSpriteOwner() = default;
  // The price its price buttons ask (IsPriceUnaffordable).
  virtual i32 GetScreenPrice() const { return 0; }
  // A sprite of its own was marked to go (SSColorIcon).
  virtual void OnScreenSpriteRemoving(ScreenSprite* /*sprite*/) {}
};

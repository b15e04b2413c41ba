// LevelLabels - what the level asks of its head-up display: the flying
// labels that rise from (or sink into) a point of the map when money is
// earned or goods are stored or used. HudLabels answers it with the
// level's screen-sprite list; tests record the calls.
//
// Positions are level coordinates; the label stands at (x, y + yOffset)
// and starts after `delay` ms. An amount of 0 shows nothing.
#pragma once

#include "base/Types.h"

struct PRODUCT;

class LevelLabels {
 public:
  virtual ~LevelLabels() = default;
  // The product's icon with the amount: rising for a positive amount,
  // sinking for a negative one; endOffset moves where the flight ends.
  virtual void ShowFlyingIcon(const PRODUCT* product, i32 amount, float x, float y, float yOffset, u32 delay,
                              float endOffset) = 0;
  // A coin with the amount, rising.
  virtual void ShowFlyingCoins(i32 amount, float x, float y, float yOffset, u32 delay) = 0;
  // The language's image of the section and key, rising from (x, y).
  virtual void ShowFlyingImage(const wchar* section, const wchar* key, float x, float y) = 0;
};

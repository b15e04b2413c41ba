// HudPointSprites - the level points' head-up display sprites made as the
// window toolkit's screen sprites: progress lines (SSProgressLine), stars
// (SSStars), price buttons (ASSPriceButton, greyed while the level's
// money is short of the price, its icon among the icons of sprite set 2)
// and arrow buttons (ASSArrowButton).
// Each one is both the screen sprite, registered with the running level's
// screen-sprite list, and the PointSprite its point keeps: deleting it takes
// it off the display, and one hidden for removal is deleted by the list.
// The level scene installs one in the map's hooks (LevelMapHooks::sprites).
#pragma once

#include "level/map/PointSprites.h"

class HudPointSprites : public PointSprites {
 public:
  PointSprite* MakeProgressLine(i32 x, i32 y, i32 width, u32 mode) override;
  PointSprite* MakeStars(i32 x, i32 y, i32 maximum, i32 count) override;
  PointSprite* MakePriceButton(u32 code, i32 x, i32 y, const wchar* icon, u32 price, BaseLevelPoint* owner,
                               PointClickProc onClick) override;
  // An ASSArrowButton: icon and arrow among the icons of sprite set 2, the
  // glow among the effect sprites.
  PointSprite* MakeArrowButton(u32 code, i32 x, i32 y, const wchar* icon, const wchar* arrow, const wchar* glow,
                               float glowScale, u32 glowColor, BaseLevelPoint* owner, PointClickProc onClick) override;
};

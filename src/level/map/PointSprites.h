// PointSprite and PointSprites - the head-up display sprites a level point
// shows over the map: the progress line of its work, its stars, the price
// button that offers to clear an empty place and the repair arrow. The
// level's screen-sprite list runs them; this is all a point asks of it. The
// scene installs HudPointSprites, which makes them as the window toolkit's
// screen sprites; tests of the points use a fake.
//
// Show and hide take the styles of the screen sprites: bit 1 fade, bit 2
// scale, bit 4 pop (the points use 3, 4 and 5). A sprite hidden with
// removeWhenHidden is deleted by the list once hidden: its maker forgets it.
// Deleting a sprite takes it off the display at once.
#pragma once

#include "base/Types.h"

class BaseLevelPoint;
class PointSprite;

// Show and hide styles.
constexpr u32 kSpriteFade = 1;
constexpr u32 kSpriteScale = 2;
constexpr u32 kSpritePop = 4;
constexpr u32 kSpriteShowTime = 200;  // ms of the points' show and hide effects

// A click on a point's button: the answer bits of the screen sprites (1 the
// button goes, 2 the click sound plays).
using PointClickProc = u32 (*)(PointSprite* sprite, BaseLevelPoint* owner);

class PointSprite {
 public:
  virtual ~PointSprite() = default;
  virtual void Show(bool instant, u32 delay, u32 style, u32 duration) = 0;
  virtual void Hide(bool removeWhenHidden, bool instant, u32 delay, u32 style, u32 duration) = 0;
  virtual void SetProgress(float percent) = 0;  // progress lines; others ignore it
};

class PointSprites {
 public:
  virtual ~PointSprites() = default;
  // A progress line of the width at (x, y): mode 1 fills up, 0 drains.
  virtual PointSprite* MakeProgressLine(i32 x, i32 y, i32 width, u32 mode) = 0;
  // `count` stars of `maximum` at (x, y).
  virtual PointSprite* MakeStars(i32 x, i32 y, i32 maximum, i32 count) = 0;
  // A price button (code: its four-letter action code) showing the icon
  // sprite of that name and the price, anchored to the point; a click calls
  // the procedure with the point.
  virtual PointSprite* MakePriceButton(u32 code, i32 x, i32 y, const wchar* icon, u32 price, BaseLevelPoint* owner,
                                       PointClickProc onClick) = 0;
  // An arrow button (code: its action code) over (x, y): the icon sprite on
  // a round button with the arrow sprite under it, a glow of the glow
  // sprite at the scale in the colour pulsing behind it; anchored to the
  // point, a click calls the procedure with the point. Null where a list
  // makes no such buttons.
  virtual PointSprite* MakeArrowButton(u32 /*code*/, i32 /*x*/, i32 /*y*/, const wchar* /*icon*/,
                                       const wchar* /*arrow*/, const wchar* /*glow*/, float /*glowScale*/,
                                       u32 /*glowColor*/, BaseLevelPoint* /*owner*/, PointClickProc /*onClick*/) {
    return nullptr;
  }
};

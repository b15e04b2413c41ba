// JobIcon and JobSprites - the head-up display sprites of the characters'
// jobs: the small coloured icon marking where a job will happen, and the
// progress line over the player while she works. The level's screen-sprite
// list makes them; until the level scene (issue 37, L5) installs one over
// the window toolkit's sprites, tests use a fake.
//
// Styles as in PointSprites.h; a sprite hidden with removeWhenHidden belongs
// to the list from then on.
#pragma once

#include "base/Types.h"
#include "level/map/PointSprites.h"

class Sprite;

class JobIcon : public PointSprite {
 public:
  virtual void SetOffset(i32 dx, i32 dy) = 0;  // the picture moved from its anchor
};

class JobSprites {
 public:
  virtual ~JobSprites() = default;
  // An icon of the sprite in the colour at (x, y), shown at once, with the
  // 200-ms build effect when asked.
  virtual JobIcon* MakeJobIcon(i32 x, i32 y, Sprite* sprite, u32 color, bool buildEffect) = 0;
  // A progress line of the width at (x, y): mode 1 fills up.
  virtual PointSprite* MakeProgressLine(i32 x, i32 y, i32 width, u32 mode) = 0;
};

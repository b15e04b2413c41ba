// LevelScreenSprites - the head-up display's sprites over the map as the
// scene runs them: hover, the mouse's buttons, their update and drawing
// (the hovered one last, then the flying labels), their layout after a
// change of screen size, and the cursor of the hovered one. Positions are
// level coordinates. The window toolkit's screen-sprite list (issue 31, W4)
// implements it; until then tests use a fake.
#pragma once

#include "base/Types.h"

class LevelScreenSprites {
 public:
  virtual ~LevelScreenSprites() = default;
  virtual void UpdateHover(i32 x, i32 y) = 0;
  virtual bool MouseDown(i32 x, i32 y, u32 button) = 0;  // true: taken
  virtual bool MouseUp(i32 x, i32 y, u32 button) = 0;
  virtual void UpdateAll(u32 ms) = 0;
  virtual void DrawAll() = 0;
  virtual void RelayoutAll() = 0;
  virtual void RefreshEnabled() = 0;  // every active sprite, last first
  virtual void Clear() = 0;           // every sprite and flying label gone
  // The hovered sprite's cursor; false when none is hovered.
  virtual bool GetCursor(u32* cursor) const = 0;
};

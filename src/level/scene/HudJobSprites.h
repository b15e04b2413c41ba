// HudJobSprites - the characters' job sprites made as the window toolkit's
// screen sprites: the job's icon on a plate of its colour (SSColorIcon,
// moved by its offset when icons share a place) and the player's progress
// line (as the points' one). Each registers with the running level's
// screen-sprite list, which deletes one hidden for removal.
#pragma once

#include "level/scene/HudPointSprites.h"
#include "level/characters/JobSprites.h"

class HudJobSprites : public JobSprites {
 public:
  JobIcon* MakeJobIcon(i32 x, i32 y, Sprite* sprite, u32 color, bool buildEffect) override;
  PointSprite* MakeProgressLine(i32 x, i32 y, i32 width, u32 mode) override {
    return lines_.MakeProgressLine(x, y, width, mode);
  }

 private:
  HudPointSprites lines_;
};

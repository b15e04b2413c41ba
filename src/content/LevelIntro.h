// One block of a level's information window (LEVELINFO::intro,
// LevelInfo.h): a picture, an item or a separator.
#pragma once

#include "base/Types.h"

struct INFOENTRY {
  u32 blockKind;  // 0 picture, 1 item, 2 wide separator, 3 thin separator
  u32 itemKind;   // 0 custom, 1 plant, 2 building, 3 bonus
  wchar itemName[32];
  wchar textKey[32];
  wchar spriteName[32];
  wchar imageName[32];
  i32 imageX;
  i32 imageY;
  i32 spaceBefore;
  i32 spaceAfter;
};

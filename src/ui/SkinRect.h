// SKINRECT - one piece of a skin: a source rectangle of an image with four
// border widths, so that it draws as fixed caps around a stretchable or
// repeatable middle, and the source steps between the visual states of a
// control. Fifteen plain words, passed by value.
#pragma once

#include <cstdint>

#include "base/Types.h"

class DXLTexture;

// The image argument that stands for the game's "interface" image
// (ResourceServices::interfaceImage) at the time the record is made.
inline DXLTexture* const kInterfaceImage = reinterpret_cast<DXLTexture*>(~uintptr_t{0});

struct SKINRECT {
  i32 x;
  i32 y;
  i32 right;   // x + width
  i32 bottom;  // y + height
  DXLTexture* image;
  i32 width;
  i32 height;
  i32 left;          // border widths
  i32 top;
  i32 rightBorder;
  i32 bottomBorder;
  i32 middleWidth;   // width less both borders, 0 or more
  i32 middleHeight;
  i32 stepX;         // source offset from one visual state to the next
  i32 stepY;

  // A piece with borders. w or h of -1 takes the image's size (0 without an
  // image), other negative sizes 0. Borders are cut to the size and raised to
  // 0; borders that leave no middle share the size in their proportion.
  static SKINRECT InitSliced(i32 x, i32 y, i32 w, i32 h, i32 left, i32 right, i32 top, i32 bottom, i32 stepX,
                             i32 stepY, DXLTexture* image);
  // A piece without borders: its middle is all of it.
  static SKINRECT InitPlain(i32 x, i32 y, i32 w, i32 h, i32 stepX, i32 stepY, DXLTexture* image);

  bool HasImage() const { return image != nullptr; }
};

// SkinTable - every piece the window toolkit and the level panel cut from
// the interface pictures of sprite set 1 ("interface", the level panel's
// "level" sheet, the hint balloon and the hint separator), gathered in one
// table: where the piece lies, how its state frames follow each other, and
// which columns and rows the slicing stretches or repeats. The builder draws
// each frame inside its rectangle (nothing crosses into a neighbour) and
// makes every stretched column, and every repeated row, alike, so that a
// window of any size shows the piece's ends whole and its middle unbroken;
// the data tests cut the built pictures by this same table.
//
// The rectangles are the ones the toolkit and the panel code use: keep the
// two in step when either changes.
#pragma once

#include <string>
#include <vector>

#include "base/Types.h"

// Columns (or rows) [from, to) of a frame.
struct SkinSpan {
  i32 from = 0;
  i32 to = 0;
};

struct SkinPiece {
  std::string key;    // what the piece is, unique; chooses its drawing
  std::string image;  // the picture of set 1 it lies on
  i32 x = 0, y = 0;   // the first frame's top left
  i32 frameWidth = 0, frameHeight = 0;
  u32 frames = 1;
  bool states = true;        // the frames show states: no two alike
  i32 stepX = 0, stepY = 0;  // frame i lies at (x + i stepX, y + i stepY)
  // The borders the slicing keeps whole (0 where it cuts none): the ends of
  // the piece are drawn inside them.
  i32 left = 0, right = 0, top = 0, bottom = 0;
  std::vector<SkinSpan> flatColumns;  // stretched or repeated: every column alike
  std::vector<SkinSpan> flatRows;     // likewise for rows

  // The rectangle of every frame together.
  i32 Right() const { return x + static_cast<i32>(frames - 1) * stepX + frameWidth; }
  i32 Bottom() const { return y + static_cast<i32>(frames - 1) * stepY + frameHeight; }
};

struct SkinImage {
  std::string name;  // a sprite of set 1 (tools/data/names.txt)
  u32 width = 0, height = 0;
};

constexpr u32 kSkinSpriteSet = 1;

const std::vector<SkinImage>& SkinImages();
const std::vector<SkinPiece>& SkinPieces();

// A line of pixels just beyond a frame's edge where a flat span reaches that
// edge, in no piece: linear filtering of a stretched piece reads half a
// texel past its ends, so the builder repeats the edge line there, or the
// stretched middle would fade into the transparent gap (a smear as wide as
// half a stretched texel).
struct SkinBleed {
  i32 x = 0, y = 0;          // the line's first pixel, beyond the frame
  i32 fromX = 0, fromY = 0;  // the first pixel of the edge line it repeats
  i32 length = 0;
  bool row = false;          // a row beyond the top or bottom, else a column
};
std::vector<SkinBleed> SkinBleeds(const std::string& image);

// SkinPictures - the pictures of sprite set 1 that the pieces of the skin
// table (ui/SkinTable.h) lie on, and the size the builder gives each. The
// builder draws each frame of a piece inside its rectangle (nothing crosses
// into a neighbour) and makes every stretched column, and every repeated
// row, alike, so that a window of any size shows the piece's ends whole and
// its middle unbroken; the data tests cut the built pictures by the same
// table.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "base/Types.h"
#include "ui/SkinTable.h"

struct SkinImage {
  std::string name;  // a sprite of set 1 (tools/data/names.txt)
  u32 width = 0, height = 0;
};

constexpr u32 kSkinSpriteSet = 1;

const std::vector<SkinImage>& SkinImages();
// Every piece of the skin table.
inline std::span<const SkinPiece* const> SkinPieces() { return skins::kAll; }

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

// ControlSkins - the source rectangles that the scroll bar, the combo box
// with its drop-down list and the level information window cut from the
// skin images, with their borders, in one table so that the interface art
// can be drawn to match them. "interface" is the game's interface image;
// "info" is the picture of that name in sprite set 1.
#pragma once

#include "base/Types.h"
#include "ui/SkinRect.h"

struct SKINSOURCE {
  i32 x;
  i32 y;
  i32 width;
  i32 height;
  i32 left;  // borders (0 when the piece has none)
  i32 top;
  i32 right;
  i32 bottom;
};

namespace skins {

// --- "interface" -----------------------------------------------------------------------
// Scroll bar: the up arrow (4 frames of 35 x 37 downwards, 1 apart), the
// down arrow (4 frames of 35 x 35), the thumb (3 frames of 35 x 64 side by
// side, 2 apart, caps of 9 and 11 around a 44-pixel tile).
constexpr SKINSOURCE kScrollUpArrow{563, 634, 35, 151, 0, 0, 0, 0};
constexpr SKINSOURCE kScrollDownArrow{391, 823, 35, 143, 0, 0, 0, 0};
constexpr SKINSOURCE kScrollThumb{760, 904, 109, 64, 0, 9, 0, 11};
// Combo box: 4 frames of 54 x 37 downwards, 2 apart, caps 11 and 39.
constexpr SKINSOURCE kComboBox{967, 0, 54, 154, 11, 0, 39, 0};
// The drop-down list's nine-slice frame.
constexpr SKINSOURCE kComboList{618, 165, 89, 83, 20, 17, 65, 21};

// --- "info" ----------------------------------------------------------------------------
constexpr SKINSOURCE kInfoFrame{0, 0, 42, 103, 19, 17, 19, 22};
constexpr SKINSOURCE kInfoItemRow{44, 0, 88, 49, 66, 0, 18, 0};
// The close button: 3 frames of 26 x 27 side by side.
constexpr SKINSOURCE kInfoClose{44, 51, 78, 27, 0, 0, 0, 0};
constexpr SKINSOURCE kInfoWideSeparator{44, 80, 36, 16, 16, 0, 16, 0};
constexpr SKINSOURCE kInfoThinSeparator{44, 98, 36, 4, 16, 0, 16, 0};
constexpr SKINSOURCE kInfoLevelDivider{124, 51, 16, 45, 0, 0, 0, 0};

}  // namespace skins

// The piece as a skin of an image (kInterfaceImage for "interface").
inline SKINRECT SkinOf(const SKINSOURCE& s, DXLTexture* image) {
  return SKINRECT::InitSliced(s.x, s.y, s.width, s.height, s.left, s.right, s.top, s.bottom, 0, 0, image);
}

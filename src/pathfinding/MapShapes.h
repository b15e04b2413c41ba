// MapShapes - the hit shapes of one map object, and the shape descriptions
// they are built from.
//
// A description (SHAPEDESC) is a rectangle, circle, ellipse, two-angle
// triangle or diamond in the object's own coordinates. MakeMapShape mirrors it
// left-right when asked, moves it to the object's position and files it by the
// level's tiles of 256 x 128 map units. A set lives in the level's tile cells
// (tile mode) or, as a whole, in the level's global list (global mode); Clear
// takes it out again. Descriptions that are invalid, empty or off the level
// take no slot; a description whose placed corners would not fit their 16-bit
// fields is refused rather than wrapped.
#pragma once

#include <cstdint>

#include "base/Types.h"
#include "pathfinding/ShapeHost.h"

enum : u32 {
  SHAPE_RECT = 0,
  SHAPE_CIRCLE = 1,
  SHAPE_ELLIPSE = 2,
  SHAPE_TRIANGLE = 3,
  SHAPE_DIAMOND = 4,
};

// Kind and seven parameter words. Rectangle: left, top, right, bottom (i32).
// Circle: centre x, y, radius. Ellipse: centre x, y, radius x, y. Triangle:
// corners A, B, C as packed (x, y) i16 pairs, then axis and half opening at A
// and at B (f32 degrees). Diamond: corners A..D, axis, half opening.
struct SHAPEDESC {
  u32 kind;
  u32 words[7];
};

struct SHAPERECT {
  i32 left, top, right, bottom;
};

struct MAPSHAPE {
  SHAPEDESC desc;      // placed: offset and mirroring applied
  uintptr_t owner;     // given by the creator
  i32 tileLeft, tileTop, tileRight, tileBottom;  // inclusive; (0, 0, -1, -1) in global mode
  u32 extra;
};

void SetShapeEllipse(SHAPEDESC* desc, i32 cx, i32 cy, i32 rx, i32 ry);
void ShapeBounds(const SHAPEDESC* desc, SHAPERECT* out);  // empty for an unknown kind
bool ShapeContainsPoint(const SHAPEDESC* desc, i32 x, i32 y);
// False when the description is invalid, empty or (in tile mode) off the level's tiles.
bool MakeMapShape(MAPSHAPE* out, u32 global, const SHAPEDESC* desc, i32 dx, i32 dy, u32 mirror,
                  const ShapeHost& host);

// Float angle and packed-corner helpers of the descriptions.
float ShapeWordFloat(u32 word);
u32 ShapeFloatWord(float value);

class MapShapes {
 public:
  using Callback = void (*)(MapShapes* set, u32 tag);

  explicit MapShapes(ShapeHost* host) : host_(host) {}
  ~MapShapes() { Clear(); }
  MapShapes(const MapShapes&) = delete;
  MapShapes& operator=(const MapShapes&) = delete;

  // Tile mode (global 0) places the shapes at the offset; global mode applies
  // no offset and keeps the callback and tag instead.
  void Create(u32 global, const SHAPEDESC* descs, u32 count, i32 offsetX, i32 offsetY, u32 mirror, uintptr_t owner,
              Callback callback = nullptr, u32 tag = 0);
  void Clear();

  u32 GetGlobal() const { return global_; }
  u32 GetCount() const { return count_; }
  MAPSHAPE* GetShape(u32 index) const { return index < count_ ? &shapes_[index] : nullptr; }
  Callback GetCallback() const { return callback_; }
  u32 GetTag() const { return tag_; }

 private:
  u32 global_ = 0;
  u32 count_ = 0;
  MAPSHAPE* shapes_ = nullptr;
  Callback callback_ = nullptr;
  u32 tag_ = 0;
  ShapeHost* host_;
};

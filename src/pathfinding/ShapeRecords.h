// The plain records of the path finder's obstacle world. All are owned and
// freed by shpf::PathFinder; the lists hold pointers and never own items.
//
// Coordinates of registered shapes are 16-bit. Inflated grid-shape rectangles
// and their corners are kept in 32 bits so that a shape near the 16-bit limit
// grown by a footprint cannot wrap; outline vertices always lie inside the
// walkable bounds and fit 16 bits.
#pragma once

#include "base/List.h"
#include "base/Types.h"

namespace shpf {

struct _SHAPE;
struct _GRIDSHAPE;
struct _MULTISHAPE;
struct _MSPOINT;
struct _SHAPEGRID;

// Packs two 16-bit values into one word: low half x, high half y.
inline u32 PackPair(i32 x, i32 y) { return static_cast<u32>(static_cast<u16>(x)) | (static_cast<u32>(static_cast<u16>(y)) << 16); }
inline i16 PairX(u32 pair) { return static_cast<i16>(pair & 0xFFFF); }
inline i16 PairY(u32 pair) { return static_cast<i16>(pair >> 16); }

// Side-mask bits of corners and vertices.
constexpr u8 kSideLeft = 1;
constexpr u8 kSideTop = 2;
constexpr u8 kSideRight = 4;
constexpr u8 kSideBottom = 8;

// One registered obstacle rectangle.
struct _SHAPE {
  i16 left, top, right, bottom;  // left <= right, top <= bottom
  u32 mask;                      // 0: in every grid; else grids sharing a bit
  i16 cellLeft, cellTop, cellRight, cellBottom;  // union of its grid shapes' cell ranges (end exclusive)
};

// One corner of a grid shape: the free pixel diagonally outside it.
struct _GSCORNER {
  i32 x, y;
  u8 index;        // 0 top-left, 1 top-right, 2 bottom-right, 3 bottom-left
  u8 borderFlags;  // bound edges that clip it: 4 left, 1 right, 8 top, 2 bottom
  u8 sideMask;
};

// A shape inflated by one grid's footprint.
struct _GRIDSHAPE {
  i32 left, top, right, bottom;
  u32 stamp;
  _SHAPE* source;
  i16 cellLeft, cellTop, cellRight, cellBottom;  // end exclusive
  _MULTISHAPE* multiShape;
  _GSCORNER corners[4];
};

// A neighbour of an outline vertex in one walking direction.
struct _MSLINK {
  _MSPOINT* point;  // none where the ring is cut open by the bounds
  i16 length;
};

// A vertex of an outline ring.
struct _MSPOINT {
  i16 x, y;
  _MSLINK link[2];  // [1]: the group on the walker's right; [0]: on its left
  u8 corner;        // 1..4 at a convex corner of the group (a waypoint), else 0
  u8 boundCorner;   // 1..4 for a vertex made where the bounds cut the ring
  u8 sideMask;
  i16 outline;      // number of its ring, from 1
  _MULTISHAPE* multiShape;
};

using PointList = kis::list<_MSPOINT*>;

// A connected group of grid shapes with its outline rings.
struct _MULTISHAPE {
  kis::list<_GRIDSHAPE*> members;
  kis::list<PointList*> outlines;
};

// One cell of a grid's bucket index.
struct _GRIDCELL {
  kis::list<_GRIDSHAPE*> shapes;
  PointList points;
};

// One walker footprint: the shapes inflated by it, grouped and outlined.
struct _SHAPEGRID {
  u32 id;
  u32 mask;
  i16 footLeft, footTop, footRight, footBottom;  // each at least 0
  u32 stamp;
  u32 version;
  i16 boundLeft, boundTop, boundRight, boundBottom;  // walkable positions, half-open
  _GRIDCELL* cells;                                  // columns x rows, row-major
  kis::list<_MULTISHAPE*> multiShapes;
  kis::list<_GRIDSHAPE*> pending;
  bool changed;  // content changed inside an update bracket
};

}  // namespace shpf

// ObstacleSet - a map object's footprint rectangles in the level's path
// finder, so that characters walk round the object.
//
// Create places the descriptions (mirrored and offset) and registers those
// whose mask has any of bits 29 to 31, all in one update bracket so the finder
// merges and outlines once. Clear withdraws them in one bracket. Coordinates
// are clamped into the finder's 16-bit range, never wrapped.
#pragma once

#include "base/Types.h"
#include "pathfinding/ShapeHost.h"

namespace shpf {
class PathFinder;
struct _SHAPE;
}  // namespace shpf

struct OBSTACLEDESC {
  u32 mask;
  i32 x, y, width, height;
};

struct OBSTACLE {
  u32 mask;
  i32 x, y, width, height;         // after mirroring and offset
  i32 left, top, right, bottom;    // x, y, x + width, y + height
  shpf::_SHAPE* shape;             // registered shape, or null
};

enum : u32 {
  OBSTACLE_MIRROR = 1,         // mirror left-right
  OBSTACLE_NO_REGISTER = 2,    // keep the entries, put nothing into the finder
  OBSTACLE_CLEAR_BIT31 = 4,    // clear bit 31 of the mask before registering
};

// Adds a rectangle to the finder with each value clamped to 16 bits.
shpf::_SHAPE* AddGridRect(shpf::PathFinder* finder, i32 left, i32 top, i32 right, i32 bottom, u32 mask);

class ObstacleSet {
 public:
  explicit ObstacleSet(ShapeHost* host) : host_(host) {}
  ~ObstacleSet() { Clear(); }
  ObstacleSet(const ObstacleSet&) = delete;
  ObstacleSet& operator=(const ObstacleSet&) = delete;

  void Create(const OBSTACLEDESC* descs, u32 count, i32 offsetX, i32 offsetY, u32 flags);
  void Clear();

  u32 GetCount() const { return count_; }
  const OBSTACLE* Get(u32 index) const { return index < count_ ? &entries_[index] : nullptr; }

 private:
  ShapeHost* host_;
  shpf::PathFinder* finder_ = nullptr;
  u32 count_ = 0;
  OBSTACLE* entries_ = nullptr;
};

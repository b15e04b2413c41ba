// ShapeHost - what map-object shapes need of the level that holds them: its
// tile cells (256 x 128 map units each) and global list for hit shapes, and
// its path finder for obstacles. The level's map (LevelMap) implements it.
#pragma once

#include "base/Types.h"

namespace shpf {
class PathFinder;
}

struct MAPSHAPE;
class MapShapes;

class ShapeHost {
 public:
  virtual ~ShapeHost() = default;

  virtual i32 GetTileColumns() const = 0;  // the level's tile range is (0, 0) to these, exclusive
  virtual i32 GetTileRows() const = 0;
  virtual void AddTileShape(i32 column, i32 row, MAPSHAPE* shape) = 0;
  virtual void RemoveTileShape(i32 column, i32 row, MAPSHAPE* shape) = 0;
  virtual void AddGlobalShapes(MapShapes* set) = 0;
  virtual void RemoveGlobalShapes(MapShapes* set) = 0;
  virtual shpf::PathFinder* GetPathFinder() = 0;
};

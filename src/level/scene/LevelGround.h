// LevelGround - a level's ground: the tiles made from the ground records of
// its placements (owned), filed by layer for drawing. Layers 0 and 1 keep
// placement order; 2 and 3 order by the tiles' sequence numbers. A tile
// with effects shows their alpha while they run and opaque white once they
// have ended. The tiles' records come from the game's ground list (none
// without one: the level then has no ground).
#pragma once

#include <memory>
#include <vector>

#include "base/Types.h"
#include "content/GroundList.h"
#include "engine/DXLDrawTypes.h"

struct LEVELINFO;

class LevelGround {
 public:
  LevelGround() = default;
  LevelGround(const LevelGround&) = delete;
  LevelGround& operator=(const LevelGround&) = delete;
  ~LevelGround();  // Clear

  // Every placement of the level's definition as a tile.
  void Place(const LEVELINFO& info);
  // A tile of the record at (x, y) in the layer (above 3: 3); null when none
  // can be made.
  MAPTILE* Add(i32 x, i32 y, u32 layer, const GROUND* record, bool flag);
  void Remove(MAPTILE* tile);  // its effects with it
  void Clear();                // every tile, last first

  // Layer by layer in list order, with the level's transform.
  void Draw(const DXLMATRIX& transform);

  const std::vector<MAPTILE*>& GetLayer(u32 layer) const { return layers_[layer % kGroundLayers]; }
  u32 GetTileCount() const { return static_cast<u32>(tiles_.size()); }

 private:
  std::vector<std::unique_ptr<MAPTILE>> tiles_;
  std::vector<MAPTILE*> layers_[kGroundLayers];
};

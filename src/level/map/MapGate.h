// MapGate - a gate that opens while the player stands near it (within 60
// map pixels of a point 10 below it) and closes again when she leaves. Its
// map sprite's frames run from closed (first) to open (last), the whole way
// in 120 ms (at least 10 ms a frame); the gate moves only while the level
// is not held. A map sprite of one frame never moves.
#pragma once

#include "level/map/SpriteObject.h"

class MapGate : public SpriteObject {
 public:
  MapGate(LevelMap& map, MapSprite* mapSprite, u8 flagByte, i32 x, i32 y);  // standing layer, no owner
  ~MapGate() override = default;

  void Draw() override;

  bool IsNear() const { return near_; }
  i32 GetFrame() const { return frame_; }
  i32 GetTargetFrame() const { return target_; }
  u32 GetTimePerFrame() const { return timePerFrame_; }

 private:
  bool near_ = false;
  i32 frame_ = 0;
  i32 target_ = 0;
  i32 from_ = 0;  // the frame the current run started at
  u32 timePerFrame_ = 10;
  u32 elapsed_ = 0;
};

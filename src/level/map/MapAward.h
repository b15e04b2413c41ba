// MapAward - the easter egg hidden on a level: while it exists it is the
// level's award object and shows the pan cursor. The mouse lights it up;
// a click collects it once: the profile marks the level's egg found, the
// eggs-found award record rises to the profile's count, the egg swells and
// fades away while a label with the egg's picture rises from it.
#pragma once

#include "level/map/SpriteObject.h"

class MapAward : public SpriteObject {
 public:
  MapAward(LevelMap& map, MapSprite* mapSprite, u8 flagByte, i32 x, i32 y);  // standing layer, no owner
  ~MapAward() override;

  void OnRemoved() override;            // the level forgets it
  void AttachToLevel(u32 flags) override;  // always with click shapes
  i32 GetPointIndex() const override;   // lights itself up; belongs to no point
  MapObject* OnClick() override;        // Collect

  void Collect();
};

// DynObject - a map object that moves: the base of the characters. Its
// position is kept in floats; the depth order follows it in whole pixels.
#pragma once

#include "level/map/MapObject.h"

class DynObject : public MapObject {
 public:
  explicit DynObject(LevelMap& map);  // standing layer, kind kObjectDynamic, at (-1, -1)
  ~DynObject() override = default;

  // False when the position is unchanged; else stores it and re-sorts at
  // the rounded position.
  virtual bool MoveTo(float x, float y);

  float GetX() const { return x_; }
  float GetY() const { return y_; }

 protected:
  bool GetSortPosition(i32* x, i32* y) const override;

  float x_ = -1.0f;
  float y_ = -1.0f;
};

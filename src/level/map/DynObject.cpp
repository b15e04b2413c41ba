#include "level/map/DynObject.h"

#include "base/Maths.h"

DynObject::DynObject(LevelMap& map) : MapObject(map, kLayerStanding) { kind_ = kObjectDynamic; }

bool DynObject::MoveTo(float x, float y) {
  if (x == x_ && y == y_) return false;
  x_ = x;
  y_ = y;
  SetPos(kis::RoundToInt(x), kis::RoundToInt(y));
  return true;
}

bool DynObject::GetSortPosition(i32* x, i32* y) const {
  *x = kis::RoundToInt(x_);
  *y = kis::RoundToInt(y_);
  return true;
}

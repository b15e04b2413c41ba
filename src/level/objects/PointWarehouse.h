// PointWarehouse - the level's warehouse: a building of the "warehouse"
// kind whose level is the warehouse stock's storage level (every product's
// capacity). It has no panel: clicking it opens the warehouse window, and
// it is never damaged. Its point kind is 1.
#pragma once

#include "level/objects/PointBuilding.h"

constexpr wchar kWarehouseName[] = u"warehouse";

class PointWarehouse : public PointBuilding {
 public:
  // On the building table's "warehouse"; null without one.
  static PointWarehouse* Create(LevelMap& map);
  ~PointWarehouse() override;

  bool CanBeDamaged() const override { return false; }
  void OnSelect() override {}
  void Select(MapObject* sender) override;  // the warehouse window instead
  // The stock's storage level first, so the capacity rises while the new
  // building still fades in.
  u32 ShowBuilding(bool fade, u32 delay) override;

 private:
  PointWarehouse(LevelMap& map, BUILDING* building);
};

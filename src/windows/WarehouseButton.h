// WarehouseButton - the level panel's button of the warehouse (command
// 0x4c500003): its face from the "level" sheet, the caption hint
// "warehouse", and the warehouse's level out of its maximum.
#pragma once

#include "base/Types.h"
#include "ui/ImageButton.h"

class WarehouseButton : public ImageButton {
 public:
  WarehouseButton(GameWindow* parent, i32 maxLevel);
  // Clamped to 0..maximum.
  void SetLevel(i32 level);
  i32 GetLevel() const { return level_; }
  i32 GetMaxLevel() const { return maxLevel_; }

 private:
  i32 maxLevel_;
  i32 level_ = -1;
};

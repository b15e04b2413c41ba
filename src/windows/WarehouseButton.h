// WarehouseButton - the level panel's button of the warehouse (command
// 0x4c500003): its face from the "level" sheet, the caption hint
// "warehouse", and the warehouse's level out of its maximum as a mark.
#pragma once

#include "base/Types.h"
#include "engine/DXLDrawTypes.h"
#include "ui/ImageButton.h"

class WarehouseButton : public ImageButton {
 public:
  WarehouseButton(GameWindow* parent, i32 maxLevel);
  // Clamped to 0..maximum.
  // Clamped to 0..maximum; a change makes the level mark again.
  void SetLevel(i32 level);
  // The face, then the level mark tinted with the state's colour (faded
  // from the previous state's).
  void DrawFrames() override;
  bool HasMark() const { return hasMark_; }
  i32 GetLevel() const { return level_; }
  i32 GetMaxLevel() const { return maxLevel_; }

 private:
  i32 maxLevel_;
  i32 level_ = -1;
  DXLQUAD mark_{};
  DXLDRAWSTATE markState_{};
  bool hasMark_ = false;
};

#include "windows/WarehouseButton.h"

#include <algorithm>

#include "ui/CaptionHintWindow.h"
#include "windows/LevelPanel.h"
#include "windows/PanelSkins.h"

// Three frames of 79 x 94 side by side; states disabled and normal share
// the first.
WarehouseButton::WarehouseButton(GameWindow* parent, i32 maxLevel)
    : ImageButton(parent, parent ? &parent->Controls() : nullptr, kCommandWarehouse,
                  LevelSheetSliced(245, 1, 239, 94, 0, 0), -1, false, 3, 1, 0, 0, nullptr),
      maxLevel_(std::max(maxLevel, 0)) {
  SetStateFrames(0, {0, 0, 1, 2, 0, 0, 1, 2});
  auto* hint = new CaptionHintWindow(this);
  hint->SetText(PanelText(u"warehouse"));
  SetLevel(0);
}

void WarehouseButton::SetLevel(i32 level) {
  level = std::clamp(level, 0, maxLevel_);
  if (level == level_) return;
  level_ = level;
}

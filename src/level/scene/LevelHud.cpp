#include "level/scene/LevelHud.h"

#include "level/map/BaseLevelPoint.h"
#include "ui/ActiveScreenSprite.h"
#include "ui/ScreenLabel.h"
#include "ui/ScreenSprite.h"

bool LevelHud::MouseUp(i32 x, i32 y, u32 button) {
  list_.MouseUp(x, y, button, 0);
  return false;
}

void LevelHud::RefreshEnabled() {
  const kis::list<ActiveScreenSprite*>& active = list_.Active();
  for (i32 i = active.GetCount() - 1; i >= 0; --i) active[i]->RefreshEnabled();
}

void LevelHud::Clear() {
  while (list_.Sprites().GetCount() > 0) delete list_.Sprites().Last();  // each leaves the list
  while (list_.Labels().GetCount() > 0) delete list_.Labels().Last();
  list_.SetHovered(nullptr);
}

// Over a sprite that answers the mouse: the hand of the points.
bool LevelHud::GetCursor(u32* cursor) const {
  if (!list_.GetHovered()) return false;
  *cursor = kPointCursor;
  return true;
}

// LevelHud - the level's head-up display as the scene drives it
// (LevelScreenSprites) over the window toolkit's screen-sprite list, with
// the flying labels (HudLabels), the level points' sprites
// (HudPointSprites) and the jobs' icons and progress lines (HudJobSprites)
// made on that list.
#pragma once

#include "level/scene/HudLabels.h"
#include "level/scene/HudJobSprites.h"
#include "level/scene/HudPointSprites.h"
#include "level/scene/LevelScreenSprites.h"
#include "ui/ScreenSpriteList.h"

// The toolkit's labels lack the language's flying images (the easter egg's
// text) so far: those show nothing yet.
class HudLevelLabels : public HudLabels {
 public:
  using HudLabels::HudLabels;
  void ShowFlyingImage(const wchar*, const wchar*, float, float) override {}
};

class LevelHud : public LevelScreenSprites {
 public:
  LevelHud() : labels_(&list_) {}

  ScreenSpriteList& List() { return list_; }
  LevelLabels& Labels() { return labels_; }
  PointSprites& Sprites() { return sprites_; }
  JobSprites& Jobs() { return jobs_; }

  void UpdateHover(i32 x, i32 y) override { list_.UpdateHover(x, y); }
  bool MouseDown(i32 x, i32 y, u32 button) override { return list_.MouseDown(x, y, button, 0); }
  bool MouseUp(i32 x, i32 y, u32 button) override;
  void UpdateAll(u32) override { list_.UpdateAll(); }  // a step of the game's time step
  void DrawAll() override { list_.DrawAll(); }
  void RelayoutAll() override { list_.RelayoutAll(); }
  void RefreshEnabled() override;
  void Clear() override;
  bool GetCursor(u32* cursor) const override;

 private:
  ScreenSpriteList list_;
  HudLevelLabels labels_;
  HudPointSprites sprites_;
  HudJobSprites jobs_;
};

// LevelHooks - everything outside the level core that its rules call: the
// scene, the profile, the head-up display's screen-sprite list (its flying
// labels), the game windows' messages, the level panel and the award notices. Each
// is optional: null, and what would have gone there does not happen. The
// rules open their dialogs through the window manager of the toolkit's services.
#pragma once

class AwardNotices;
class LevelInterface;
class LevelProfile;
class LevelScene;
class LevelWindows;
class ScreenSpriteList;

struct LevelHooks {
  LevelScene* scene = nullptr;
  LevelProfile* profile = nullptr;
  ScreenSpriteList* hud = nullptr;
  LevelWindows* windows = nullptr;
  LevelInterface* panel = nullptr;  // the level panel's buttons and time bar
  AwardNotices* awards = nullptr;
};

// LevelHooks - everything outside the level core that its rules call: the
// scene, the profile, the head-up display's labels, the dialogs, the game
// windows, the level panel and the award notices. Each may be null, and
// then what would have gone there does not happen.
#pragma once

class AwardNotices;
class LevelDialogs;
class LevelLabels;
class LevelPanelHooks;
class LevelProfile;
class LevelScene;
class LevelWindows;

struct LevelHooks {
  LevelScene* scene = nullptr;
  LevelProfile* profile = nullptr;
  LevelLabels* labels = nullptr;
  LevelDialogs* dialogs = nullptr;
  LevelWindows* windows = nullptr;
  LevelPanelHooks* panel = nullptr;
  AwardNotices* awards = nullptr;
};

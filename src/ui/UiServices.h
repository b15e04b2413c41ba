// UiServices - the window toolkit's game-wide values: the window manager
// (WindowManager.h) and the level panel the level information window lets
// clicks through over (InfoWindowSources.h). Neither is owned: whoever makes
// one installs it here and takes it out again before deleting it.
// ResetUiServices returns every field to its start (null) and frees nothing.
#pragma once

class LevelPanelArea;
class WindowManager;

struct UiServices {
  WindowManager* windowManager = nullptr;  // made at game set-up, deleted at exit
  // The running level's panel, which the information window lets clicks
  // through over; null while none is shown.
  LevelPanelArea* levelPanel = nullptr;
};

UiServices& GetUiServices();
void ResetUiServices();

#include "ui/InfoWindowSources.h"

namespace {

LevelObjectItems* g_items = nullptr;
LevelPanelArea* g_panel = nullptr;

}  // namespace

void SetLevelObjectItems(LevelObjectItems* items) { g_items = items; }
LevelObjectItems* GetLevelObjectItems() { return g_items; }
void SetLevelPanelArea(LevelPanelArea* panel) { g_panel = panel; }
LevelPanelArea* GetLevelPanelArea() { return g_panel; }

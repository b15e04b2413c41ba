#include "resources/GameServices.h"

#include "engine/DXLApp.h"
#include "gametext/DXLLanguage.h"
#include "gametext/GameMessager.h"
#include "resources/CurrentLevel.h"

namespace {

GameServices& Services() {
  static GameServices services;
  return services;
}

}  // namespace

GameServices& GetGameServices() { return Services(); }

void ResetGameServices() {
  Services() = GameServices{};
  DXLSetLanguageViewer(nullptr);
  SetGameMessagesOff(false);  // no effect runs any more
}

void SetGameViewer(DXLViewer* viewer) {
  Services().viewer = viewer;
  DXLSetLanguageViewer(viewer);
}

DXLViewer* GetGameViewer() { return Services().viewer; }

CurrentLevel* GetCurrentLevel() { return GetGameServices().level; }

u32 GameClock() { return Services().clock; }
u32 GameTimeStep() { return Services().timeStep; }

u32 GameFrameTime() {
  const FrameClockHook hook = Services().frameClock;
  return hook ? hook() : DXLGetTimeMs();
}

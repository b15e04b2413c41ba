#include "resources/GameServices.h"

#include "engine/DXLApp.h"
#include "gametext/TextServices.h"
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
  GetTextServices().languageViewer = nullptr;  // the game viewer's
  GetTextServices().messagesOff = false;       // no effect runs any more
}

void SetGameViewer(DXLViewer* viewer) {
  Services().viewer = viewer;
  GetTextServices().languageViewer = viewer;
}

DXLViewer* GetGameViewer() { return Services().viewer; }

CurrentLevel* GetCurrentLevel() { return GetGameServices().level; }

u32 GameClock() { return Services().clock; }
u32 GameTimeStep() { return Services().timeStep; }

u32 GameFrameTime() {
  const FrameClockHook hook = Services().frameClock;
  return hook ? hook() : DXLGetTimeMs();
}

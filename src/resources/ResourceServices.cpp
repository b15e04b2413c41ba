#include "resources/ResourceServices.h"

#include "engine/DXLApp.h"
#include "gametext/TextServices.h"
#include "resources/CurrentLevel.h"

namespace {

ResourceServices& Services() {
  static ResourceServices services;
  return services;
}

}  // namespace

ResourceServices& GetResourceServices() { return Services(); }

void ResetResourceServices() {
  std::unique_ptr<ResourceRegistries> registries = std::move(Services().registries);
  Services() = ResourceServices{};
  Services().registries = std::move(registries);
  GetTextServices().languageViewer = nullptr;  // the game viewer's
  GetTextServices().messagesOff = false;       // no effect runs any more
}

void SetGameViewer(DXLViewer* viewer) {
  Services().viewer = viewer;
  GetTextServices().languageViewer = viewer;
}

DXLViewer* GetGameViewer() { return Services().viewer; }

CurrentLevel* GetCurrentLevel() { return Services().level; }

u32 GameClock() { return Services().clock; }
u32 GameTimeStep() { return Services().timeStep; }

u32 GameFrameTime() {
  const FrameClockHook hook = Services().frameClock;
  return hook ? hook() : DXLGetTimeMs();
}

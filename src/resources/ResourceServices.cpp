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
  // What live objects hold stays: the registries, the particle spaces'
  // handles (each space leaves by its own) and the deferred-call scopes
  // open (each closes by its own).
  ResourceServices& s = Services();
  std::unique_ptr<ResourceRegistries> registries = std::move(s.registries);
  GPSHandleTable<GPSSpace> spaces = std::move(s.particles.spaces);
  const u32 deferredScopes = s.deferredEffectCalls.depth;
  s = ResourceServices{};
  s.registries = std::move(registries);
  s.particles.spaces = std::move(spaces);
  s.deferredEffectCalls.depth = deferredScopes;
  // The two text fields the resources set (SetGameViewer, GameEffect), put
  // back with them for whoever resets the resources alone.
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

#include "platform/os/PlatformServices.h"

namespace plat {

namespace {

PlatformServices gPlatformServices;

// Calls `f` with a pointer to each field of the services.
template <typename F>
void EachPlatformService(F&& f) {
  f(&PlatformServices::clock);
  f(&PlatformServices::clipboard);
  f(&PlatformServices::windowSystem);
  f(&PlatformServices::messageBoxHook);
  f(&PlatformServices::urlOpenHook);
  f(&PlatformServices::moduleProvider);
  f(&PlatformServices::imageDecoder);
  f(&PlatformServices::presentSink);
  f(&PlatformServices::adapter);
  f(&PlatformServices::lockCall);
  f(&PlatformServices::userFolder);
}

// Every field is a pointer: a new one must join the list above, or no scope
// installs it.
static_assert(sizeof(PlatformServices) == 11 * sizeof(void*), "a field of PlatformServices is missing from the list");

}  // namespace

PlatformServices& GetPlatformServices() { return gPlatformServices; }

void ResetPlatformServices() { gPlatformServices = PlatformServices{}; }

PlatformServicesScope::PlatformServicesScope(const PlatformServices& over) : over_(over) {
  EachPlatformService([this](auto field) {
    if (over_.*field == nullptr) return;
    saved_.*field = gPlatformServices.*field;
    gPlatformServices.*field = over_.*field;
  });
}

PlatformServicesScope::~PlatformServicesScope() {
  EachPlatformService([this](auto field) {
    if (over_.*field != nullptr) gPlatformServices.*field = saved_.*field;
  });
}

}  // namespace plat

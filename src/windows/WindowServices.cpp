#include "windows/WindowServices.h"

namespace {

WindowServices& Services() {
  static WindowServices services;
  return services;
}

}  // namespace

WindowServices& GetWindowServices() { return Services(); }

void ResetWindowServices() {
  MapProfile* const kept = Services().mapProfile;  // its owner takes it out (see WindowServices.h)
  Services() = WindowServices{};
  Services().mapProfile = kept;
}

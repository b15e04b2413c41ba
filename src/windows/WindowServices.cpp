#include "windows/WindowServices.h"

namespace {

WindowServices& Services() {
  static WindowServices services;
  return services;
}

}  // namespace

WindowServices& GetWindowServices() { return Services(); }

void ResetWindowServices() { Services() = WindowServices{}; }

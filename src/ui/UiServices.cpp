#include "ui/UiServices.h"

namespace {

UiServices& Services() {
  static UiServices services;
  return services;
}

}  // namespace

UiServices& GetUiServices() { return Services(); }

void ResetUiServices() { Services() = UiServices{}; }

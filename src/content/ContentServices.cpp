#include "content/ContentServices.h"

namespace {

ContentServices& Services() {
  static ContentServices services;
  return services;
}

}  // namespace

ContentServices& GetContentServices() { return Services(); }

void ResetContentServices() { Services() = ContentServices{}; }

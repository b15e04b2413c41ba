#include "engine/text/EngineTextServices.h"

EngineTextServices& GetEngineTextServices() {
  static EngineTextServices services;  // the one set of the process, reached only through here
  return services;
}

void ResetEngineTextServices() { GetEngineTextServices().handles.Reset(); }

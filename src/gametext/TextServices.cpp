#include "gametext/TextServices.h"

TextServices& GetTextServices() {
  static TextServices services;  // the one set of the process, reached only through here
  return services;
}

void ResetTextServices() { static_cast<TextServiceHooks&>(GetTextServices()) = TextServiceHooks{}; }

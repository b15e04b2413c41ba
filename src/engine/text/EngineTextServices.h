// EngineTextServices - the game-wide state of the engine's text layer: the
// registry of the fonts, textures and quads its mark-up text names
// (DXLTextHandles.h), owned here.
//
// ResetEngineTextServices returns every value to its start: the registry
// forgets every handle (and stops listening to its objects) and counts from
// 1 again. Only tests and tools register anything there, never the game, so
// the game world's reset finds it empty. A new game-wide value of the
// engine's text layer is a new field here, reset in ResetEngineTextServices.
#pragma once

#include "engine/text/DXLTextHandles.h"

struct EngineTextServices {
  DXLTextHandles handles;  // the mark-up handles of every engine text
};

EngineTextServices& GetEngineTextServices();
void ResetEngineTextServices();

// Start-up services the viewer calls before it makes the graphics system:
// the system-information lines of the log with the loading of the utility
// library, and its release at shutdown. These are minimal stand-ins until
// the engine's version probe and library loader take their place; they keep
// the same names and results so the viewer does not change then.
#pragma once

#include "base/Types.h"

// Writes "System:" and "DirectX version:" and makes the utility library
// ready (here: installs the engine's image decoder). 0 on success.
i32 DXLLogSystemInfo();
// Releases the utility library (here: removes the image decoder).
void DXLFreeD3DX();

// The viewer's capability block of an adapter: the graphics system's caps and
// the words the viewer derives from them.
#pragma once

#include "base/Types.h"
#include "platform/gfx/GfxSystem.h"

// An adapter's capabilities and the words derived from them.
struct DXLDEVICECAPS {
  plat::gfx::Caps caps;
  u32 noVSync;           // immediate presentation offered
  u32 sizeNonPow2;       // always 0: textures are made at power-of-two sizes
  u32 colorWriteEnable;  // the colour write mask can be set
  u32 format16;          // 23 (R5G6B5), else 24 (X1R5G5B5) as full-screen format, else 0
};

// Copies the caps and fills the derived words; the 16-bit format is probed on
// a graphics system made for the purpose (0 when none can be made).
void DXLFillDeviceCaps(DXLDEVICECAPS* block, const plat::gfx::Caps& caps);

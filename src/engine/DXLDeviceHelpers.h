// Small helpers on the graphics system and device: the viewer's capability
// block, the texture filter setters, freeing the utility library and the
// system information written into the log at start-up.
#pragma once

#include "base/Types.h"
#include "platform/gfx/GfxDevice.h"
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

// Sampler 0's magnification or minification filter: linear (2) or point (1).
void DXLSetMagFilter(plat::gfx::Device* device, bool linear);
void DXLSetMinFilter(plat::gfx::Device* device, bool linear);

void DXLFreeD3DX();

// Writes "System:" with the system's name and, while the log is open,
// "DirectX version:" (the version, "Not installed" or "Unknown"); then loads
// the utility library and returns that result.
i32 DXLLogSystemInfo();

// The texture filters of sampler 0, as the viewer sets them: linear (2) or
// point (1) for magnification and minification. A null device is left alone.
#pragma once

#include "platform/gfx/GfxDevice.h"

inline void DXLSetMagFilter(plat::gfx::Device* device, bool linear) {
  if (device) device->SetSamplerState(0, plat::gfx::D3DSAMP_MAGFILTER, linear ? 2 : 1);
}

inline void DXLSetMinFilter(plat::gfx::Device* device, bool linear) {
  if (device) device->SetSamplerState(0, plat::gfx::D3DSAMP_MINFILTER, linear ? 2 : 1);
}

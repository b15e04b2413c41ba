#include "engine/DXLDeviceCaps.h"

#include <memory>

#include "engine/image/D3DFormat.h"

void DXLFillDeviceCaps(DXLDEVICECAPS* block, const plat::gfx::Caps& caps) {
  if (!block) return;
  block->caps = caps;
  block->noVSync = (caps.presentationIntervals & plat::gfx::D3DPRESENT_INTERVAL_IMMEDIATE) ? 1 : 0;
  block->colorWriteEnable = (caps.primitiveMiscCaps & plat::gfx::D3DPMISCCAPS_COLORWRITEENABLE) ? 1 : 0;
  block->sizeNonPow2 = 0;
  block->format16 = 0;
  std::unique_ptr<plat::gfx::System> probe = plat::gfx::Direct3DCreate9(plat::gfx::D3D_SDK_VERSION);
  if (!probe) return;
  for (u32 format : {u32{D3DFMT_R5G6B5}, u32{D3DFMT_X1R5G5B5}}) {
    if (!plat::gfx::Failed(probe->CheckDeviceType(0, plat::gfx::D3DDEVTYPE_HAL, format, format, false))) {
      block->format16 = format;
      break;
    }
  }
}

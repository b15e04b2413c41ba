#include "engine/DXLDeviceHelpers.h"

#include "base/SystemInfo.h"
#include "engine/DXLD3DX.h"
#include "engine/DXLDirectXVersion.h"
#include "engine/DXLLog.h"
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

void DXLSetMagFilter(plat::gfx::Device* device, bool linear) {
  if (device) device->SetSamplerState(0, plat::gfx::D3DSAMP_MAGFILTER, linear ? 2 : 1);
}

void DXLSetMinFilter(plat::gfx::Device* device, bool linear) {
  if (device) device->SetSamplerState(0, plat::gfx::D3DSAMP_MINFILTER, linear ? 2 : 1);
}

void DXLFreeD3DX() { DXLUnloadD3DX(); }

i32 DXLLogSystemInfo() {
  wchar name[256];
  kis::GetOSNameW(name, 256, true);
  DXLLogValueW(-1, u"System:", name);
  if (DXLLogIsOpen()) {
    u32 version = 0;
    wchar text[32];
    if (DXLGetDirectXVersion(&version, text, 32) < 0)
      DXLLogValueA(-1, "DirectX version:", "Unknown");
    else if (version > 0)
      DXLLogValueW(-1, u"DirectX version:", text);
    else
      DXLLogValueA(-1, "DirectX version:", "Not installed");
  }
  return DXLLoadD3DX();
}

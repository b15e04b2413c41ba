#include "platform/gfx/GfxSystem.h"

#include <algorithm>
#include <cstring>

#include "platform/gfx/GfxFormats.h"
#include "platform/gfx/GfxRecordingDevice.h"
#include "platform/gfx/GfxSoftDevice.h"
#include "platform/os/PlatformServices.h"

namespace plat::gfx {

SystemSettings DefaultSystemSettings() {
  SystemSettings s;
  const uint32_t sizes[][2] = {{640, 480}, {800, 600}, {1024, 768}, {1152, 864}, {1280, 720}, {1280, 1024}};
  for (const auto& size : sizes) {
    for (uint32_t hz : {60u, 75u}) s.modes.push_back(DisplayMode{size[0], size[1], hz, D3DFMT_X8R8G8B8});
  }
  return s;
}

namespace {

bool g_failNextCreate = false;

bool IsDisplayFormat(uint32_t f) { return f == D3DFMT_X8R8G8B8; }
bool IsBackBufferFormat(uint32_t f) { return f == D3DFMT_X8R8G8B8 || f == D3DFMT_A8R8G8B8; }
bool IsDepthFormat(uint32_t f) { return f == D3DFMT_D24S8 || f == D3DFMT_D24X8 || f == D3DFMT_D16; }

}  // namespace

void FailNextSystemCreate() { g_failNextCreate = true; }

std::unique_ptr<System> Direct3DCreate9(uint32_t sdkVersion) {
  if (g_failNextCreate) {
    g_failNextCreate = false;
    return nullptr;
  }
  if (sdkVersion != D3D_SDK_VERSION) return nullptr;
  const SystemSettings* installed = GetPlatformServices().adapter;
  return std::make_unique<System>(installed != nullptr ? *installed : DefaultSystemSettings());
}

System::System(const SystemSettings& settings) : settings_(settings) {}

HRESULT System::GetAdapterIdentifier(uint32_t adapter, uint32_t /*flags*/, AdapterIdentifier* out) {
  const HRESULT injected = faults_.Take(Op::GetAdapterIdentifier);
  if (Failed(injected)) return injected;
  if (adapter != 0 || !out) return D3DERR_INVALIDCALL;
  *out = AdapterIdentifier{};
  std::strncpy(out->driver, "softraster", sizeof(out->driver) - 1);
  std::strncpy(out->description, "Software Rasteriser", sizeof(out->description) - 1);
  std::strncpy(out->deviceName, "\\\\.\\DISPLAY1", sizeof(out->deviceName) - 1);
  out->driverVersion = (1ull << 48) | (0ull << 32) | (0ull << 16) | 1ull;
  return D3D_OK;
}

HRESULT System::GetDeviceCaps(uint32_t adapter, uint32_t deviceType, Caps* out) {
  const HRESULT injected = faults_.Take(Op::GetDeviceCaps);
  if (Failed(injected)) return injected;
  if (!out) return D3DERR_INVALIDCALL;
  if (adapter != 0) return D3DERR_INVALIDCALL;
  if (deviceType != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
  *out = Caps{};
  out->deviceType = deviceType;
  out->presentationIntervals = D3DPRESENT_INTERVAL_ONE | D3DPRESENT_INTERVAL_IMMEDIATE;
  out->cursorCaps = 1;
  out->devCaps = settings_.hardwareVertexProcessing ? D3DDEVCAPS_HWTRANSFORMANDLIGHT : 0;
  out->primitiveMiscCaps = D3DPMISCCAPS_COLORWRITEENABLE | 0x10 | 0x20 | 0x40;  // cull none, CW, CCW
  out->rasterCaps = 0x01000000;                                               // scissor test
  out->srcBlendCaps = out->destBlendCaps = 0x1FFF;
  out->alphaCmpCaps = 0xFF;
  out->textureCaps = 0x4;  // alpha in textures; any size, no power-of-two rule
  out->textureFilterCaps = 0x0202 | 0x02000000 | 0x01000000;  // point and linear
  out->textureAddressCaps = 0x1F;
  out->stencilCaps = 0xFF;
  out->textureOpCaps = 0x1FFF;
  out->maxTextureWidth = out->maxTextureHeight = 4096;
  out->maxTextureBlendStages = out->maxSimultaneousTextures = 1;
  return D3D_OK;
}

HRESULT System::GetAdapterDisplayMode(uint32_t adapter, DisplayMode* out) {
  const HRESULT injected = faults_.Take(Op::GetAdapterDisplayMode);
  if (Failed(injected)) return injected;
  if (adapter != 0 || !out) return D3DERR_INVALIDCALL;
  *out = settings_.desktop;
  return D3D_OK;
}

uint32_t System::GetAdapterModeCount(uint32_t adapter, uint32_t format) {
  if (adapter != 0) return 0;
  return static_cast<uint32_t>(std::count_if(settings_.modes.begin(), settings_.modes.end(),
                                             [format](const DisplayMode& m) { return m.format == format; }));
}

HRESULT System::EnumAdapterModes(uint32_t adapter, uint32_t format, uint32_t index, DisplayMode* out) {
  const HRESULT injected = faults_.Take(Op::EnumAdapterModes);
  if (Failed(injected)) return injected;
  if (adapter != 0 || !out) return D3DERR_INVALIDCALL;
  for (const DisplayMode& m : settings_.modes) {
    if (m.format != format) continue;
    if (index-- == 0) {
      *out = m;
      return D3D_OK;
    }
  }
  return D3DERR_INVALIDCALL;
}

HRESULT System::CheckDeviceType(uint32_t adapter, uint32_t deviceType, uint32_t displayFormat,
                                uint32_t backBufferFormat, bool windowed) {
  const HRESULT injected = faults_.Take(Op::CheckDeviceType);
  if (Failed(injected)) return injected;
  if (adapter != 0) return D3DERR_INVALIDCALL;
  if (!Known(adapter, deviceType) || !IsDisplayFormat(displayFormat)) return D3DERR_NOTAVAILABLE;
  if (windowed && displayFormat != settings_.desktop.format) return D3DERR_NOTAVAILABLE;
  if (!IsBackBufferFormat(backBufferFormat)) return D3DERR_NOTAVAILABLE;
  return D3D_OK;
}

HRESULT System::CheckDeviceFormat(uint32_t adapter, uint32_t deviceType, uint32_t adapterFormat, uint32_t usage,
                                  uint32_t resourceType, uint32_t format) {
  const HRESULT injected = faults_.Take(Op::CheckDeviceFormat);
  if (Failed(injected)) return injected;
  if (adapter != 0) return D3DERR_INVALIDCALL;
  if (!Known(adapter, deviceType) || !IsDisplayFormat(adapterFormat)) return D3DERR_NOTAVAILABLE;
  if (resourceType == D3DRTYPE_TEXTURE && usage == 0) {
    const auto& refused = settings_.refusedTextureFormats;
    if (std::find(refused.begin(), refused.end(), format) != refused.end()) return D3DERR_NOTAVAILABLE;
    return IsTextureFormat(format) ? D3D_OK : D3DERR_NOTAVAILABLE;
  }
  if (resourceType == D3DRTYPE_SURFACE && usage == D3DUSAGE_DEPTHSTENCIL) {
    return IsDepthFormat(format) ? D3D_OK : D3DERR_NOTAVAILABLE;
  }
  return D3DERR_NOTAVAILABLE;
}

HRESULT System::CheckDeviceMultiSampleType(uint32_t adapter, uint32_t deviceType, uint32_t surfaceFormat,
                                           bool /*windowed*/, uint32_t type, uint32_t* qualityLevels) {
  const HRESULT injected = faults_.Take(Op::CheckDeviceMultiSampleType);
  if (Failed(injected)) return injected;
  if (adapter != 0) return D3DERR_INVALIDCALL;
  if (!Known(adapter, deviceType) || !IsBackBufferFormat(surfaceFormat) || type != D3DMULTISAMPLE_NONE) {
    if (qualityLevels) *qualityLevels = 0;
    return D3DERR_NOTAVAILABLE;
  }
  if (qualityLevels) *qualityLevels = 1;
  return D3D_OK;
}

HRESULT System::CreateDevice(uint32_t adapter, uint32_t deviceType, WindowHandle focusWindow,
                             uint32_t behaviour, PresentParams* params, std::unique_ptr<Device>* out) {
  if (!out) return D3DERR_INVALIDCALL;
  out->reset();
  const HRESULT injected = faults_.Take(Op::CreateDevice);
  if (Failed(injected)) return injected;
  if (!params || adapter != 0) return D3DERR_INVALIDCALL;
  if (deviceType != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
  const uint32_t vp = behaviour & (D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_HARDWARE_VERTEXPROCESSING);
  if (vp != D3DCREATE_SOFTWARE_VERTEXPROCESSING && vp != D3DCREATE_HARDWARE_VERTEXPROCESSING) {
    return D3DERR_INVALIDCALL;
  }
  if (vp == D3DCREATE_HARDWARE_VERTEXPROCESSING && !settings_.hardwareVertexProcessing) return D3DERR_NOTAVAILABLE;
  if (focusWindow == 0 && params->deviceWindow == 0) return D3DERR_INVALIDCALL;
  const HRESULT valid = SoftDevice::ValidatePresentParams(*params);
  if (Failed(valid)) return valid;
  PresentParams used = *params;
  if (used.deviceWindow == 0) used.deviceWindow = focusWindow;
  std::unique_ptr<Device> device = std::make_unique<SoftDevice>(used);
  if (log_) device = std::make_unique<RecordingDevice>(std::move(device), log_);
  *out = std::move(device);
  return D3D_OK;
}

}  // namespace plat::gfx

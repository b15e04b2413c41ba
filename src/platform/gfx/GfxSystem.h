// The graphics system object: one software adapter with its identifier,
// capabilities, desktop display mode and mode list, the device-type, format
// and multisample checks, and device creation. Settings (the fake desktop,
// the modes, formats to refuse) are copied when a system is made from the
// installed adapter (PlatformServices::adapter: a window backend's display),
// else from DefaultSystemSettings(), so tests install theirs before the
// engine asks for one.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/GfxDevice.h"
#include "platform/gfx/GfxFaults.h"
#include "platform/gfx/GfxTypes.h"

namespace plat::gfx {

class CallLog;

struct SystemSettings {
  DisplayMode desktop{1280, 1024, 60, D3DFMT_X8R8G8B8};
  std::vector<DisplayMode> modes;              // every mode the adapter offers
  std::vector<uint32_t> refusedTextureFormats;  // CheckDeviceFormat says no to these
  bool hardwareVertexProcessing = true;         // the caps bit the engine tests
};

// The settings of the soft adapter a system gets while none is installed:
// the desktop and a few common modes.
SystemSettings DefaultSystemSettings();
// The next Direct3DCreate9 returns null (tests of the engine's failure path).
void FailNextSystemCreate();

class System {
 public:
  explicit System(const SystemSettings& settings);
  System(const System&) = delete;
  System& operator=(const System&) = delete;

  uint32_t GetAdapterCount() const { return 1; }
  HRESULT GetAdapterIdentifier(uint32_t adapter, uint32_t flags, AdapterIdentifier* out);
  HRESULT GetDeviceCaps(uint32_t adapter, uint32_t deviceType, Caps* out);
  HRESULT GetAdapterDisplayMode(uint32_t adapter, DisplayMode* out);
  uint32_t GetAdapterModeCount(uint32_t adapter, uint32_t format);
  HRESULT EnumAdapterModes(uint32_t adapter, uint32_t format, uint32_t index, DisplayMode* out);
  HRESULT CheckDeviceType(uint32_t adapter, uint32_t deviceType, uint32_t displayFormat,
                          uint32_t backBufferFormat, bool windowed);
  HRESULT CheckDeviceFormat(uint32_t adapter, uint32_t deviceType, uint32_t adapterFormat, uint32_t usage,
                            uint32_t resourceType, uint32_t format);
  HRESULT CheckDeviceMultiSampleType(uint32_t adapter, uint32_t deviceType, uint32_t surfaceFormat,
                                     bool windowed, uint32_t type, uint32_t* qualityLevels);
  // The caller owns the device in `out`.
  HRESULT CreateDevice(uint32_t adapter, uint32_t deviceType, WindowHandle focusWindow, uint32_t behaviour,
                       PresentParams* params, std::unique_ptr<Device>* out);

  // Test seams.
  FaultTable& Faults() { return faults_; }
  SystemSettings& Settings() { return settings_; }
  // Devices created from now on are wrapped in a RecordingDevice writing to
  // `log` (null stops it). The caller keeps the log alive.
  void RecordDeviceCalls(CallLog* log) { log_ = log; }

 private:
  bool Known(uint32_t adapter, uint32_t deviceType) const {
    return adapter == 0 && deviceType == D3DDEVTYPE_HAL;
  }

  SystemSettings settings_;
  FaultTable faults_;
  CallLog* log_ = nullptr;
};

// Makes the system object, owned by the caller; null when the version is not
// 32 or a failure was queued with FailNextSystemCreate.
std::unique_ptr<System> Direct3DCreate9(uint32_t sdkVersion);

}  // namespace plat::gfx

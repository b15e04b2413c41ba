// The slice of the platform's graphics system that the adapter and settings
// code calls, with the platform's own names, records and behaviour: one
// software adapter with a settable desktop mode and mode list, its
// identifier and capabilities, the device-type, format and multisample
// checks, fault injection for tests, and the device's sampler-state call.
//
// It stands in until the platform's graphics system is part of the build;
// then this file and its .cpp go and "platform/gfx/GfxSystem.h" is included
// instead (the names and signatures are the same, so no caller changes).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace plat::gfx {

using HRESULT = int32_t;
constexpr HRESULT Code(uint32_t v) { return static_cast<HRESULT>(v); }
constexpr HRESULT D3D_OK = 0;
constexpr HRESULT E_FAIL = Code(0x80004005u);
constexpr HRESULT D3DERR_NOTAVAILABLE = Code(0x8876086Au);
constexpr HRESULT D3DERR_INVALIDCALL = Code(0x8876086Cu);
constexpr bool Failed(HRESULT hr) { return hr < 0; }

constexpr uint32_t D3D_SDK_VERSION = 32;
constexpr uint32_t D3DDEVTYPE_HAL = 1;
constexpr uint32_t D3DPRESENT_INTERVAL_DEFAULT = 0;
constexpr uint32_t D3DPRESENT_INTERVAL_ONE = 1;
constexpr uint32_t D3DPRESENT_INTERVAL_IMMEDIATE = 0x80000000u;
constexpr uint32_t D3DUSAGE_DEPTHSTENCIL = 2;
constexpr uint32_t D3DRTYPE_SURFACE = 1;
constexpr uint32_t D3DRTYPE_TEXTURE = 3;
constexpr uint32_t D3DMULTISAMPLE_NONE = 0;
constexpr uint32_t D3DSWAPEFFECT_DISCARD = 1;
constexpr uint32_t D3DPRESENTFLAG_DISCARD_DEPTHSTENCIL = 2;
constexpr uint32_t D3DFMT_D16 = 80;
constexpr uint32_t D3DDEVCAPS_HWTRANSFORMANDLIGHT = 0x10000;
constexpr uint32_t D3DPMISCCAPS_COLORWRITEENABLE = 0x80;
constexpr uint32_t D3DSAMP_MAGFILTER = 5;
constexpr uint32_t D3DSAMP_MINFILTER = 6;

struct DisplayMode {
  uint32_t width, height, refreshRate, format;
};

struct AdapterIdentifier {
  char driver[512];
  char description[512];
  char deviceName[32];
  uint64_t driverVersion;  // four 16-bit parts, most significant first
  uint32_t vendorId, deviceId, subSysId, revision;
};

struct Caps {
  uint32_t deviceType;
  uint32_t adapterOrdinal;
  uint32_t caps, caps2, caps3;
  uint32_t presentationIntervals;
  uint32_t cursorCaps;
  uint32_t devCaps;
  uint32_t primitiveMiscCaps;
  uint32_t rasterCaps;
  uint32_t srcBlendCaps, destBlendCaps;
  uint32_t alphaCmpCaps;
  uint32_t textureCaps;
  uint32_t textureFilterCaps;
  uint32_t textureAddressCaps;
  uint32_t stencilCaps;
  uint32_t textureOpCaps;
  uint32_t maxTextureWidth, maxTextureHeight;
  uint32_t maxTextureBlendStages, maxSimultaneousTextures;
};

using WindowHandle = uintptr_t;

struct PresentParams {
  uint32_t backBufferWidth;
  uint32_t backBufferHeight;
  uint32_t backBufferFormat;
  uint32_t backBufferCount;
  uint32_t multiSampleType;
  uint32_t multiSampleQuality;
  uint32_t swapEffect;
  WindowHandle deviceWindow;
  uint32_t windowed;
  uint32_t enableAutoDepthStencil;
  uint32_t autoDepthStencilFormat;
  uint32_t flags;
  uint32_t fullScreenRefreshRate;
  uint32_t presentationInterval;
};

enum class Op : uint32_t {
  GetAdapterIdentifier,
  GetDeviceCaps,
  GetAdapterDisplayMode,
  EnumAdapterModes,
  CheckDeviceType,
  CheckDeviceFormat,
  CheckDeviceMultiSampleType,
  Count
};

class FaultTable {
 public:
  void FailNext(Op op, HRESULT result, uint32_t times = 1);
  HRESULT Take(Op op);
  void Clear();

 private:
  struct Entry {
    HRESULT result = D3D_OK;
    uint32_t times = 0;
  };
  std::array<Entry, static_cast<uint32_t>(Op::Count)> entries_{};
};

struct SystemSettings {
  DisplayMode desktop{1280, 1024, 60, 22};
  std::vector<DisplayMode> modes;
  std::vector<uint32_t> refusedTextureFormats;
  bool hardwareVertexProcessing = true;
};

SystemSettings& DefaultSystemSettings();
void ResetDefaultSystemSettings();
void FailNextSystemCreate();

class System {
 public:
  explicit System(const SystemSettings& settings);
  System(const System&) = delete;
  System& operator=(const System&) = delete;

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

  FaultTable& Faults() { return faults_; }
  SystemSettings& Settings() { return settings_; }

 private:
  SystemSettings settings_;
  FaultTable faults_;
};

std::unique_ptr<System> Direct3DCreate9(uint32_t sdkVersion);

// The device call the filter setters make.
class Device {
 public:
  virtual ~Device() = default;
  virtual HRESULT SetSamplerState(uint32_t sampler, uint32_t type, uint32_t value) = 0;
};

}  // namespace plat::gfx

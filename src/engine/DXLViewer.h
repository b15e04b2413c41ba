// DXLViewer - owner of the graphics system, the adapter descriptions with
// their display modes, and the device settings. This file holds the adapter
// and settings side: one record per (adapter, device type) with identifier,
// capabilities, desktop mode and mode lists; the application's mode filter;
// completing a settings request from defaults and per-field rules checked
// against the adapter; and finding the display mode closest to a request.
//
// Adapter records are owned by the viewer and kept until it is destroyed; a
// record that failed keeps its status and is returned again for the same
// adapter and device type. ChooseFormats never fails: each check that fails
// falls back to a safe value.
#pragma once

#include <memory>

#include "base/List.h"
#include "base/Types.h"
#include "engine/DXLDeviceHelpers.h"
#include "platform/gfx/GfxDevice.h"
#include "platform/gfx/GfxSystem.h"

class DXLViewer;

// Viewer result codes of the adapter side.
constexpr i32 kViewerNoDirect3D = static_cast<i32>(0xA3E91001u);
constexpr i32 kViewerDisplayModeFailed = static_cast<i32>(0xA3E91004u);
constexpr i32 kViewerInvalidDisplayMode = static_cast<i32>(0xA3E91005u);
constexpr i32 kViewerNoSystem = static_cast<i32>(0xA3E91007u);
constexpr i32 kViewerIdentifierFailed = static_cast<i32>(0xA3E91008u);
constexpr i32 kViewerCapsFailed = static_cast<i32>(0xA3E91009u);

struct DXLDISPLAYMODE {
  u32 width;
  u32 height;
  u32 refreshRate;
  u32 format;
  u32 aspectX, aspectY;  // width and height divided by their greatest common divisor
  u32 bits;              // bit depth of the format
};

// Owns its modes.
class DXLDisplayModeList : public kis::list<DXLDISPLAYMODE*> {
 public:
  ~DXLDisplayModeList() override { Clear(); }
  void ReleaseItems(i32 first) override {
    for (i32 i = count_ - 1; i >= first; --i) delete items_[i];
  }
};

struct DXLDEVICESETTINGS {
  u32 adapter;
  u32 deviceType;
  u32 hardwareVertexProcessing;
  u32 adapterFormat;
  plat::gfx::PresentParams present;  // handed unchanged to device creation and reset
};

// One word per field of a settings request: 0 takes the default, 1 takes the
// request's value checked against the adapter, anything else the request's
// value unchecked.
struct DXLMATCHRULES {
  u32 adapter;
  u32 deviceType;
  u32 vertexProcessing;
  u32 adapterFormat;
  u32 backBufferSize;
  u32 backBufferFormat;
  u32 windowed;
  u32 presentationInterval;
  u32 refreshRate;
  u32 multiSample;
  u32 swapEffect;
  u32 depthStencilFormat;
  u32 presentFlags;
};

// Rules of FindDisplayMode.
struct DXLMODEMATCH {
  u32 resolution;  // 1 exact, 2 no larger, 0 and 3 any
  u32 aspect;      // 0 any; else the same aspect: 1 at the size, 2 no larger, 3 any size
  u32 refresh;     // 1 equal, 2 no higher, 0 and 3 any
  u32 format;      // 0 same format, 1 same bit depth, 2 no deeper, 3 any
};

struct DXLADAPTERINFO {
  u32 adapter;
  u32 deviceType;
  plat::gfx::AdapterIdentifier identifier;
  plat::gfx::DisplayMode desktop;
  u32 desktopAspectX, desktopAspectY;
  u32 desktopBits;
  DXLDEVICECAPS caps;
  DXLDisplayModeList rawModes;                 // every enumerated mode, owned
  kis::list<DXLDISPLAYMODE*> sortedModes;      // admitted modes in ascending order
  i32 status;                                  // 0 or a viewer code
  i32 lastResult;                              // the failing call's result
};

// Admits a candidate mode into the sorted list (which holds the modes admitted
// so far); null admits every mode.
using DXLMODEFILTER = bool (*)(DXLViewer* viewer, kis::list<DXLDISPLAYMODE*>* sorted,
                               const DXLDISPLAYMODE* candidate);

class DXLViewer {
 public:
  DXLViewer();  // makes the graphics system (InitDirect3D)
  DXLViewer(const DXLViewer&) = delete;
  DXLViewer& operator=(const DXLViewer&) = delete;
  virtual ~DXLViewer();

  virtual plat::gfx::WindowHandle GetWindow();  // the settings' device window, 0 without settings
  // Completes a request (null request or rules: all rules 0).
  virtual void ChooseFormats(DXLDEVICESETTINGS* out, const DXLDEVICESETTINGS* request,
                             const DXLMATCHRULES* rules);

  // Opens the "Initialize DirectX" log block, writes the system information,
  // loads the utility library and makes the graphics system.
  i32 InitDirect3D();
  void SetModeFilter(DXLMODEFILTER filter);
  // Makes the adapter current and logs the "Initialize Adapter" block.
  i32 InitAdapter(u32 adapter, u32 deviceType);
  // The record of an adapter and device type, made on first request; returns
  // its status.
  i32 GetAdapterInfo(u32 adapter, u32 deviceType, DXLADAPTERINFO** out);
  void BuildModeList(DXLADAPTERINFO* record);
  u32 FindRefreshRate(const DXLADAPTERINFO* record, u32 width, u32 height, u32 format, u32 wanted);
  bool FindDisplayMode(u32 adapter, u32 deviceType, DXLDISPLAYMODE* out, const DXLDISPLAYMODE* request,
                       const DXLMODEMATCH* match);
  bool FindAdapterDisplayMode(DXLDISPLAYMODE* out, const DXLDISPLAYMODE* request, const DXLMODEMATCH* match);

  kis::list<DXLDISPLAYMODE*>* GetModeList();  // null without an adapter
  const DXLDEVICECAPS* GetDeviceCaps();       // null without an adapter
  DXLADAPTERINFO* GetCurrentAdapter() { return adapter_; }
  plat::gfx::System* GetDirect3D() { return d3d_.get(); }
  i32 GetLastResult() const { return lastResult_; }
  const DXLDEVICESETTINGS* GetSettings() const { return settings_.get(); }

  // Forgets the current adapter and, with the flag, both settings records.
  void ReleaseAll(bool freeSettings);

 protected:
  std::unique_ptr<plat::gfx::System> d3d_;
  kis::list<DXLADAPTERINFO*> adapters_;  // owned
  DXLADAPTERINFO* adapter_ = nullptr;
  std::unique_ptr<DXLDEVICESETTINGS> settings_;
  std::unique_ptr<DXLDEVICESETTINGS> previousSettings_;
  DXLMODEFILTER modeFilter_ = nullptr;
  i32 lastResult_ = 0;
};

// Fills a mode record with its aspect pair and bit depth.
DXLDISPLAYMODE DXLMakeDisplayMode(u32 width, u32 height, u32 refreshRate, u32 format);

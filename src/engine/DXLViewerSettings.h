// Records of the adapters, display modes and device settings the viewer
// works with: one display mode, one adapter description with its mode lists,
// and the full set of settings handed to device creation and reset.
// DXLDEVICESETTINGS is copied whole; its presentation parameters go to the
// device unchanged.
#pragma once

#include "base/List.h"
#include "base/Types.h"
#include "platform/gfx/GfxTypes.h"

class DXLViewer;

struct DXLDISPLAYMODE {
  u32 width;
  u32 height;
  u32 refreshRate;
  u32 format;
  u32 aspectX;  // width and height divided by their greatest common divisor
  u32 aspectY;
  u32 bitDepth;
};

struct DXLDEVICESETTINGS {
  u32 adapter;
  u32 deviceType;
  u32 hardwareVertexProcessing;
  u32 adapterFormat;
  plat::gfx::PresentParams present;
};

// One adapter and device type as the graphics system describes it. The raw
// mode list owns its modes; the sorted list points into it.
struct DXLADAPTERINFO {
  u32 adapter = 0;
  u32 deviceType = 0;
  plat::gfx::AdapterIdentifier identifier{};
  plat::gfx::DisplayMode desktop{};
  u32 aspectX = 0;
  u32 aspectY = 0;
  u32 bitDepth = 0;
  plat::gfx::Caps caps{};
  u32 noVSync = 0;
  u32 nonPowerOfTwo = 0;
  u32 colorWrite = 0;
  u32 format16 = 0;
  kis::list<DXLDISPLAYMODE*> rawModes;
  kis::list<DXLDISPLAYMODE*> sortedModes;
  i32 status = 0;
  i32 lastResult = 0;

  DXLADAPTERINFO() = default;
  DXLADAPTERINFO(const DXLADAPTERINFO&) = delete;
  DXLADAPTERINFO& operator=(const DXLADAPTERINFO&) = delete;
  ~DXLADAPTERINFO() { rawModes.DeleteAll(); }
};

// Decides whether a display mode is offered; null admits every mode.
using DXLModeFilter = bool (*)(DXLViewer* viewer, kis::list<DXLDISPLAYMODE*>* sorted, const DXLDISPLAYMODE* mode);

// Number of per-field rules ChooseFormats takes (adapter, device type, vertex
// processing, adapter format, back-buffer size, back-buffer format, windowed,
// presentation interval, refresh rate, multisample, swap effect,
// depth-stencil format, present flags).
constexpr u32 kDeviceSettingRules = 13;

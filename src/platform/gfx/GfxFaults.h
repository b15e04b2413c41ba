// Fault injection for the software graphics stand-in: a test queues a result
// code for the next call (or the next n calls) of one kind, and that call
// returns it instead of doing its work.
#pragma once

#include <array>
#include <cstdint>

#include "platform/gfx/GfxTypes.h"

namespace plat::gfx {

enum class Op : uint32_t {
  // System
  CreateDevice,
  GetAdapterIdentifier,
  GetDeviceCaps,
  GetAdapterDisplayMode,
  EnumAdapterModes,
  CheckDeviceType,
  CheckDeviceFormat,
  CheckDeviceMultiSampleType,
  // Device
  TestCooperativeLevel,
  Reset,
  BeginScene,
  EndScene,
  Present,
  Clear,
  DrawPrimitiveUP,
  CreateTexture,
  LockRect,
  SetCursorProperties,
  // D3DX file decoding
  LoadImage,
  Count
};

class FaultTable {
 public:
  // The next `times` calls of `op` return `result` (a failure code).
  void FailNext(Op op, HRESULT result, uint32_t times = 1) {
    Entry& e = entries_[static_cast<uint32_t>(op)];
    e.result = result;
    e.times = times;
  }
  // The queued result for one call of `op`, consuming it; D3D_OK when none.
  HRESULT Take(Op op) {
    Entry& e = entries_[static_cast<uint32_t>(op)];
    if (e.times == 0) return D3D_OK;
    --e.times;
    return e.result;
  }
  void Clear() { entries_ = {}; }

 private:
  struct Entry {
    HRESULT result = D3D_OK;
    uint32_t times = 0;
  };
  std::array<Entry, static_cast<uint32_t>(Op::Count)> entries_{};
};

}  // namespace plat::gfx

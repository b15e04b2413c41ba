// Where presented frames go: the window backend's sink, installed in the
// platform services (PlatformServices::presentSink), shows each frame it
// receives; without one, frames stay in the device (tests read them back
// from there).
#pragma once

#include <cstdint>

#include "platform/gfx/GfxTypes.h"

namespace plat::gfx {

class PresentSink {
 public:
  virtual ~PresentSink() = default;
  // pixels: width x height words 0xFFRRGGBB, rows packed, valid during the call.
  virtual void ShowFrame(WindowHandle window, const uint32_t* pixels, uint32_t width, uint32_t height) = 0;
  // Memory of the window's own, width x height words with rows packed, that
  // the device may draw the next frame into and then hand to ShowFrame as
  // its pixels (any alpha byte: the window ignores it); null when the window
  // cannot lend it. It stays valid until that ShowFrame call.
  virtual uint32_t* LendTarget(WindowHandle /*window*/, uint32_t /*width*/, uint32_t /*height*/) { return nullptr; }
};

// The installed sink of every device; null when none is.
PresentSink* GetPresentSink();

}  // namespace plat::gfx

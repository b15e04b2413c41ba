// Where presented frames go: the window backend installs a sink and shows
// each frame it receives; without one, frames stay in the device (tests read
// them back from there).
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

// Installs the sink for every device (null removes it). The caller keeps
// ownership.
void SetPresentSink(PresentSink* sink);
PresentSink* GetPresentSink();

}  // namespace plat::gfx

#include "platform/headless/Session.h"

namespace plat::headless {

Session::Session(const DesktopSettings& desktop, uint32_t startMs) : clock_(startMs), windows_(desktop) {
  SetClock(&clock_);
  SetWindowSystem(&windows_);
  windows_.SetEventSource(&script_);
  SetClipboard(&clipboard_);
}

Session::~Session() {
  SetClipboard(nullptr);
  windows_.SetEventSource(nullptr);
  SetWindowSystem(nullptr);
  SetClock(nullptr);
}

}  // namespace plat::headless
